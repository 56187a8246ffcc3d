#include "config/Skins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestFiles.h"

class SkinsTest : public QObject {
    Q_OBJECT

    QTemporaryDir Root;
    QString Folder; // the skins folder, ending with "/"

private slots:
    void init() {
        static int counter = 0;
        Folder = Root.filePath(QStringLiteral("Skins%1/").arg(++counter));
        QVERIFY(QDir().mkpath(Folder));
    }

    void listsIniFilesOnly() {
        WriteBytes(Folder + "Default.ini", "[skin]\n");
        WriteBytes(Folder + "Blue.ini", "[skin]\n");
        WriteBytes(Folder + "readme.txt", "x");
        WriteBytes(Folder + "Upper.INI", "[skin]\n");
        WriteBytes(Folder + "Blue.ini.bak", "x");
        WriteBytes(Folder + ".ini", "x");
        WriteBytes(Folder + "with space.ini", "[skin]\n");
        QVERIFY(QDir().mkpath(Folder + "folder.ini"));
        QCOMPARE(ListSkins(Folder), (QStringList{"Blue", "Default", "with space"}));
    }

    void emptyOrMissingFolderListsNothing() {
        QCOMPARE(ListSkins(Folder), QStringList());
        QCOMPARE(ListSkins(Root.filePath("none/")), QStringList());
    }

    void validNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Blue" << true;
        QTest::newRow("Default") << "Default" << true;
        QTest::newRow("blank inside") << "Dark blue" << true;
        QTest::newRow("non-ASCII") << QString::fromUtf8("\u00c9t\u00e9") << true;
        QTest::newRow("dots inside") << "v1.2" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("climbing out") << "../../x" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("line break") << "a\nb" << false;
        QTest::newRow("tab") << "a\tb" << false;
        QTest::newRow("NUL") << QString::fromLatin1("a\0b", 3) << false;
        QTest::newRow("DEL") << QString::fromLatin1("a\x7f") << false;
        QTest::newRow("longest file name") << QString(251, u'n') << true;
        QTest::newRow("too long for a file name") << QString(252, u'n') << false;
        QTest::newRow("too long in bytes") << QString(126, QChar(0xE9)) << false;
    }
    void validNames() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(IsValidSkinName(name), valid);
        CIniFile skinFile;
        const bool saved = SaveSkin(skinFile, Folder, name, CSkin{1, 2, 3, 4, "on.ico", "off.ico"});
        QCOMPARE(saved, valid);
        // Whatever the name, nothing lands outside the skins folder and nothing but one file inside.
        const QStringList inside =
            QDir(Folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(inside.size(), valid ? 1 : 0);
        QCOMPARE(QDir(Root.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        if (valid) {
            QCOMPARE(inside.front(), name + ".ini");
            QCOMPARE(ListSkins(Folder), QStringList{name});
        } else {
            QCOMPARE(skinFile.Path, QString());
            QCOMPARE(SkinFilePath(Folder, name), QString());
        }
    }

    void saveWritesTheSixKeysInOrder() {
        CIniFile skinFile;
        const CSkin skin{16699845, 7960953, 0, 16777215, "on.ico", "off.bmp"};
        QVERIFY(SaveSkin(skinFile, Folder, "Blue", skin));
        QCOMPARE(skinFile.Path, Folder + "Blue.ini");
        QCOMPARE(ReadBytes(Folder + "Blue.ini"), QByteArray("[skin]\n"
                                                            "OnLinePicFile=on.ico\n"
                                                            "OffLinePicFile=off.bmp\n"
                                                            "OffLineBoxColor=7960953\n"
                                                            "OnLineBoxColor=16699845\n"
                                                            "OnLineTextColor=0\n"
                                                            "OffLineTextColor=16777215\n"));
    }

    void saveOverwritesAnExistingSkinInPlace() {
        WriteBytes(Folder + "Blue.ini",
                   "; mine\n[skin]\nOnLineBoxColor=1\nExtra=kept\nOffLinePicFile=old.ico\n");
        CIniFile skinFile;
        QVERIFY(SaveSkin(skinFile, Folder, "Blue", CSkin{5, 6, 7, 8, "a.ico", "b.ico"}));
        QCOMPARE(ReadBytes(Folder + "Blue.ini"), QByteArray("; mine\n[skin]\nOnLineBoxColor=5\nExtra=kept\n"
                                                            "OffLinePicFile=b.ico\nOnLinePicFile=a.ico\n"
                                                            "OffLineBoxColor=6\nOnLineTextColor=7\n"
                                                            "OffLineTextColor=8\n"));
    }

    void loadReadsWhatWasSaved() {
        CIniFile skinFile;
        const CSkin saved{0x00ABCDEF, 1, 0x00FFFFFF, 42, QString::fromUtf8("caf\u00e9.ico"), " spaced .bmp"};
        QVERIFY(SaveSkin(skinFile, Folder, "Round", saved));
        CIniFile other;
        const CSkin loaded = LoadSkin(other, Folder, "Round");
        QCOMPARE(other.Path, Folder + "Round.ini");
        QCOMPARE(loaded.OnLineBoxColor, saved.OnLineBoxColor);
        QCOMPARE(loaded.OffLineBoxColor, saved.OffLineBoxColor);
        QCOMPARE(loaded.OnLineTextColor, saved.OnLineTextColor);
        QCOMPARE(loaded.OffLineTextColor, saved.OffLineTextColor);
        QCOMPARE(loaded.OnLinePicFile, saved.OnLinePicFile);
        QCOMPARE(loaded.OffLinePicFile, saved.OffLinePicFile);
    }

    void loadRules_data() {
        QTest::addColumn<QByteArray>("content"); // "<missing>": no file
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("onLineBox");
        QTest::addColumn<QString>("onLinePic");
        QTest::newRow("missing file is black without pictures")
            << QByteArray("<missing>") << "Gone" << 0u << "";
        QTest::newRow("missing keys") << QByteArray("[skin]\nOffLineBoxColor=3\n") << "Partial" << 0u << "";
        QTest::newRow("hex colour") << QByteArray("[skin]\nOnLineBoxColor=0xFF\nOnLinePicFile=p.ico\n")
                                    << "Hex" << 255u << "p.ico";
        QTest::newRow("section in other case")
            << QByteArray("[SKIN]\nonlineboxcolor=9\n") << "Case" << 9u << "";
        QTest::newRow("refused name") << QByteArray("<missing>") << "../PylarixA" << 0u << "";
    }
    void loadRules() {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(uint, onLineBox);
        QFETCH(QString, onLinePic);
        if (content != "<missing>")
            WriteBytes(Folder + name + ".ini", content);
        // A file outside the folder that a hostile name would reach.
        WriteBytes(Folder + "../PylarixA.ini", "[skin]\nOnLineBoxColor=77\n");
        CIniFile skinFile;
        const CSkin skin = LoadSkin(skinFile, Folder, name);
        QCOMPARE(skin.OnLineBoxColor, onLineBox);
        QCOMPARE(skin.OnLinePicFile, onLinePic);
    }

    void readSkinFromABoundFile() {
        WriteBytes(Folder + "Default.ini",
                   "[skin]\nOnLineBoxColor=11\nOffLineBoxColor=12\nOnLineTextColor=13\n"
                   "OffLineTextColor=14\nOnLinePicFile=a\nOffLinePicFile=b\n");
        const CSkin skin = ReadSkin(CIniFile(Folder + "Default.ini"));
        QCOMPARE(skin.OnLineBoxColor, 11u);
        QCOMPARE(skin.OffLineBoxColor, 12u);
        QCOMPARE(skin.OnLineTextColor, 13u);
        QCOMPARE(skin.OffLineTextColor, 14u);
        QCOMPARE(skin.OnLinePicFile, QStringLiteral("a"));
        QCOMPARE(skin.OffLinePicFile, QStringLiteral("b"));
    }

    void skinExists() {
        WriteBytes(Folder + "Blue.ini", "[skin]\n");
        QVERIFY(SkinExists(Folder, "Blue"));
        QVERIFY(!SkinExists(Folder, "Bl"));
        QVERIFY(!SkinExists(Folder, "blue"));
        QVERIFY(!SkinExists(Folder, ""));
        QVERIFY(QDir().mkpath(Folder + "Dir.ini"));
        QVERIFY(!SkinExists(Folder, "Dir"));
    }

    void deletePrompt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<QString>("message");
        QTest::newRow("Default") << "Default" << false << "Is impossible delete this Skin!";
        QTest::newRow("Custom") << "Custom" << false << "Is impossible delete this Skin!";
        QTest::newRow("empty") << "" << false << "Is impossible delete this Skin!";
        QTest::newRow("other case is not protected")
            << "default" << true << "Do you want to delete Skin: default?";
        QTest::newRow("Blue") << "Blue" << true << "Do you want to delete Skin: Blue?";
        QTest::newRow("percent in name") << "50%s" << true << "Do you want to delete Skin: 50%s?";
    }
    void deletePrompt() {
        QFETCH(QString, name);
        QFETCH(bool, allowed);
        QFETCH(QString, message);
        const CSkinDeletePrompt prompt = SkinDeletePrompt(name);
        QCOMPARE(prompt.Allowed, allowed);
        QCOMPARE(prompt.Message, message);
        QCOMPARE(IsProtectedSkinName(name), !allowed);
    }

    void deleteRemovesOnlyThatFile() {
        WriteBytes(Folder + "Blue.ini", "[skin]\nOnLinePicFile=blue.ico\n");
        WriteBytes(Folder + "Default.ini", "[skin]\n");
        WriteBytes(Folder + "Custom.ini", "[skin]\n");
        WriteBytes(Folder + "blue.ico", "picture");
        QVERIFY(DeleteSkin(Folder, "Blue"));
        QCOMPARE(QDir(Folder).entryList(QDir::Files), (QStringList{"blue.ico", "Custom.ini", "Default.ini"}));
        QVERIFY(!DeleteSkin(Folder, "Blue"));
        QVERIFY(!DeleteSkin(Folder, "Default"));
        QVERIFY(!DeleteSkin(Folder, "Custom"));
        QVERIFY(!DeleteSkin(Folder, ""));
        QCOMPARE(QDir(Folder).entryList(QDir::Files), (QStringList{"blue.ico", "Custom.ini", "Default.ini"}));
    }

    void deleteRefusesNamesOutsideTheFolder() {
        WriteBytes(Root.filePath("victim.ini"), "[main]\n");
        const QString sub = QDir(Folder).dirName();
        QVERIFY(!DeleteSkin(Folder, "../victim"));
        QVERIFY(!DeleteSkin(Folder, "../" + sub + "/../victim"));
        QVERIFY(QFile::exists(Root.filePath("victim.ini")));
        QVERIFY(QDir().mkpath(Folder + "Dir.ini"));
        QVERIFY(!DeleteSkin(Folder, "Dir"));
        QVERIFY(QFileInfo(Folder + "Dir.ini").isDir());
    }
};

QTEST_GUILESS_MAIN(SkinsTest)
#include "tst_Skins.moc"
