#include "app/SingleInstance.h"
#include "app/StavoryApp.h"
#include "config/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestDataPaths : public QObject {
    Q_OBJECT
private slots:
    void dataFolderFromEnvironment_data();
    void dataFolderFromEnvironment();
    void composesEveryPath();
    void programFolder_data();
    void programFolder();
    void helpPageBesideTheBuiltProgram();
    void createsMissingFolders();
    void leavesWhatExistsAlone();
    void createsTheWholePath();
    void pathsFromProcessEnvironment();
    void socketPath_data();
    void socketPath();
    void socketPathFallback_data();
    void socketPathFallback();
    void cacheFolder_data();
    void cacheFolder();
};

void TestDataPaths::dataFolderFromEnvironment_data() {
    QTest::addColumn<QString>("appData");
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("expected");
    QTest::newRow("APPDATA wins") << "/a/data"
                                  << "/x/cfg"
                                  << "/home/u"
                                  << "/a/data/Pylarix";
    QTest::newRow("XDG when no APPDATA") << ""
                                         << "/x/cfg"
                                         << "/home/u"
                                         << "/x/cfg/Pylarix";
    QTest::newRow("home when neither") << ""
                                       << ""
                                       << "/home/u"
                                       << "/home/u/.config/Pylarix";
    QTest::newRow("relative XDG ignored") << ""
                                          << "cfg"
                                          << "/home/u"
                                          << "/home/u/.config/Pylarix";
    QTest::newRow("name with blanks") << "/a b/c d"
                                      << ""
                                      << "/home/u"
                                      << "/a b/c d/Pylarix";
}

void TestDataPaths::dataFolderFromEnvironment() {
    QFETCH(QString, appData);
    QFETCH(QString, xdg);
    QFETCH(QString, home);
    QFETCH(QString, expected);
    QCOMPARE(DataFolderFromEnvironment(appData, xdg, home), expected);
}

void TestDataPaths::composesEveryPath() {
    const CDataPaths p = MakeDataPaths("/d/Pylarix", "/opt/bin");
    QCOMPARE(p.ProgramFolder, QString("/opt/bin"));
    QCOMPARE(p.DataFolder, QString("/d/Pylarix"));
    QCOMPARE(p.ConfigPath, QString("/d/Pylarix/PylarixA.ini"));
    QCOMPARE(p.MainIniPath, QString("/d/Pylarix/Main.ini"));
    QCOMPARE(p.DefaultSkinPath, QString("/d/Pylarix/Skins/Default.ini"));
    QCOMPARE(p.PicturesFolder, QString("/d/Pylarix/Pictures/"));
    QCOMPARE(p.SkinsFolder, QString("/d/Pylarix/Skins/"));
    QCOMPARE(p.LogsFolder, QString("/d/Pylarix/Logs/"));
}

void TestDataPaths::programFolder_data() {
    QTest::addColumn<QString>("beside");
    QTest::addColumn<bool>("isFolder");
    QTest::addColumn<bool>("expectBeside");
    QTest::newRow("help page beside") << "Help.html" << false << true;
    QTest::newRow("sound folder beside") << "Sound" << true << true;
    QTest::newRow("nothing beside") << "" << false << false;
    QTest::newRow("unrelated file beside") << "Other.html" << false << false;
}

void TestDataPaths::programFolder() {
    QFETCH(QString, beside);
    QFETCH(bool, isFolder);
    QFETCH(bool, expectBeside);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir(root.path()).mkpath("bin");
    const QString bin = root.path() + "/bin";
    if (!beside.isEmpty()) {
        if (isFolder) {
            QVERIFY(QDir(bin).mkdir(beside));
        } else {
            QFile f(bin + "/" + beside);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }
    const QString expected =
        expectBeside ? QDir(bin).absolutePath() : QDir(root.path()).absolutePath() + "/share/pylarix";
    QCOMPARE(ProgramFolderFor(bin), expected);
}

void TestDataPaths::helpPageBesideTheBuiltProgram() {
    // The build copies the help page beside the program, where the Help command looks for it.
    const QString bin = qEnvironmentVariable("PYLARIX_BIN_DIR");
    QVERIFY2(!bin.isEmpty(), "PYLARIX_BIN_DIR not set");
    QCOMPARE(ProgramFolderFor(bin), QDir(bin).absolutePath());
    QFile help(MakeDataPaths("/unused", ProgramFolderFor(bin)).ProgramFolder + "/Help.html");
    QVERIFY2(help.open(QIODevice::ReadOnly), qPrintable(help.fileName()));
    const QByteArray page = help.readAll();
    QVERIFY(page.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.contains("<title>Pylarix Help</title>"));
}

void TestDataPaths::createsMissingFolders() {
    QTemporaryDir root;
    const CDataPaths p = MakeDataPaths(root.path() + "/Pylarix", root.path() + "/bin");
    CreateDataFolders(p);
    for (const QString& folder : {p.DataFolder, p.PicturesFolder, p.SkinsFolder, p.LogsFolder})
        QVERIFY2(QFileInfo(folder).isDir(), qPrintable(folder));
    // Nothing else is created at start: no configuration, no skin, no picture.
    QCOMPARE(QDir(p.DataFolder).entryList(QDir::Files).size(), 0);
    QCOMPARE(QDir(p.SkinsFolder).entryList(QDir::Files).size(), 0);
}

void TestDataPaths::leavesWhatExistsAlone() {
    QTemporaryDir root;
    const CDataPaths p = MakeDataPaths(root.path() + "/Pylarix", root.path() + "/bin");
    QVERIFY(QDir().mkdir(p.DataFolder));
    // A file where a folder belongs is neither replaced nor reported.
    QFile blocker(p.DataFolder + "/Pictures");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("keep");
    blocker.close();
    QVERIFY(QDir().mkdir(p.LogsFolder));
    QFile log(p.LogsFolder + "127.0.0.1_Ping.log");
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("line\r\n");
    log.close();

    CreateDataFolders(p);

    QVERIFY(QFileInfo(p.DataFolder + "/Pictures").isFile());
    QFile again(p.DataFolder + "/Pictures");
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), QByteArray("keep"));
    QVERIFY(QFileInfo(p.SkinsFolder).isDir());
    QVERIFY(QFileInfo(p.LogsFolder + "127.0.0.1_Ping.log").isFile());
}

void TestDataPaths::createsTheWholePath() {
    // A fresh account may have no ~/.config yet.
    QTemporaryDir root;
    const CDataPaths p = MakeDataPaths(root.path() + "/home/.config/Pylarix", root.path() + "/bin");
    CreateDataFolders(p);
    for (const QString& folder : {p.DataFolder, p.PicturesFolder, p.SkinsFolder, p.LogsFolder})
        QVERIFY2(QFileInfo(folder).isDir(), qPrintable(folder));
}

void TestDataPaths::pathsFromProcessEnvironment() {
    QTemporaryDir root;
    qputenv("APPDATA", root.path().toUtf8());
    const CDataPaths p = DataPathsFromEnvironment(root.path() + "/bin");
    QCOMPARE(p.DataFolder, root.path() + "/Pylarix");
    QCOMPARE(p.ConfigPath, root.path() + "/Pylarix/PylarixA.ini");
    qunsetenv("APPDATA");
    qputenv("XDG_CONFIG_HOME", (root.path() + "/cfg").toUtf8());
    QCOMPARE(DataPathsFromEnvironment(root.path() + "/bin").DataFolder, root.path() + "/cfg/Pylarix");
    qunsetenv("XDG_CONFIG_HOME");
}

void TestDataPaths::socketPath_data() {
    QTest::addColumn<bool>("runtimeExists");
    QTest::addColumn<QString>("runtimeSuffix");
    QTest::addColumn<bool>("expectRuntime");
    QTest::newRow("runtime folder used") << true << "" << true;
    QTest::newRow("runtime folder with slash") << true << "/" << true;
    QTest::newRow("runtime folder missing") << false << "" << false;
}

void TestDataPaths::socketPath() {
    QFETCH(bool, runtimeExists);
    QFETCH(QString, runtimeSuffix);
    QFETCH(bool, expectRuntime);
    QTemporaryDir root;
    const QString runtime = root.path() + "/run";
    if (runtimeExists)
        QVERIFY(QDir().mkdir(runtime));
    const QString path = SingleInstanceSocketPath(1234, runtime + runtimeSuffix, "/home/u/.cache");
    QCOMPARE(path, (expectRuntime ? runtime : QString("/home/u/.cache/Pylarix")) + "/Pylarix-1234");
}

void TestDataPaths::socketPathFallback_data() {
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<QString>("cache");
    QTest::addColumn<unsigned>("uid");
    QTest::addColumn<QString>("expected");
    // Never straight in a folder every user can write.
    QTest::newRow("no runtime folder") << ""
                                       << "/home/u/.cache" << 0u << "/home/u/.cache/Pylarix/Pylarix-0";
    QTest::newRow("relative runtime folder") << "run/user"
                                             << "/home/u/.cache" << 0u << "/home/u/.cache/Pylarix/Pylarix-0";
    QTest::newRow("other user") << ""
                                << "/home/v/.cache" << 1000u << "/home/v/.cache/Pylarix/Pylarix-1000";
    QTest::newRow("cache with slash") << ""
                                      << "/c/" << 7u << "/c/Pylarix/Pylarix-7";
}

void TestDataPaths::socketPathFallback() {
    QFETCH(QString, runtime);
    QFETCH(QString, cache);
    QFETCH(unsigned, uid);
    QFETCH(QString, expected);
    QCOMPARE(SingleInstanceSocketPath(uid, runtime, cache), expected);
}

void TestDataPaths::cacheFolder_data() {
    QTest::addColumn<QString>("xdgCache");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("expected");
    QTest::newRow("XDG_CACHE_HOME") << "/x/cache"
                                    << "/home/u"
                                    << "/x/cache";
    QTest::newRow("home when unset") << ""
                                     << "/home/u"
                                     << "/home/u/.cache";
    QTest::newRow("relative XDG_CACHE_HOME ignored") << "cache"
                                                     << "/home/u"
                                                     << "/home/u/.cache";
}

void TestDataPaths::cacheFolder() {
    QFETCH(QString, xdgCache);
    QFETCH(QString, home);
    QFETCH(QString, expected);
    QCOMPARE(CacheFolderFromEnvironment(xdgCache, home), expected);
}

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_DataPaths.moc"
