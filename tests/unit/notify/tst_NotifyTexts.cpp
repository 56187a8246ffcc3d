#include "notify/MonitorLog.h"
#include "notify/NetMessage.h"
#include "notify/Placeholders.h"
#include "notify/SoundThread.h"
#include "notify/StatusMessage.h"
#include "support/NotifyTestNames.h"

#include "mainwnd/StatusMessageBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Texts built from a monitor's data: message boxes, log names and lines, file parameters,
// sound file names and the net message command.
class TestNotifyTexts : public QObject {
    Q_OBJECT
private slots:
    void statusMessage_data();
    void statusMessage();
    void statusMessageWithoutWidgets();
    void logFileName_data();
    void logFileName();
    void logLine_data();
    void logLine();
    void placeholders_data();
    void placeholders();
    void fileCommands_data();
    void fileCommands();
    void soundFileName_data();
    void soundFileName();
    void speechText_data();
    void speechText();
    void netMessageParameters_data();
    void netMessageParameters();
    void netMessageMessageRule_data();
    void netMessageMessageRule();
    void netMessageKeys();
};

// No leading zeros anywhere: 3 April 2026, 5:06:07.
static const QDateTime Stamp(QDate(2026, 4, 3), QTime(5, 6, 7));
// Two-digit fields stay as they are: 25 December 2026, 23:59:58.
static const QDateTime LateStamp(QDate(2026, 12, 25), QTime(23, 59, 58));

void TestNotifyTexts::statusMessage_data() {
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<int>("verifyMetod");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");
    const QString ping = "Date=3/4/2026\nTime=5:6:7\nText=Main Router\nIP=192.168.0.1\nStatus=";
    const QString tcp = "Date=3/4/2026\nTime=5:6:7\nText=Main Router\nIP=192.168.0.1\nPort=443\nStatus=";
    QTest::newRow("ping up") << MonitorStatus::Up << 1 << Stamp << ping + "IP is Up\r\n";
    QTest::newRow("ping down") << MonitorStatus::Down << 1 << Stamp << ping + "IP is Down\r\n";
    QTest::newRow("ping neterror") << MonitorStatus::NETERROR << 1 << Stamp << ping + "NET ERROR\r\n";
    QTest::newRow("ping iperror") << MonitorStatus::IPERROR << 1 << Stamp << ping + "IP ERROR\r\n";
    QTest::newRow("tcp open") << MonitorStatus::Open << 2 << Stamp << tcp + "Port is Open\r\n";
    QTest::newRow("tcp close") << MonitorStatus::Close << 2 << Stamp << tcp + "Port is Close\r\n";
    QTest::newRow("tcp down") << MonitorStatus::Down << 2 << Stamp << tcp + "IP is Down\r\n";
    QTest::newRow("tcp neterror") << MonitorStatus::NETERROR << 2 << Stamp << tcp + "NET ERROR\r\n";
    QTest::newRow("tcp iperror") << MonitorStatus::IPERROR << 2 << Stamp << tcp + "IP ERROR\r\n";
    QTest::newRow("two-digit fields")
        << MonitorStatus::Up << 1 << LateStamp
        << "Date=25/12/2026\nTime=23:59:58\nText=Main Router\nIP=192.168.0.1\nStatus=IP is Up\r\n";
    // Any other combination has no text.
    QTest::newRow("ping close") << MonitorStatus::Close << 1 << Stamp << "";
    QTest::newRow("ping checking") << MonitorStatus::CHECKING << 1 << Stamp << "";
    QTest::newRow("tcp checking") << MonitorStatus::CHECKING << 2 << Stamp << "";
    QTest::newRow("tcp nostatus") << MonitorStatus::NoStatus << 2 << Stamp << "";
    QTest::newRow("method 0 up") << MonitorStatus::Up << 0 << Stamp << "";
    QTest::newRow("method 3 down") << MonitorStatus::Down << 3 << Stamp << "";
}

void TestNotifyTexts::statusMessage() {
    QFETCH(MonitorStatus, status);
    QFETCH(int, verifyMetod);
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);
    const CStatusRecord record{"192.168.0.1", status, verifyMetod, 443, "Main Router"};
    QCOMPARE(StatusMessageText(record, now), expected);
}

void TestNotifyTexts::statusMessageWithoutWidgets() {
    // No application object at all: the box is skipped, nothing crashes.
    QVERIFY(!QCoreApplication::instance());
    ShowStatusMessage({"10.0.0.1", MonitorStatus::Down, MethodPing, 0, "Router"});
}

void TestNotifyTexts::logFileName_data() {
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("verifyMetod");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ping v4") << "192.168.0.1" << 1 << 0 << "192.168.0.1_Ping.log";
    QTest::newRow("tcp v4") << "192.168.0.1" << 2 << 80 << "192.168.0.1_TCP_80.log";
    QTest::newRow("ping v6 zone") << "fe80::1%4" << 1 << 0 << "fe80--1s4_Ping.log";
    QTest::newRow("ping v6 zone 12") << "fe80::1%12" << 1 << 0 << "fe80--1s12_Ping.log";
    QTest::newRow("tcp v6") << "::1" << 2 << 8080 << "--1_TCP_8080.log";
    QTest::newRow("host name") << "router.lan" << 1 << 0 << "router.lan_Ping.log";
    QTest::newRow("tcp port 0") << "h" << 2 << 0 << "h_TCP_0.log";
    QTest::newRow("method 0") << "192.168.0.1" << 0 << 80 << "";
    QTest::newRow("method 3") << "192.168.0.1" << 3 << 80 << "";
    // Names that would leave the logs folder stay plain names inside it.
    QTest::newRow("parent") << "../../etc/passwd" << 1 << 0 << "______etc_passwd_Ping.log";
    QTest::newRow("absolute") << "/tmp/x" << 2 << 1 << "_tmp_x_TCP_1.log";
    QTest::newRow("dot dot alone") << ".." << 1 << 0 << "___Ping.log";
    QTest::newRow("backslash") << "a\\b" << 1 << 0 << "a_b_Ping.log";
}

void TestNotifyTexts::logFileName() {
    QFETCH(QString, ip);
    QFETCH(int, verifyMetod);
    QFETCH(int, port);
    QFETCH(QString, expected);
    const QString name = MonitorLogFileName(ip, verifyMetod, port);
    QCOMPARE(name, expected);
    QVERIFY(!name.contains('/'));
}

void TestNotifyTexts::logLine_data() {
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<int>("verifyMetod");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");
    const QString ip = "10.0.0.5";
    QTest::newRow("neterror ping") << MonitorStatus::NETERROR << 1 << ip << Stamp
                                   << "3/4/2026 5:6:7 Net Error\r\n";
    QTest::newRow("neterror tcp") << MonitorStatus::NETERROR << 2 << ip << Stamp
                                  << "3/4/2026 5:6:7 Net Error\r\n";
    QTest::newRow("iperror ping") << MonitorStatus::IPERROR << 1 << ip << Stamp
                                  << "3/4/2026 5:6:7 IP=10.0.0.5 IP Error\r\n";
    QTest::newRow("iperror tcp") << MonitorStatus::IPERROR << 2 << ip << Stamp
                                 << "3/4/2026 5:6:7 IP=10.0.0.5 IP Error\r\n";
    QTest::newRow("up ping") << MonitorStatus::Up << 1 << ip << Stamp
                             << "3/4/2026 5:6:7 IP=10.0.0.5 is Up\r\n";
    QTest::newRow("down ping") << MonitorStatus::Down << 1 << ip << Stamp
                               << "3/4/2026 5:6:7 IP=10.0.0.5 is Down\r\n";
    QTest::newRow("open tcp") << MonitorStatus::Open << 2 << ip << Stamp
                              << "3/4/2026 5:6:7 IP=10.0.0.5 Port=443 is Open\r\n";
    QTest::newRow("close tcp") << MonitorStatus::Close << 2 << ip << Stamp
                               << "3/4/2026 5:6:7 IP=10.0.0.5 Port=443 is Close\r\n";
    QTest::newRow("down tcp") << MonitorStatus::Down << 2 << ip << Stamp
                              << "3/4/2026 5:6:7 IP=10.0.0.5 Port=443 is Down\r\n";
    QTest::newRow("late stamp") << MonitorStatus::Up << 1 << ip << LateStamp
                                << "25/12/2026 23:59:58 IP=10.0.0.5 is Up\r\n";
    QTest::newRow("zone kept in line")
        << MonitorStatus::Up << 1 << "fe80::1%12" << Stamp << "3/4/2026 5:6:7 IP=fe80::1%12 is Up\r\n";
    QTest::newRow("checking ping") << MonitorStatus::CHECKING << 1 << ip << Stamp << "";
    QTest::newRow("checking tcp") << MonitorStatus::CHECKING << 2 << ip << Stamp << "";
    QTest::newRow("nostatus") << MonitorStatus::NoStatus << 1 << ip << Stamp << "";
}

void TestNotifyTexts::logLine() {
    QFETCH(MonitorStatus, status);
    QFETCH(int, verifyMetod);
    QFETCH(QString, ip);
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);
    QCOMPARE(MonitorLogLine(status, verifyMetod, ip, 443, now), expected);
}

void TestNotifyTexts::placeholders_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<int>("verifyMetod");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("words");
    QTest::addColumn<QString>("expected");
    const QString all = "%ip %status %method %port %text";
    const int without = int(StatusWords::WithoutChecking), with = int(StatusWords::WithChecking),
              typed = int(StatusWords::LeftAsTyped);
    QTest::newRow("web server close") << all << "10.0.0.5" << MonitorStatus::Close << 2 << 443 << "Web Server"
                                      << without << "10.0.0.5 Close TCP 443 Web-Server";
    QTest::newRow("web server iperror") << all << "10.0.0.5" << MonitorStatus::IPERROR << 2 << 443
                                        << "Web Server" << without << "10.0.0.5 IPERROR TCP 443 Web-Server";
    QTest::newRow("tcp open") << all << "10.0.0.5" << MonitorStatus::Open << 2 << 443 << "W" << without
                              << "10.0.0.5 Open TCP 443 W";
    QTest::newRow("ping up") << all << "h" << MonitorStatus::Up << 1 << 0 << "a b  c" << without
                             << "h Up Ping 0 a-b--c";
    QTest::newRow("ping down") << all << "h" << MonitorStatus::Down << 1 << 0 << "" << without
                               << "h Down Ping 0 ";
    QTest::newRow("neterror") << "%status"
                              << "h" << MonitorStatus::NETERROR << 1 << 0 << "" << without << "NETERROR";
    QTest::newRow("status file no checking")
        << "[%status]"
        << "h" << MonitorStatus::CHECKING << 1 << 0 << "" << without << "[]";
    QTest::newRow("double-click checking")
        << "[%status]"
        << "h" << MonitorStatus::CHECKING << 1 << 0 << "" << with << "[CHECKING]";
    QTest::newRow("test keeps status") << all << "10.0.0.5" << MonitorStatus::Close << 2 << 443
                                       << "Web Server" << typed << "10.0.0.5 %status TCP 443 Web-Server";
    QTest::newRow("nostatus empty") << "[%status]"
                                    << "h" << MonitorStatus::NoStatus << 1 << 0 << "" << with << "[]";
    QTest::newRow("up of method 0 empty") << "[%status][%method]"
                                          << "h" << MonitorStatus::Up << 0 << 0 << "" << without << "[][]";
    QTest::newRow("capitals untouched")
        << "%IP %Status %METHOD %Port %TEXT"
        << "h" << MonitorStatus::Up << 1 << 7 << "t" << without << "%IP %Status %METHOD %Port %TEXT";
    QTest::newRow("every occurrence") << "%ip%ip-%port%port"
                                      << "h" << MonitorStatus::Up << 1 << 7 << "" << without << "hh-77";
    QTest::newRow("negative port") << "%port"
                                   << "h" << MonitorStatus::Up << 1 << -1 << "" << without << "-1";
    // One pass per placeholder: a value put in is not scanned for the same placeholder again,
    // but the later placeholders do see it.
    QTest::newRow("ip value holds %ip") << "%ip"
                                        << "a%ipb" << MonitorStatus::Up << 1 << 0 << "" << without << "a%ipb";
    QTest::newRow("ip value holds %port") << "%ip"
                                          << "x%port" << MonitorStatus::Up << 1 << 5 << "" << without << "x5";
    QTest::newRow("text value holds %ip") << "%text"
                                          << "h" << MonitorStatus::Up << 1 << 0 << "%ip" << without << "%ip";
    QTest::newRow("split placeholder") << "%i%ipp"
                                       << "h" << MonitorStatus::Up << 1 << 0 << "" << without << "%ihp";
    QTest::newRow("no placeholders") << "plain ; $(x)"
                                     << "h" << MonitorStatus::Up << 1 << 0 << "" << without << "plain ; $(x)";
}

void TestNotifyTexts::placeholders() {
    QFETCH(QString, text);
    QFETCH(QString, ip);
    QFETCH(MonitorStatus, status);
    QFETCH(int, verifyMetod);
    QFETCH(int, port);
    QFETCH(QString, label);
    QFETCH(int, words);
    QFETCH(QString, expected);
    const CStatusRecord record{ip, status, verifyMetod, port, label};
    QCOMPARE(ExpandPlaceholders(text, record, static_cast<StatusWords>(words)), expected);
}

void TestNotifyTexts::fileCommands_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<QString>("expectedFile");
    QTest::addColumn<QString>("expectedParameters");
    QTest::newRow("status file keeps %ip in file") << 0 << "/opt/%ip/run"
                                                   << "%ip %status" << MonitorStatus::Down << "/opt/%ip/run"
                                                   << "10.0.0.5 Down";
    QTest::newRow("status file never checking") << 0 << "/bin/f"
                                                << "%status." << MonitorStatus::CHECKING << "/bin/f"
                                                << ".";
    QTest::newRow("double-click fills %ip in file")
        << 1 << "/opt/%ip/run %ip"
        << "%ip" << MonitorStatus::Up << "/opt/10.0.0.5/run 10.0.0.5"
        << "10.0.0.5";
    QTest::newRow("double-click checking")
        << 1 << "/bin/f"
        << "%status %method %port %text" << MonitorStatus::CHECKING << "/bin/f"
        << "CHECKING TCP 443 Web-Server";
    QTest::newRow("double-click %status in file stays") << 1 << "/bin/%status"
                                                        << "" << MonitorStatus::Up << "/bin/%status"
                                                        << "";
    QTest::newRow("test keeps %status")
        << 2 << "/opt/%ip"
        << "%ip %status %method %port %text" << MonitorStatus::Up << "/opt/%ip"
        << "10.0.0.5 %status TCP 443 Web-Server";
}

void TestNotifyTexts::fileCommands() {
    QFETCH(int, kind);
    QFETCH(QString, file);
    QFETCH(QString, parameters);
    QFETCH(MonitorStatus, status);
    QFETCH(QString, expectedFile);
    QFETCH(QString, expectedParameters);
    const CStatusRecord record{"10.0.0.5", status, 2, 443, "Web Server"};
    CShellCommand command;
    if (kind == 0)
        command = StatusFileCommand(file, parameters, record);
    else if (kind == 1)
        command = DoubleClickFileCommand(file, parameters, record);
    else
        command =
            TestFileCommand(file, parameters, record.IPAdress, record.VerifyMetod, record.Port, record.Text);
    QCOMPARE(command.File, expectedFile);
    QCOMPARE(command.Parameters, expectedParameters);
}

void TestNotifyTexts::soundFileName_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("useSoundPath");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("up") << 2 << 0 << "/opt/pylarix"
                        << "/opt/pylarix/Sound/Up.wav";
    QTest::newRow("down") << 1 << 0 << "/opt/pylarix"
                          << "/opt/pylarix/Sound/Down.wav";
    QTest::newRow("close plays down") << 7 << 0 << "/opt/pylarix"
                                      << "/opt/pylarix/Sound/Down.wav";
    QTest::newRow("neterror") << 4 << 0 << "/opt/pylarix"
                              << "/opt/pylarix/Sound/CompError.wav";
    QTest::newRow("iperror") << 5 << 0 << "/opt/pylarix"
                             << "/opt/pylarix/Sound/CompError.wav";
    QTest::newRow("volume test") << 100 << 0 << "/opt/pylarix"
                                 << "/opt/pylarix/Sound/VolumeTest.wav";
    QTest::newRow("folder with slash") << 2 << 0 << "/opt/pylarix/"
                                       << "/opt/pylarix/Sound/Up.wav";
    QTest::newRow("checking none") << 6 << 0 << "/opt/pylarix"
                                   << "";
    QTest::newRow("nostatus none") << 0 << 0 << "/opt/pylarix"
                                   << "";
    QTest::newRow("three none") << 3 << 0 << "/opt/pylarix"
                                << "";
    QTest::newRow("custom") << 2 << 1 << "/opt/pylarix"
                            << "/home/u/my.wav";
    QTest::newRow("custom for checking") << 6 << 1 << "/opt/pylarix"
                                         << "/home/u/my.wav";
    QTest::newRow("other use value") << 2 << 2 << "/opt/pylarix"
                                     << "";
}

void TestNotifyTexts::soundFileName() {
    QFETCH(int, status);
    QFETCH(int, useSoundPath);
    QFETCH(QString, programFolder);
    QFETCH(QString, expected);
    CSoundThread sound;
    sound.Status = status;
    sound.UseSoundPath = useSoundPath;
    sound.SoundPath = "/home/u/my.wav";
    sound.ProgramFolder = programFolder;
    QCOMPARE(sound.SoundFileName(), expected);
}

void TestNotifyTexts::speechText_data() {
    QTest::addColumn<QString>("speechText");
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("router") << "%text is Down"
                            << "Router"
                            << "Router is Down";
    QTest::newRow("twice") << "%text, %text"
                           << "A B"
                           << "A B, A B";
    QTest::newRow("capitals kept") << "%TEXT is Up"
                                   << "Router"
                                   << "%TEXT is Up";
    QTest::newRow("value holds placeholder") << "%text"
                                             << "%text"
                                             << "%text";
    QTest::newRow("empty") << ""
                           << "Router"
                           << "";
}

void TestNotifyTexts::speechText() {
    QFETCH(QString, speechText);
    QFETCH(QString, boxText);
    QFETCH(QString, expected);
    CSoundThread sound;
    sound.SpeechText = speechText;
    sound.BoxText = boxText;
    QCOMPARE(sound.TextToSpeak(), expected);
}

void TestNotifyTexts::netMessageParameters_data() {
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected");
    QTest::newRow("defaults") << DefaultSendNetMsgParam << "10.0.0.7"
                              << "console"
                              << "Backup done"
                              << "/K echo msg /V /SERVER:10.0.0.7 console Backup done & msg /V "
                                 "/SERVER:10.0.0.7 console Backup done";
    // Order ip, user, message: a value is seen by the placeholders after it only.
    QTest::newRow("user holds %message") << "%user|%message"
                                         << "h"
                                         << "%message"
                                         << "m"
                                         << "m|m";
    QTest::newRow("message holds %user") << "%message"
                                         << "h"
                                         << "u"
                                         << "%user"
                                         << "%user";
    QTest::newRow("ip holds %user") << "%ip"
                                    << "%user"
                                    << "u"
                                    << "m"
                                    << "u";
    QTest::newRow("capitals") << "%IP %User"
                              << "h"
                              << "u"
                              << "m"
                              << "%IP %User";
}

void TestNotifyTexts::netMessageParameters() {
    QFETCH(QString, templ);
    QFETCH(QString, ip);
    QFETCH(QString, user);
    QFETCH(QString, message);
    QFETCH(QString, expected);
    QCOMPARE(ExpandNetMessageParameters(templ, ip, user, message), expected);
}

void TestNotifyTexts::netMessageMessageRule_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("normalized");
    QTest::addColumn<bool>("canSend");
    QTest::newRow("empty") << ""
                           << "" << false;
    QTest::newRow("one space") << " "
                               << "" << false;
    QTest::newRow("two spaces") << "  "
                                << "  " << true;
    QTest::newRow("text") << "Backup done"
                          << "Backup done" << true;
    QTest::newRow("space then text") << " a"
                                     << " a" << true;
}

void TestNotifyTexts::netMessageMessageRule() {
    QFETCH(QString, message);
    QFETCH(QString, normalized);
    QFETCH(bool, canSend);
    QCOMPARE(NormalizedNetMessage(message), normalized);
    QCOMPARE(CanSendNetMessage(message), canSend);
}

void TestNotifyTexts::netMessageKeys() {
    QTemporaryDir dir;
    CIniFile ini(dir.path() + "/PylarixA.ini");
    // Fresh configuration: "console", no command, and sending fails.
    QCOMPARE(NetUserNameToShow(ini), QString("console"));
    QCOMPARE(ReadNetMessageSettings(ini).SendNetMsgComm, QString());
    QCOMPARE(SendNetMessage(ReadNetMessageSettings(ini), "10.0.0.7", "console", "Backup done"),
             NetMessageStartFailed);
    QCOMPARE(NetMessageStartFailed, QString("ERROR_FILE_NOT_FOUND."));

    StoreNetUserName(ini, "admin");
    QCOMPARE(ini.ReadString("main", "NetUserName"), QString("admin"));
    QCOMPARE(NetUserNameToShow(ini), QString("admin"));
    // Clearing stores an empty name; the next opening shows "console" again.
    StoreNetUserName(ini, "");
    QCOMPARE(ini.ReadString("main", "NetUserName"), QString());
    QCOMPARE(NetUserNameToShow(ini), QString("console"));

    WriteNetMessageSettings(ini, {DefaultSendNetMsgComm, DefaultSendNetMsgParam});
    QCOMPARE(ini.ReadString("main", "SendNetMsgComm"), QString("cmd"));
    QCOMPARE(ini.ReadString("main", "SendNetMsgParam"),
             QString("/K echo msg /V /SERVER:%ip %user %message & msg /V /SERVER:%ip %user %message"));
    const CNetMessageSettings back = ReadNetMessageSettings(ini);
    QCOMPARE(back.SendNetMsgComm, DefaultSendNetMsgComm);
    QCOMPARE(back.SendNetMsgParam, DefaultSendNetMsgParam);

    // Exactly the three keys, all in section main.
    QFile file(ini.Path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            lines << QString::fromUtf8(line.trimmed());
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), QString("[main]"));
    QVERIFY(lines.at(1).startsWith("NetUserName="));
}

QTEST_APPLESS_MAIN(TestNotifyTexts)
#include "tst_NotifyTexts.moc"
