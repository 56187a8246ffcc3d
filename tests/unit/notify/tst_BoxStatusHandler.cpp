#include "notify/BoxStatusHandler.h"
#include "notify/MonitorLog.h"
#include "support/NotifyTestNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// Records what the handler starts, in order, with the repaints among them.
class CRecordingStarter : public INotificationStarter {
public:
    QStringList Events;
    std::vector<CSoundThread> Sounds;
    std::vector<CStatusRecord> Messages;
    std::vector<CShellCommand> Files;

    void StartSound(const CSoundThread& sound) override {
        Events << "sound";
        Sounds.push_back(sound);
    }
    void StartStatusMessage(const CStatusRecord& record) override {
        Events << "message";
        Messages.push_back(record);
    }
    void StartStatusFile(const CShellCommand& command) override {
        Events << "file";
        Files.push_back(command);
    }
};

// A table of monitors, a logs folder of its own and a handler that records everything.
struct CFixture {
    QTemporaryDir Dir;
    CMonitorTable Table;
    CGlobalSettings Settings;
    CDataPaths Paths;
    CRecordingStarter Starter;
    CBoxStatusHandler Handler{Table, Settings, Paths, Starter};
    QDateTime Clock{QDate(2026, 4, 3), QTime(5, 6, 7)};

    CFixture() {
        Paths = MakeDataPaths(Dir.path() + "/data", Dir.path() + "/prog");
        QDir().mkpath(Paths.LogsFolder);
        Handler.Repaint = [this] { Starter.Events << "repaint"; };
        Handler.Now = [this] { return Clock; };
    }

    CMonitorBox& Add(const QString& ip, int method, int port = 0) {
        const int index = Table.NumBox++;
        Table.Slots[index] = std::make_unique<CMonitorBox>(nullptr, index);
        CMonitorBox& box = *Table.Slots[index];
        box.IPAdress = ip;
        box.VerifyMetod = method;
        box.Port = port;
        box.Text = "Web Server";
        return box;
    }

    std::int32_t Report(int index, MonitorStatus status, int reply = -1) {
        return Handler.OnBoxStatus(MakeBoxStatusWParam(status, index), reply);
    }

    QByteArray Log(const QString& ip, int method, int port = 0) const {
        QFile f(Paths.LogsFolder + MonitorLogFileName(ip, method, port));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

class TestBoxStatusHandler : public QObject {
    Q_OBJECT
private slots:
    void staleReportsDropped_data();
    void staleReportsDropped();
    void pingDownToUpFiresAllInOrder();
    void sameStatusTwice_data();
    void sameStatusTwice();
    void statusText_data();
    void statusText();
    void errorNotifications_data();
    void errorNotifications();
    void errorChainFiresEachStep();
    void checkingFiresNothing();
    void statusFileGetsExpandedParameters();
    void messageRecordIsACopy();
    void logUpDownDownUpWritesThreeLines();
    void logSharedTarget();
    void logParentPathStaysInside();
    void logGlobalSwitch();
    void missingLogsFolderSkipsOnlyTheLog();
    void logPathNotAFile_data();
    void logPathNotAFile();
};

void TestBoxStatusHandler::staleReportsDropped_data() {
    QTest::addColumn<std::uint32_t>("wParam");
    QTest::newRow("destroyed index") << MakeBoxStatusWParam(MonitorStatus::Down, 0xFFFF);
    QTest::newRow("index == NumBox") << MakeBoxStatusWParam(MonitorStatus::Down, 2);
    QTest::newRow("index beyond table") << MakeBoxStatusWParam(MonitorStatus::Down, 60);
    QTest::newRow("empty slot") << MakeBoxStatusWParam(MonitorStatus::Down, 1);
}

void TestBoxStatusHandler::staleReportsDropped() {
    QFETCH(std::uint32_t, wParam);
    CFixture f;
    CMonitorBox& box = f.Add("10.0.0.1", MethodPing);
    box.Sound = 7;
    box.MsgBox = 7;
    box.Logging = 1;
    f.Table.NumBox = 2; // slot 1 stays empty
    box.Status = MonitorStatus::Up;
    QCOMPARE(f.Handler.OnBoxStatus(wParam, 12), 0);
    QCOMPARE(box.Status, MonitorStatus::Up);
    QCOMPARE(box.ReplyTime, -1);
    QVERIFY(f.Starter.Events.isEmpty());
    QVERIFY(QDir(f.Paths.LogsFolder).isEmpty());
}

void TestBoxStatusHandler::pingDownToUpFiresAllInOrder() {
    CFixture f;
    f.Add("10.0.0.9", MethodPing); // another record before it: the index matters
    CMonitorBox& box = f.Add("10.0.0.1", MethodPing);
    box.Status = MonitorStatus::Down;
    box.Sound = 1;
    box.MsgBox = 1;
    box.Logging = 1;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = 1;
    box.ExecFilePath = "/opt/run";
    box.ExecFileParam = "%ip %status";
    QCOMPARE(f.Report(1, MonitorStatus::Up, 17), 0);
    QCOMPARE(box.Status, MonitorStatus::Up);
    QCOMPARE(box.ReplyTime, 17);
    QCOMPARE(f.Starter.Events, QStringList({"repaint", "sound", "message", "file"}));
    QCOMPARE(f.Starter.Sounds.at(0).Status, 2);
    QCOMPARE(f.Starter.Sounds.at(0).UseSoundPath, 0);
    QCOMPARE(f.Starter.Sounds.at(0).SoundFileName(), f.Paths.ProgramFolder + "/Sound/Up.wav");
    QCOMPARE(f.Starter.Messages.at(0).Status, MonitorStatus::Up);
    QCOMPARE(f.Starter.Files.at(0), (CShellCommand{"/opt/run", "10.0.0.1 Up"}));
    QCOMPARE(f.Log("10.0.0.1", MethodPing), QByteArray("3/4/2026 5:6:7 IP=10.0.0.1 is Up\r\n"));
    // The other record was not touched.
    QCOMPARE(f.Table.Slots[0]->Status, MonitorStatus::NoStatus);
}

void TestBoxStatusHandler::sameStatusTwice_data() {
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<bool>("showReplyTime");
    QTest::addColumn<int>("secondReply");
    QTest::addColumn<bool>("repaints");
    QTest::newRow("up new reply shown") << MonitorStatus::Up << true << 30 << true;
    QTest::newRow("up new reply hidden") << MonitorStatus::Up << false << 30 << false;
    QTest::newRow("up same reply shown") << MonitorStatus::Up << true << 20 << false;
    QTest::newRow("close new reply shown") << MonitorStatus::Close << true << 30 << true;
    QTest::newRow("down new reply shown") << MonitorStatus::Down << true << 30 << false;
    QTest::newRow("neterror new reply shown") << MonitorStatus::NETERROR << true << 30 << false;
}

void TestBoxStatusHandler::sameStatusTwice() {
    QFETCH(MonitorStatus, status);
    QFETCH(bool, showReplyTime);
    QFETCH(int, secondReply);
    QFETCH(bool, repaints);
    CFixture f;
    f.Settings.ShowReplyTime = showReplyTime;
    f.Settings.ErrorSound = 1;
    f.Settings.ErrorMsgBox = 1;
    CMonitorBox& box = f.Add("10.0.0.5", MethodTcp, 443);
    box.Sound = 7;
    box.MsgBox = 7;
    box.Logging = 1;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = 31;
    f.Report(0, status, 20);
    const QByteArray logAfterFirst = f.Log("10.0.0.5", MethodTcp, 443);
    f.Starter.Events.clear();
    f.Report(0, status, secondReply);
    QCOMPARE(box.ReplyTime, secondReply); // stored whatever is repainted
    QCOMPARE(f.Starter.Events, repaints ? QStringList{"repaint"} : QStringList{});
    QCOMPARE(f.Log("10.0.0.5", MethodTcp, 443), logAfterFirst);
}

void TestBoxStatusHandler::statusText_data() {
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<QString>("expected");
    QTest::newRow("neterror") << MonitorStatus::NETERROR << "NET ERROR";
    QTest::newRow("iperror") << MonitorStatus::IPERROR << "IP ERROR";
    QTest::newRow("checking") << MonitorStatus::CHECKING << "CHECKING";
    QTest::newRow("up unchanged") << MonitorStatus::Up << "before";
    QTest::newRow("down unchanged") << MonitorStatus::Down << "before";
    QTest::newRow("close unchanged") << MonitorStatus::Close << "before";
}

void TestBoxStatusHandler::statusText() {
    QFETCH(MonitorStatus, status);
    QFETCH(QString, expected);
    CFixture f;
    CMonitorBox& box = f.Add("h", MethodTcp, 1);
    box.StatusText = "before";
    f.Report(0, status);
    QCOMPARE(box.StatusText, expected);
}

void TestBoxStatusHandler::errorNotifications_data() {
    QTest::addColumn<MonitorStatus>("status");
    QTest::addColumn<int>("errorSound");
    QTest::addColumn<int>("errorMsgBox");
    QTest::addColumn<int>("fileCheck");
    QTest::addColumn<QStringList>("expected");
    // The monitor's own Sound and MsgBox masks play no part in errors.
    const MonitorStatus net = MonitorStatus::NETERROR, ip = MonitorStatus::IPERROR;
    QTest::newRow("net nothing") << net << 0 << 0 << 8 << QStringList{"repaint"};
    QTest::newRow("net sound") << net << 1 << 0 << 0 << QStringList{"repaint", "sound"};
    QTest::newRow("net message") << net << 0 << 1 << 0 << QStringList{"repaint", "message"};
    QTest::newRow("net file bit 16") << net << 0 << 0 << 16 << QStringList{"repaint", "file"};
    QTest::newRow("net all") << net << 1 << 1 << 31 << QStringList{"repaint", "sound", "message", "file"};
    QTest::newRow("ip file bit 8") << ip << 0 << 0 << 8 << QStringList{"repaint", "file"};
    QTest::newRow("ip file bit 16 only") << ip << 0 << 0 << 16 << QStringList{"repaint"};
    QTest::newRow("ip all") << ip << 1 << 1 << 8 << QStringList{"repaint", "sound", "message", "file"};
}

void TestBoxStatusHandler::errorNotifications() {
    QFETCH(MonitorStatus, status);
    QFETCH(int, errorSound);
    QFETCH(int, errorMsgBox);
    QFETCH(int, fileCheck);
    QFETCH(QStringList, expected);
    CFixture f;
    f.Settings.ErrorSound = errorSound;
    f.Settings.ErrorMsgBox = errorMsgBox;
    CMonitorBox& box = f.Add("h", MethodPing);
    box.Status = MonitorStatus::Up;
    box.Sound = 7;
    box.MsgBox = 7;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = fileCheck;
    f.Report(0, status);
    QCOMPARE(f.Starter.Events, expected);
    if (errorSound)
        QCOMPARE(f.Starter.Sounds.at(0).SoundFileName(), f.Paths.ProgramFolder + "/Sound/CompError.wav");
}

void TestBoxStatusHandler::errorChainFiresEachStep() {
    CFixture f;
    f.Settings.ErrorSound = 1;
    f.Settings.ErrorMsgBox = 1;
    f.Settings.EnableLog = 1;
    f.Add("h", MethodPing);
    for (MonitorStatus s : {MonitorStatus::NETERROR, MonitorStatus::IPERROR, MonitorStatus::NETERROR})
        f.Report(0, s);
    QCOMPARE(f.Starter.Sounds.size(), std::size_t(3));
    QCOMPARE(f.Starter.Messages.size(), std::size_t(3));
    QCOMPARE(f.Log("h", MethodPing), QByteArray("3/4/2026 5:6:7 Net Error\r\n"
                                                "3/4/2026 5:6:7 IP=h IP Error\r\n"
                                                "3/4/2026 5:6:7 Net Error\r\n"));
}

void TestBoxStatusHandler::checkingFiresNothing() {
    CFixture f;
    f.Settings.ErrorSound = 1;
    f.Settings.ErrorMsgBox = 1;
    CMonitorBox& box = f.Add("10.0.0.1", MethodPing);
    box.Status = MonitorStatus::Up;
    box.Sound = 255;
    box.MsgBox = 255;
    box.Logging = 1;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = 255;
    f.Report(0, MonitorStatus::CHECKING);
    QCOMPARE(f.Starter.Events, QStringList{"repaint"});
    // The log file is opened, so created, but holds nothing.
    QCOMPARE(f.Log("10.0.0.1", MethodPing), QByteArray());
    // An existing log gains nothing either.
    f.Report(0, MonitorStatus::Down);
    f.Report(0, MonitorStatus::CHECKING);
    QCOMPARE(f.Log("10.0.0.1", MethodPing), QByteArray("3/4/2026 5:6:7 IP=10.0.0.1 is Down\r\n"));
}

void TestBoxStatusHandler::statusFileGetsExpandedParameters() {
    CFixture f;
    CMonitorBox& box = f.Add("10.0.0.5", MethodTcp, 443);
    box.Status = MonitorStatus::Open;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = 4;
    box.ExecFilePath = "/opt/%ip/notify";
    box.ExecFileParam = "%ip %status %method %port %text";
    f.Report(0, MonitorStatus::Close);
    QCOMPARE(f.Starter.Files.size(), std::size_t(1));
    QCOMPARE(f.Starter.Files.at(0), (CShellCommand{"/opt/%ip/notify", "10.0.0.5 Close TCP 443 Web-Server"}));
    // Disabled: nothing, whatever the bits.
    box.ExecFileCheck = 0;
    f.Report(0, MonitorStatus::Open);
    f.Report(0, MonitorStatus::Close);
    QCOMPARE(f.Starter.Files.size(), std::size_t(1));
}

void TestBoxStatusHandler::messageRecordIsACopy() {
    CFixture f;
    CMonitorBox& box = f.Add("10.0.0.5", MethodTcp, 443);
    box.MsgBox = 4;
    f.Report(0, MonitorStatus::Close);
    // The record goes away before the box would read it.
    f.Table.Slots[0].reset();
    f.Table.NumBox = 0;
    QCOMPARE(f.Starter.Messages.size(), std::size_t(1));
    const CStatusRecord& m = f.Starter.Messages.at(0);
    QCOMPARE(m.Status, MonitorStatus::Close);
    QCOMPARE(m.VerifyMetod, 2);
    QCOMPARE(m.Text, QString("Web Server"));
    QCOMPARE(m.IPAdress, QString("10.0.0.5"));
    QCOMPARE(m.Port, 443);
}

void TestBoxStatusHandler::logUpDownDownUpWritesThreeLines() {
    CFixture f;
    CMonitorBox& box = f.Add("192.168.0.1", MethodTcp, 80);
    box.Logging = 1;
    f.Report(0, MonitorStatus::Open);
    f.Clock = f.Clock.addSecs(3);
    f.Report(0, MonitorStatus::Down);
    f.Report(0, MonitorStatus::Down);
    f.Clock = f.Clock.addSecs(3);
    f.Report(0, MonitorStatus::Open);
    QCOMPARE(f.Log("192.168.0.1", MethodTcp, 80),
             QByteArray("3/4/2026 5:6:7 IP=192.168.0.1 Port=80 is Open\r\n"
                        "3/4/2026 5:6:10 IP=192.168.0.1 Port=80 is Down\r\n"
                        "3/4/2026 5:6:13 IP=192.168.0.1 Port=80 is Open\r\n"));
    QCOMPARE(QDir(f.Paths.LogsFolder).entryList(QDir::Files), QStringList{"192.168.0.1_TCP_80.log"});
}

void TestBoxStatusHandler::logSharedTarget() {
    CFixture f;
    f.Add("fe80::1%12", MethodPing).Logging = 1;
    f.Add("fe80::1%12", MethodPing).Logging = 1;
    f.Add("fe80::1%12", MethodTcp, 22).Logging = 1;
    f.Report(0, MonitorStatus::Up);
    f.Report(1, MonitorStatus::Down);
    f.Report(2, MonitorStatus::Close);
    QCOMPARE(f.Log("fe80::1%12", MethodPing), QByteArray("3/4/2026 5:6:7 IP=fe80::1%12 is Up\r\n"
                                                         "3/4/2026 5:6:7 IP=fe80::1%12 is Down\r\n"));
    QCOMPARE(QDir(f.Paths.LogsFolder).entryList(QDir::Files, QDir::Name),
             QStringList({"fe80--1s12_Ping.log", "fe80--1s12_TCP_22.log"}));
}

void TestBoxStatusHandler::logParentPathStaysInside() {
    CFixture f;
    f.Add("../../outside", MethodPing).Logging = 1;
    f.Add("../x/../../y", MethodTcp, 1).Logging = 1;
    f.Add("/tmp/abs", MethodPing).Logging = 1;
    f.Report(0, MonitorStatus::Down);
    f.Report(1, MonitorStatus::Close);
    f.Report(2, MonitorStatus::Up);
    // Only the logs folder gained files; nothing beside or above it.
    QCOMPARE(QDir(f.Paths.LogsFolder).entryList(QDir::Files).size(), 3);
    QCOMPARE(QDir(f.Paths.DataFolder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{"Logs"});
    QCOMPARE(QDir(f.Dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"data"});
    QVERIFY(!QFile::exists("/tmp/abs_Ping.log"));
    QCOMPARE(f.Log("../../outside", MethodPing), QByteArray("3/4/2026 5:6:7 IP=../../outside is Down\r\n"));
}

void TestBoxStatusHandler::logGlobalSwitch() {
    CFixture f;
    f.Add("a", MethodPing);
    f.Report(0, MonitorStatus::Up);
    QCOMPARE(f.Log("a", MethodPing), QByteArray("<missing>"));
    f.Settings.EnableLog = 1;
    f.Report(0, MonitorStatus::Down);
    QCOMPARE(f.Log("a", MethodPing), QByteArray("3/4/2026 5:6:7 IP=a is Down\r\n"));
}

void TestBoxStatusHandler::missingLogsFolderSkipsOnlyTheLog() {
    CFixture f;
    QDir(f.Paths.LogsFolder).removeRecursively();
    CMonitorBox& box = f.Add("a", MethodPing);
    box.Logging = 1;
    box.Sound = 2;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = 2;
    f.Report(0, MonitorStatus::Down);
    QCOMPARE(f.Starter.Events, QStringList({"repaint", "sound", "file"}));
    QVERIFY(!QFileInfo::exists(f.Paths.LogsFolder));
    // Method 0 has no log name: skipped as well.
    CMonitorBox& odd = f.Add("b", 0);
    odd.Logging = 1;
    QDir().mkpath(f.Paths.LogsFolder);
    f.Report(1, MonitorStatus::Down);
    QVERIFY(QDir(f.Paths.LogsFolder).isEmpty());
}

void TestBoxStatusHandler::logPathNotAFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo nobody reads") << "fifo";
    QTest::newRow("fifo with a reader") << "fifo+reader";
    QTest::newRow("local socket") << "socket";
    QTest::newRow("folder") << "folder";
}

void TestBoxStatusHandler::logPathNotAFile() {
    QFETCH(QString, kind);
    CFixture f;
    CMonitorBox& box = f.Add("10.0.0.9", MethodPing);
    box.Logging = 1;
    box.Sound = 2;
    f.Add("10.0.0.10", MethodPing).Logging = 1;
    const QByteArray path =
        QFile::encodeName(f.Paths.LogsFolder + MonitorLogFileName("10.0.0.9", MethodPing, 0));
    int reader = -1;
    int listener = -1;
    if (kind.startsWith("fifo")) {
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
        if (kind.endsWith("reader")) {
            reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(reader >= 0);
        }
    } else if (kind == "socket") {
        listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(std::size_t(path.size()) < sizeof address.sun_path);
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        QCOMPARE(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(::listen(listener, 1), 0);
    } else {
        QVERIFY(QDir().mkdir(QFile::decodeName(path)));
    }

    // The report runs on a thread of its own, so a handler stuck in open() fails the test instead
    // of hanging it.
    std::atomic<bool> returned{false};
    std::thread report([&] {
        f.Report(0, MonitorStatus::Down);
        returned = true;
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!returned && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool handled = returned.load();
    if (!handled) {
        // Let the stuck open() complete so the thread can end.
        const int unblock = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        report.join();
        ::close(unblock);
    } else {
        report.join();
    }
    QVERIFY2(handled, "the report did not return: opening the log blocked");
    QCOMPARE(f.Starter.Events, QStringList({"repaint", "sound"}));
    if (reader >= 0) {
        char buffer[256];
        const ssize_t got = ::read(reader, buffer, sizeof buffer);
        ::close(reader);
        QVERIFY2(got <= 0, "the log line went into the FIFO");
    }
    if (listener >= 0)
        ::close(listener);
    // Later reports are handled and logged as usual.
    f.Report(1, MonitorStatus::Down);
    QCOMPARE(f.Log("10.0.0.10", MethodPing), QByteArray("3/4/2026 5:6:7 IP=10.0.0.10 is Down\r\n"));
}

QTEST_APPLESS_MAIN(TestBoxStatusHandler)
#include "tst_BoxStatusHandler.moc"
