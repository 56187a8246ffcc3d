#include "config/FirstRunFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestFiles.h"

// The shipped files of the fixture, relative to the program folder and to the data folder alike.
static const QStringList ShippedFiles = {"Pictures/Desktop.ico", "Pictures/Desktop_bw.ico",
                                         "Skins/Default.ini"};

static QByteArray ShippedBytes(const QString& relative) {
    return "shipped " + relative.toUtf8();
}

class TestFirstRunFiles : public QObject {
    Q_OBJECT

    QTemporaryDir Root;
    CDataPaths Paths;

    QString UserFile(const QString& relative) const { return Paths.DataFolder + "/" + relative; }

private slots:
    void init() {
        static int counter = 0;
        const QString base = Root.filePath(QString::number(++counter));
        Paths = MakeDataPaths(base + "/Pylarix", base + "/share/pylarix");
        for (const QString& relative : ShippedFiles) {
            const QString path = Paths.ProgramFolder + "/" + relative;
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            WriteBytes(path, ShippedBytes(relative));
        }
        QVERIFY(QDir().mkpath(base));
    }

    // The user's folders before the start (relative path and bytes), the files the start adds,
    // and then every shipped name in the user's folders holds either the user's bytes or the
    // shipped ones.
    void copiesOnlyMissingNames_data() {
        QTest::addColumn<QStringList>("userFiles");
        QTest::addColumn<QStringList>("expectCopied");
        QTest::newRow("fresh folders") << QStringList() << ShippedFiles;
        QTest::newRow("changed Default.ini kept")
            << QStringList{"Skins/Default.ini"}
            << QStringList{"Pictures/Desktop.ico", "Pictures/Desktop_bw.ico"};
        QTest::newRow("removed picture comes back")
            << QStringList{"Pictures/Desktop.ico", "Skins/Default.ini"}
            << QStringList{"Pictures/Desktop_bw.ico"};
        QTest::newRow("everything there") << ShippedFiles << QStringList();
        QTest::newRow("other files of the user")
            << QStringList{"Pictures/Server.ico", "Skins/Blue.ini"} << ShippedFiles;
    }

    void copiesOnlyMissingNames() {
        QFETCH(QStringList, userFiles);
        QFETCH(QStringList, expectCopied);
        CreateDataFolders(Paths);
        for (const QString& relative : userFiles)
            WriteBytes(UserFile(relative), "user's own");

        QStringList expectPaths;
        for (const QString& relative : expectCopied)
            expectPaths << UserFile(relative);
        QCOMPARE(CopyFirstRunFiles(Paths), expectPaths);

        for (const QString& relative : ShippedFiles) {
            const QByteArray expected = userFiles.contains(relative) ? "user's own" : ShippedBytes(relative);
            QCOMPARE(ReadBytes(UserFile(relative)), expected);
        }
        for (const QString& relative : userFiles)
            QCOMPARE(ReadBytes(UserFile(relative)), QByteArray("user's own"));
        // The next start finds every name and copies nothing.
        QCOMPARE(CopyFirstRunFiles(Paths), QStringList());
    }

    void dataFolderHoldsOnlyTheCopies() {
        CreateDataFolders(Paths);
        CopyFirstRunFiles(Paths);
        QCOMPARE(QDir(Paths.PicturesFolder).entryList(QDir::Files, QDir::Name),
                 (QStringList{"Desktop.ico", "Desktop_bw.ico"}));
        QCOMPARE(QDir(Paths.SkinsFolder).entryList(QDir::Files, QDir::Name), QStringList{"Default.ini"});
        QCOMPARE(QDir(Paths.DataFolder).entryList(QDir::Files), QStringList());
    }

    void danglingLinkIsTheUsers() {
        CreateDataFolders(Paths);
        QVERIFY(QFile::link(Root.filePath("nowhere.ico"), UserFile("Pictures/Desktop.ico")));
        QCOMPARE(CopyFirstRunFiles(Paths),
                 (QStringList{UserFile("Pictures/Desktop_bw.ico"), UserFile("Skins/Default.ini")}));
        QVERIFY(QFileInfo(UserFile("Pictures/Desktop.ico")).isSymLink());
        QVERIFY(!QFileInfo::exists(Root.filePath("nowhere.ico")));
    }

    void fileInPlaceOfAFolderIsLeftAlone() {
        QVERIFY(QDir().mkpath(Paths.DataFolder));
        WriteBytes(Paths.DataFolder + "/Pictures", "not a folder");
        CreateDataFolders(Paths);
        QCOMPARE(CopyFirstRunFiles(Paths), QStringList{UserFile("Skins/Default.ini")});
        QCOMPARE(ReadBytes(Paths.DataFolder + "/Pictures"), QByteArray("not a folder"));
    }

    void nothingShippedCopiesNothing() {
        CreateDataFolders(Paths);
        QVERIFY(QDir(Paths.ProgramFolder).removeRecursively());
        QCOMPARE(CopyFirstRunFiles(Paths), QStringList());
        QCOMPARE(QDir(Paths.SkinsFolder).entryList(QDir::Files), QStringList());
    }

    void copyOfAReadOnlyFileIsWritable() {
        CreateDataFolders(Paths);
        const QString shipped = Paths.ProgramFolder + "/Skins/Default.ini";
        QVERIFY(QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                   QFileDevice::ReadOther));
        CopyFirstRunFiles(Paths);
        QVERIFY(QFile::permissions(UserFile("Skins/Default.ini")) & QFileDevice::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestFirstRunFiles)
#include "tst_FirstRunFiles.moc"
