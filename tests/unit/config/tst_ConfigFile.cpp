#include "config/ConfigFile.h"

#include "monitor/ReportSink.h"
#include "monitor/SharedTiming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/SettingsDump.h"
#include "support/TestFiles.h"

namespace {

class CNoSink : public IReportSink {
public:
    void SendBoxStatus(CNetThread&, MonitorStatus, std::int32_t) override {}
};

// Every persisted field set to a value of its own, different per monitor.
void FillMonitor(CMonitorBox& b, int n) {
    const QString t = QString::number(n);
    b.Text = "  Box \"" + t + "\" ; = [x] ";
    b.PicTypeOnLine = 0;
    b.PicTypeOffLine = 1;
    b.OnLinePicFile = "on" + t + ".bmp";
    b.OffLinePicFile = "off" + t + ".ico";
    b.OnLineBoxColor = 0x00FEDCBAu - n;
    b.OffLineBoxColor = 0x00123456u + n;
    b.OnLineTextColor = 0x00FFFFFFu;
    b.OffLineTextColor = 7u + n;
    b.IPAdress = n % 2 ? "fe80::1%eth0" : "host-" + t + ".example";
    b.IPv = n % 2;
    b.Port = n == 2 ? -1 : 8000 + n;
    b.VerifyMetod = 2;
    b.Sound = static_cast<std::uint8_t>(200 + n);
    b.Logging = 1;
    b.MsgBox = 6;
    b.UpPath = "/snd/up" + t + ".wav";
    b.DownPath = "/snd/down " + t + ".wav";
    b.OpenPath = QString::fromUtf8("/snd/\u00f6ffnen.wav");
    b.ClosePath = "/snd/close.wav";
    b.TcpDownPath = "";
    b.CustomSoundCheck = 31;
    b.UpTextString = "%text is Up " + t;
    b.DownTextString = "%text is Down " + t;
    b.OpenTextString = "%text is Open";
    b.CloseTextString = "%text is Close";
    b.TDownTextString = QString(300, u'z');
    b.SpeechTextCheck = 17;
    b.ExecFilePath = "/usr/bin/notify-send";
    b.ExecFileParam = "\"%text\" %status %ip:%port";
    b.ExecFileStatusCheck = 31;
    b.ExecFileCheck = 1;
}

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT

    struct CLoad {
        CIniFile ConfigFile;
        CIniFile MainIniFile;
        CGlobalSettings Settings;
        CMonitorTable Table;
        QStringList Calls;
    };

    CNoSink Sink;

    CDataPaths PathsIn(const QTemporaryDir& dir) {
        const CDataPaths paths = MakeDataPaths(dir.filePath("Pylarix"), dir.path());
        CreateDataFolders(paths);
        return paths;
    }

    void Load(CLoad& l, const CDataPaths& paths, const QRect& workArea = QRect(0, 0, 1920, 1080)) {
        l.MainIniFile.SetPath(paths.MainIniPath);
        CConfigLoadHooks hooks;
        hooks.HideTaskBarButton = [&l] { l.Calls << "hide"; };
        hooks.LoadPictures = [&l](int i) { l.Calls << QStringLiteral("pictures %1").arg(i); };
        hooks.ApplyChecking = [&l](int i) {
            l.Calls << QStringLiteral("checking %1 status %2")
                           .arg(i)
                           .arg(static_cast<int>(l.Table.Slots[static_cast<size_t>(i)]->Status));
        };
        LoadConfig(l.ConfigFile, l.MainIniFile, paths, workArea, &Sink, l.Settings, l.Table, hooks);
    }

private slots:
    void firstStartWritesExactlyTheseTwoFiles() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        CLoad l;
        Load(l, paths);
        const QByteArray expectedConfig = "[main]\n"
                                          "App=Pylarix\n"
                                          "FirstStart=0\n"
                                          "NumBox=1\n"
                                          "XBox=90\n"
                                          "YBox=80\n"
                                          "PosX=911\n"
                                          "PosY=499\n"
                                          "WinPos=1\n"
                                          "WinBeh=1\n"
                                          "VerifyTime=3\n"
                                          "TimeOut=3000\n"
                                          "Transparent=255\n"
                                          "ShowOnLineOffLineTime=1\n"
                                          "DCOBEFE=0\n"
                                          "DCOBEFPath=\n"
                                          "DCOBEFParameters=\n"
                                          "ErrorDefaultSound=0\n"
                                          "PlayErrorDefSoundPath=\n"
                                          "ErrorTextSpeechSound=0\n"
                                          "ErrorTextSpeechText=%text Error\n"
                                          "ErrorSound=0\n"
                                          "EnableLog=0\n"
                                          "ErrorMsgBox=0\n"
                                          "ShowUpDownTime=0\n"
                                          "ShowStatusX=0\n"
                                          "ShowVMethodIPX=0\n"
                                          "ShowIPandMethodX=0\n"
                                          "VolumeMute=0\n"
                                          "Volume=65535\n"
                                          "\n"
                                          "[Box 0]\n"
                                          "Text=LOCAL\n"
                                          "PicTypeOnLine=1\n"
                                          "PicTypeOffLine=1\n"
                                          "OnLinePicFile=1274607096_Desktop.ico\n"
                                          "OffLinePicFile=1274607096_Desktop_bw.ico\n"
                                          "OnLineBoxColor=16699845\n"
                                          "OffLineBoxColor=7960953\n"
                                          "OnLineTextColor=0\n"
                                          "OffLineTextColor=16777215\n"
                                          "IPAdress=127.0.0.1\n"
                                          "IPv=0\n"
                                          "Port=80\n"
                                          "VerifyMetod=1\n"
                                          "Logging=0\n"
                                          "MsgBox=0\n"
                                          "UpPath=\n"
                                          "DownPath=\n"
                                          "OpenPath=\n"
                                          "ClosePath=\n"
                                          "TcpDownPath=\n"
                                          "CustomSoundCheck=0\n"
                                          "UpTextString=%text is Up\n"
                                          "DownTextString=%text is Down\n"
                                          "OpenTextString=%text is Open\n"
                                          "CloseTextString=%text is Close\n"
                                          "TDownTextString=%text is Down\n"
                                          "SpeechTextCheck=0\n"
                                          "ExecFilePath=\n"
                                          "ExecFileParam=\n"
                                          "ExecFileStatusCheck=0\n"
                                          "ExecFileCheck=0\n";
        QCOMPARE(ReadBytes(paths.ConfigPath), expectedConfig);
        QCOMPARE(ReadBytes(paths.MainIniPath), QByteArray("[main]\nHideTaskBarButton=0\n"));
        QCOMPARE(l.ConfigFile.Path, paths.ConfigPath);
        // Nothing but the two files appears in the data folder.
        QCOMPARE(QDir(paths.DataFolder).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Main.ini", "PylarixA.ini"}));
        QCOMPARE(QDir(paths.PicturesFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(QDir(paths.SkinsFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

        QCOMPARE(l.Table.NumBox, 1);
        const CMonitorBox& box = *l.Table.Slots[0];
        QCOMPARE(box.BoxIndex, 0);
        QCOMPARE(box.MainWindow, static_cast<IReportSink*>(&Sink));
        QCOMPARE(box.Text, QStringLiteral("LOCAL"));
        QCOMPARE(box.IPAdress, QStringLiteral("127.0.0.1"));
        QCOMPARE(box.Port, 80);
        QCOMPARE(box.VerifyMetod, 1);
        QCOMPARE(box.Sound, std::uint8_t{0});
        QCOMPARE(box.OnLinePicPath, paths.PicturesFolder + "1274607096_Desktop.ico");
        QCOMPARE(box.OffLinePicPath, paths.PicturesFolder + "1274607096_Desktop_bw.ico");
        QCOMPARE(l.Settings.PosX, 911);
        QCOMPARE(l.Settings.PosY, 499);
        QCOMPARE(l.Settings.Transparent, std::uint8_t{255});
        QCOMPARE(l.Settings.Volume, 65535u);
        QVERIFY(l.Settings.ShowReplyTime && l.Settings.ShowStatus && l.Settings.ShowIPandMethod);
        QCOMPARE(l.Settings.ErrorTextSpeechText, QStringLiteral("%text Error"));
        QCOMPARE(VerifyTime.load(), 3u);
        QCOMPARE(TimeOut.load(), 3000u);
        QCOMPARE(l.Calls, (QStringList{"pictures 0", "checking 0 status 0"}));
    }

    void firstStartBeforeCentring() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        CIniFile config(paths.ConfigPath);
        CIniFile mainIni(paths.MainIniPath);
        QVERIFY(WriteFirstStart(config, mainIni));
        QCOMPARE(config.ReadInt("main", "FirstStart"), 1);
        QCOMPARE(config.ReadInt("main", "PosX"), 300);
        QCOMPARE(config.ReadInt("main", "PosY"), 300);
        QCOMPARE(config.ReadString("Box 0", "Sound"), QString());
        QCOMPARE(config.ReadUIntDefault("Box 0", "Sound", 99), 99u);

        // A refused configuration file leaves nothing half-written.
        CIniFile nowhere(dir.filePath("missing/PylarixA.ini"));
        CIniFile nowhereMain(dir.filePath("missing/Main.ini"));
        QVERIFY(!WriteFirstStart(nowhere, nowhereMain));
        QVERIFY(!nowhere.Exists());
    }

    void firstStartPosition_data() {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<int>("xBox");
        QTest::addColumn<int>("yBox");
        QTest::addColumn<int>("numBox");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("full HD, one box") << QRect(0, 0, 1920, 1080) << 90 << 80 << 1 << QPoint(911, 499);
        QTest::newRow("edges are exclusive: right = x + width")
            << QRect(0, 0, 1025, 769) << 90 << 80 << 1 << QPoint(512 - 49, 384 - 41);
        QTest::newRow("offset work area uses right and bottom, not the size")
            << QRect(100, 40, 800, 600) << 90 << 80 << 3 << QPoint(450 - 140, 320 - 41);
        QTest::newRow("side by side whatever the orientation")
            << QRect(0, 0, 1920, 1080) << 90 << 80 << 5 << QPoint(960 - 231, 499);
        QTest::newRow("division rounds toward zero when negative")
            << QRect(0, 0, 5, 3) << 90 << 80 << 1 << QPoint(2 - 49, 1 - 41);
        QTest::newRow("no boxes") << QRect(0, 0, 1920, 1080) << 90 << 80 << 0 << QPoint(956, 499);
        QTest::newRow("hand-edited huge sizes do not overflow")
            << QRect(0, 0, 1920, 1080) << 2147483647 << 2147483647 << 60
            << QPoint(960 - 1073741823, 540 - 1073741823);
    }
    void firstStartPosition() {
        QFETCH(QRect, workArea);
        QFETCH(int, xBox);
        QFETCH(int, yBox);
        QFETCH(int, numBox);
        QFETCH(QPoint, expected);
        QCOMPARE(FirstStartPosition(workArea, xBox, yBox, numBox), expected);
    }

    void valueRules_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text"); // null: the key line is removed
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("Transparent 100") << "main"
                                         << "Transparent"
                                         << "100"
                                         << "Transparent" << QVariant(100u);
        QTest::newRow("Transparent low 8 bits") << "main"
                                                << "Transparent"
                                                << "300"
                                                << "Transparent" << QVariant(44u);
        QTest::newRow("Transparent -1") << "main"
                                        << "Transparent"
                                        << "-1"
                                        << "Transparent" << QVariant(255u);
        QTest::newRow("ShowOnLineOffLineTime low 8 bits") << "main"
                                                          << "ShowOnLineOffLineTime"
                                                          << "257"
                                                          << "ShowOnLineOffLineTime" << QVariant(1u);
        QTest::newRow("Volume absent") << "main"
                                       << "Volume" << QString() << "Volume" << QVariant(65535u);
        QTest::newRow("Volume empty") << "main"
                                      << "Volume"
                                      << ""
                                      << "Volume" << QVariant(0u);
        QTest::newRow("Volume hex") << "main"
                                    << "Volume"
                                    << "0x100"
                                    << "Volume" << QVariant(256u);
        QTest::newRow("ShowUpDownTime 1 hides") << "main"
                                                << "ShowUpDownTime"
                                                << "1"
                                                << "ShowUpDownTime" << QVariant(false);
        QTest::newRow("ShowUpDownTime absent shows")
            << "main"
            << "ShowUpDownTime" << QString() << "ShowUpDownTime" << QVariant(true);
        QTest::newRow("ShowStatusX any non-zero hides") << "main"
                                                        << "ShowStatusX"
                                                        << "-7"
                                                        << "ShowStatusX" << QVariant(false);
        QTest::newRow("ShowIPandMethodX 0 shows") << "main"
                                                  << "ShowIPandMethodX"
                                                  << "0"
                                                  << "ShowIPandMethodX" << QVariant(true);
        QTest::newRow("ShowIPandMethodX 1 hides") << "main"
                                                  << "ShowIPandMethodX"
                                                  << "1"
                                                  << "ShowIPandMethodX" << QVariant(false);
        QTest::newRow("XBox text is 0") << "main"
                                        << "XBox"
                                        << "wide"
                                        << "XBox" << QVariant(0);
        QTest::newRow("XBox not clamped") << "main"
                                          << "XBox"
                                          << "-5"
                                          << "XBox" << QVariant(-5);
        QTest::newRow("WinBeh decimal only") << "main"
                                             << "WinBeh"
                                             << "0x2"
                                             << "WinBeh" << QVariant(0);
        QTest::newRow("Port hex") << "Box 0"
                                  << "Port"
                                  << "0x50"
                                  << "Port" << QVariant(80);
        QTest::newRow("Port octal") << "Box 0"
                                    << "Port"
                                    << "010"
                                    << "Port" << QVariant(8);
        QTest::newRow("Port minus one") << "Box 0"
                                        << "Port"
                                        << "-1"
                                        << "Port" << QVariant(-1);
        QTest::newRow("Sound low 8 bits") << "Box 0"
                                          << "Sound"
                                          << "258"
                                          << "Sound" << QVariant(2u);
        QTest::newRow("Sound decimal only") << "Box 0"
                                            << "Sound"
                                            << "0x7"
                                            << "Sound" << QVariant(0u);
        QTest::newRow("colour absent is black")
            << "Box 0"
            << "OnLineBoxColor" << QString() << "OnLineBoxColor" << QVariant(0u);
        QTest::newRow("colour hex") << "Box 0"
                                    << "OffLineBoxColor"
                                    << "0xFF"
                                    << "OffLineBoxColor" << QVariant(255u);
        QTest::newRow("ExecFileStatusCheck octal") << "Box 0"
                                                   << "ExecFileStatusCheck"
                                                   << "017"
                                                   << "ExecFileStatusCheck" << QVariant(15);
        QTest::newRow("MsgBox decimal") << "Box 0"
                                        << "MsgBox"
                                        << "017"
                                        << "MsgBox" << QVariant(17);
        QTest::newRow("label cut to 255")
            << "Box 0"
            << "Text" << QString(400, u'L') << "Text" << QVariant(QString(255, u'L'));
        QTest::newRow("picture path composed") << "Box 0"
                                               << "OnLinePicFile"
                                               << "a b.ico"
                                               << "OnLinePicPath" << QVariant("<pictures>a b.ico");
    }
    void valueRules() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        {
            CIniFile config(paths.ConfigPath);
            CIniFile mainIni(paths.MainIniPath);
            QVERIFY(WriteFirstStart(config, mainIni));
            QVERIFY(config.WriteInt("main", "FirstStart", 0));
        }
        QByteArray bytes = ReadBytes(paths.ConfigPath);
        // Replace the key line inside its section by hand, or drop it.
        const QByteArray header = "[" + section.toUtf8() + "]\n";
        const qsizetype start = bytes.indexOf(header);
        QVERIFY(start >= 0);
        const QByteArray keyLine = "\n" + key.toUtf8() + "=";
        qsizetype at = bytes.indexOf(keyLine, start);
        const QByteArray replacement = text.isNull() ? QByteArray("\n") : keyLine + text.toUtf8() + "\n";
        if (at >= 0) {
            const qsizetype end = bytes.indexOf('\n', at + 1);
            bytes.replace(at, end - at + 1, replacement);
        } else {
            at = start + header.size() - 1;
            bytes.insert(at, replacement.chopped(1));
        }
        WriteBytes(paths.ConfigPath, bytes);

        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Table.NumBox, 1);
        QVariantMap all = Dump(l.Settings);
        all.insert(Dump(*l.Table.Slots[0]));
        QVERIFY2(all.contains(field), qPrintable(field));
        if (expected.typeId() == QMetaType::QString)
            expected = expected.toString().replace("<pictures>", paths.PicturesFolder);
        QCOMPARE(all.value(field), expected);
    }

    void numBoxRules_data() {
        QTest::addColumn<QString>("numBox");
        QTest::addColumn<int>("loaded");
        QTest::newRow("hex reads 0") << "0x2" << 0;
        QTest::newRow("negative loads none") << "-3" << 0;
        QTest::newRow("two") << "2" << 2;
        QTest::newRow("sixty") << "60" << 60;
        QTest::newRow("above the table loads 60") << "75" << 60;
        QTest::newRow("huge") << "99999999999" << 60;
    }
    void numBoxRules() {
        QFETCH(QString, numBox);
        QFETCH(int, loaded);
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        QByteArray content = "[main]\nApp=Pylarix\nNumBox=" + numBox.toUtf8() + "\n";
        for (int i = 0; i < 80; ++i)
            content += QStringLiteral("[Box %1]\nText=m%1\n").arg(i).toUtf8();
        WriteBytes(paths.ConfigPath, content);
        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Table.NumBox, loaded);
        for (int i = 0; i < MaxMonitors; ++i) {
            const CMonitorBox* box = l.Table.Slots[static_cast<size_t>(i)].get();
            QCOMPARE(box != nullptr, i < loaded);
            if (box) {
                QCOMPARE(box->Text, QStringLiteral("m%1").arg(i));
                QCOMPARE(box->BoxIndex, i);
            }
        }
        QCOMPARE(l.Calls.size(), 2 * loaded);
        // Loading writes nothing when FirstStart is 0.
        QCOMPARE(ReadBytes(paths.ConfigPath), content);
    }

    void missingSectionsReadAsEmptyMonitors() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        WriteBytes(paths.ConfigPath, "[main]\nNumBox=2\n[Box 0]\nText=only\n");
        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Table.NumBox, 2);
        const CMonitorBox& empty = *l.Table.Slots[1];
        QCOMPARE(empty.Text, QString());
        QCOMPARE(empty.IPAdress, QString());
        QCOMPARE(empty.VerifyMetod, 0);
        QCOMPARE(empty.OnLineBoxColor, 0u);
        QCOMPARE(empty.OnLinePicPath, paths.PicturesFolder);
        QCOMPARE(l.Settings.Volume, 65535u);
    }

    void hooksRunInOrder() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        WriteBytes(paths.ConfigPath, "[main]\nNumBox=3\n");
        WriteBytes(paths.MainIniPath, "[main]\nHideTaskBarButton=1\n");
        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Calls, (QStringList{"hide", "pictures 0", "pictures 1", "pictures 2",
                                       "checking 0 status 0", "checking 1 status 0", "checking 2 status 0"}));
        QCOMPARE(l.Settings.HideTaskBarButton, 1);
    }

    void taskbarButtonHiddenOnlyForExactlyOne_data() {
        QTest::addColumn<QByteArray>("mainIni");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("1") << QByteArray("[main]\nHideTaskBarButton=1\n") << 1 << true;
        QTest::newRow("2") << QByteArray("[main]\nHideTaskBarButton=2\n") << 2 << false;
        QTest::newRow("0") << QByteArray("[main]\nHideTaskBarButton=0\n") << 0 << false;
        QTest::newRow("missing file") << QByteArray("<missing>") << 0 << false;
    }
    void taskbarButtonHiddenOnlyForExactlyOne() {
        QFETCH(QByteArray, mainIni);
        QFETCH(int, value);
        QFETCH(bool, hidden);
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        WriteBytes(paths.ConfigPath, "[main]\nNumBox=0\n");
        if (mainIni != "<missing>")
            WriteBytes(paths.MainIniPath, mainIni);
        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Settings.HideTaskBarButton, value);
        QCOMPARE(l.Calls.contains("hide"), hidden);
    }

    void firstStartSetByHandCentresAgain() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        WriteBytes(paths.ConfigPath,
                   "[main]\nFirstStart=5\nNumBox=2\nXBox=100\nYBox=50\nPosX=7\nPosY=8\nWinPos=0\n");
        CLoad l;
        Load(l, paths, QRect(0, 0, 1000, 800));
        QCOMPARE(l.Settings.PosX, 500 - 105);
        QCOMPARE(l.Settings.PosY, 400 - 26);
        QCOMPARE(
            ReadBytes(paths.ConfigPath),
            QByteArray("[main]\nFirstStart=0\nNumBox=2\nXBox=100\nYBox=50\nPosX=395\nPosY=374\nWinPos=0\n"));
    }

    void loadSaveLoadKeepsEveryField() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        CMonitorTable table;
        table.NumBox = 3;
        for (int i = 0; i < 3; ++i) {
            table.Slots[static_cast<size_t>(i)] = std::make_unique<CMonitorBox>(&Sink, i);
            FillMonitor(*table.Slots[static_cast<size_t>(i)], i);
            table.Slots[static_cast<size_t>(i)]->OnLinePicPath =
                paths.PicturesFolder + table.Slots[static_cast<size_t>(i)]->OnLinePicFile;
            table.Slots[static_cast<size_t>(i)]->OffLinePicPath =
                paths.PicturesFolder + table.Slots[static_cast<size_t>(i)]->OffLinePicFile;
        }
        CIniFile config(paths.ConfigPath);
        QVERIFY(config.WriteString("main", "App", "Pylarix"));
        QVERIFY(SaveBoxes(config, table));
        CLoad first;
        Load(first, paths);
        QCOMPARE(first.Table.NumBox, 3);
        for (int i = 0; i < 3; ++i) {
            QVariantMap expected = Dump(*table.Slots[static_cast<size_t>(i)]);
            expected["TDownTextString"] = QString(255, u'z'); // the read is cut at 255 characters
            QCOMPARE(Dump(*first.Table.Slots[static_cast<size_t>(i)]), expected);
        }
        // Saving what was loaded and loading again changes nothing.
        const QByteArray once = ReadBytes(paths.ConfigPath);
        QVERIFY(SaveBoxes(first.ConfigFile, first.Table));
        CLoad second;
        Load(second, paths);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(Dump(*second.Table.Slots[static_cast<size_t>(i)]),
                     Dump(*first.Table.Slots[static_cast<size_t>(i)]));
        QVERIFY(ReadBytes(paths.ConfigPath).size() <= once.size());
    }

    void saveBoxesWritesTheKeysInOrder() {
        QTemporaryDir dir;
        CIniFile config(dir.filePath("c.ini"));
        CMonitorTable table;
        table.NumBox = 1;
        table.Slots[0] = std::make_unique<CMonitorBox>(&Sink, 0);
        FillMonitor(*table.Slots[0], 1);
        QVERIFY(SaveBoxes(config, table));
        const QList<QByteArray> lines = ReadBytes(config.Path).split('\n');
        QStringList keys;
        for (const QByteArray& line : lines)
            if (line.contains('='))
                keys << QString::fromUtf8(line.left(line.indexOf('=')));
        QCOMPARE(keys, (QStringList{"NumBox",
                                    "Text",
                                    "PicTypeOnLine",
                                    "PicTypeOffLine",
                                    "OnLineBoxColor",
                                    "OffLineBoxColor",
                                    "OnLineTextColor",
                                    "OffLineTextColor",
                                    "OnLinePicFile",
                                    "OffLinePicFile",
                                    "IPAdress",
                                    "IPv",
                                    "Port",
                                    "VerifyMetod",
                                    "Sound",
                                    "Logging",
                                    "MsgBox",
                                    "UpPath",
                                    "DownPath",
                                    "OpenPath",
                                    "ClosePath",
                                    "TcpDownPath",
                                    "CustomSoundCheck",
                                    "UpTextString",
                                    "DownTextString",
                                    "OpenTextString",
                                    "CloseTextString",
                                    "TDownTextString",
                                    "SpeechTextCheck",
                                    "ExecFilePath",
                                    "ExecFileParam",
                                    "ExecFileStatusCheck",
                                    "ExecFileCheck"}));
        QVERIFY(lines.contains("Port=8001"));
        QVERIFY(lines.contains("Sound=201"));
    }

    void negativeFieldsSaveUnsigned() {
        QTemporaryDir dir;
        CIniFile config(dir.filePath("c.ini"));
        CMonitorTable table;
        table.NumBox = 1;
        table.Slots[0] = std::make_unique<CMonitorBox>(&Sink, 0);
        table.Slots[0]->Port = -1;
        table.Slots[0]->PicTypeOnLine = -1;
        QVERIFY(SaveBoxes(config, table));
        QCOMPARE(config.ReadString("Box 0", "Port"), QStringLiteral("4294967295"));
        QCOMPARE(config.ReadString("Box 0", "PicTypeOnLine"), QStringLiteral("-1"));
    }

    void firstSaveAddsSound() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        CLoad l;
        Load(l, paths);
        QVERIFY(!ReadBytes(paths.ConfigPath).contains("\nSound="));
        QVERIFY(SaveBoxes(l.ConfigFile, l.Table));
        QCOMPARE(l.ConfigFile.ReadString("Box 0", "Sound"), QStringLiteral("0"));
        // The section is rewritten whole and in place; "main" keeps its first-start keys.
        QCOMPARE(l.ConfigFile.ReadString("main", "ShowVMethodIPX"), QStringLiteral("0"));
        QCOMPARE(l.ConfigFile.ReadString("Box 0", "OnLineBoxColor"), QStringLiteral("16699845"));
    }

    void removingTheLastOfThreeLeavesItsSectionUnread() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        CMonitorTable table;
        table.NumBox = 3;
        for (int i = 0; i < 3; ++i) {
            table.Slots[static_cast<size_t>(i)] = std::make_unique<CMonitorBox>(&Sink, i);
            FillMonitor(*table.Slots[static_cast<size_t>(i)], i);
        }
        CIniFile config(paths.ConfigPath);
        QVERIFY(SaveBoxes(config, table));
        const QByteArray before = ReadBytes(paths.ConfigPath);
        const QByteArray box2 = before.mid(before.indexOf("[Box 2]"));

        table.Slots[2].reset();
        table.NumBox = 2;
        table.Slots[1]->Text = "edited";
        QVERIFY(SaveBoxes(config, table));
        const QByteArray after = ReadBytes(paths.ConfigPath);
        QVERIFY(after.contains("NumBox=2\n"));
        QVERIFY(after.endsWith(box2));
        QCOMPARE(config.ReadString("Box 2", "Text"), table.Slots[0]->Text.replace("0", "2"));

        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Table.NumBox, 2);
        QVERIFY(!l.Table.Slots[2]);
        QCOMPARE(l.Table.Slots[1]->Text, QStringLiteral("edited"));
        QCOMPARE(l.Calls.size(), 4);
    }

    void extraSectionsStayUntouched() {
        QTemporaryDir dir;
        const CDataPaths paths = PathsIn(dir);
        const QByteArray box5 = "[Box 5]\nText=far away\n; kept as written\nPort = 0x10\n";
        WriteBytes(paths.ConfigPath, "[main]\nNumBox=2\n[Box 0]\nText=a\n[Box 1]\nText=b\n" + box5);
        CLoad l;
        Load(l, paths);
        QCOMPARE(l.Table.NumBox, 2);
        l.Table.Slots[0]->Text = "changed";
        QVERIFY(SaveBoxes(l.ConfigFile, l.Table));
        QVERIFY(ReadBytes(paths.ConfigPath).endsWith(box5));
    }

    void writesByAction() {
        QTemporaryDir dir;
        CIniFile config(dir.filePath("c.ini"));
        CIniFile mainIni(dir.filePath("m.ini"));
        QVERIFY(WritePosition(config, -20, 15));
        QVERIFY(WriteWinPos(config, 0));
        QVERIFY(WriteWinBeh(config, 2));
        QVERIFY(WriteNetUserName(config, "Ann"));
        QVERIFY(WriteNetMsgCommand(config, "msg", "%user %message"));
        QCOMPARE(ReadBytes(config.Path),
                 QByteArray("[main]\nPosX=-20\nPosY=15\nWinPos=0\nWinBeh=2\nNetUserName=Ann\n"
                            "SendNetMsgComm=msg\nSendNetMsgParam=%user %message\n"));
        QCOMPARE(ReadNetUserName(config), QStringLiteral("Ann"));
        QCOMPARE(ReadNetMsgCommand(config), QStringLiteral("msg"));
        QCOMPARE(ReadNetMsgParameters(config), QStringLiteral("%user %message"));
        QVERIFY(WritePosition(config, 1, 2));
        QCOMPARE(config.ReadInt("main", "PosX"), 1);
        QCOMPARE(config.ReadInt("main", "PosY"), 2);
        QVERIFY(!mainIni.Exists());
    }

    void globalPropertiesApplied() {
        QTemporaryDir dir;
        CIniFile config(dir.filePath("c.ini"));
        CIniFile mainIni(dir.filePath("m.ini"));
        CGlobalSettings g;
        g.HideTaskBarButton = 1;
        g.ErrorSound = 1;
        g.ErrorDefaultSound = 1;
        g.PlayErrorDefSoundPath = "/e.wav";
        g.DCOBEFE = 1;
        g.DCOBEFPath = "/bin/x";
        g.DCOBEFParameters = "%ip";
        g.XBox = 120;
        g.YBox = 60;
        g.Transparent = 200;
        g.ShowOnLineOffLineTime = 0;
        g.EnableLog = 1;
        g.ErrorMsgBox = 0;
        g.ShowReplyTime = false;
        g.ShowIPandMethod = true;
        g.ShowStatus = false;
        g.ErrorTextSpeechSound = 1;
        g.ErrorTextSpeechText = "%text broke";
        g.VolumeMute = 0;
        g.Volume = 40000;
        QVERIFY(WriteGlobalProperties(config, mainIni, g, 10, 4294967295u));
        QCOMPARE(ReadBytes(mainIni.Path), QByteArray("[main]\nHideTaskBarButton=1\n"));
        QCOMPARE(ReadBytes(config.Path), QByteArray("[main]\n"
                                                    "ErrorSound=1\n"
                                                    "ErrorDefaultSound=1\n"
                                                    "PlayErrorDefSoundPath=/e.wav\n"
                                                    "DCOBEFE=1\n"
                                                    "DCOBEFPath=/bin/x\n"
                                                    "DCOBEFParameters=%ip\n"
                                                    "XBox=120\n"
                                                    "YBox=60\n"
                                                    "VerifyTime=10\n"
                                                    "TimeOut=4294967295\n"
                                                    "Transparent=200\n"
                                                    "ShowOnLineOffLineTime=0\n"
                                                    "EnableLog=1\n"
                                                    "ErrorMsgBox=0\n"
                                                    "ShowUpDownTime=1\n"
                                                    "ShowIPandMethodX=0\n"
                                                    "ShowStatusX=1\n"
                                                    "ErrorTextSpeechSound=1\n"
                                                    "ErrorTextSpeechText=%text broke\n"
                                                    "VolumeMute=0\n"
                                                    "Volume=40000\n"));
    }

    void configMarker_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("missing") << QByteArray("[main]\nNumBox=1\n")
                                 << QByteArray("[main]\nNumBox=1\nApp=Pylarix\n");
        QTest::newRow("other case") << QByteArray("[main]\nApp=pylarix\n")
                                    << QByteArray("[main]\nApp=Pylarix\n");
        QTest::newRow("other value") << QByteArray("[main]\nApp=Other\nX=1\n")
                                     << QByteArray("[main]\nApp=Pylarix\nX=1\n");
        QTest::newRow("exact is left alone")
            << QByteArray("[main]\nApp = \"Pylarix\"\n") << QByteArray("[main]\nApp = \"Pylarix\"\n");
        QTest::newRow("no main section")
            << QByteArray("[Box 0]\nText=a\n") << QByteArray("[Box 0]\nText=a\n\n[main]\nApp=Pylarix\n");
    }
    void configMarker() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        CIniFile config(dir.filePath("c.ini"));
        WriteBytes(config.Path, before);
        QVERIFY(EnsureConfigMarker(config));
        QCOMPARE(ReadBytes(config.Path), after);
    }
};

QTEST_GUILESS_MAIN(ConfigFileTest)
#include "tst_ConfigFile.moc"
