#include "app/SingleInstance.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <barrier>
#include <cstring>
#include <memory>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

// What a crash leaves behind: a socket file bound by a process that is gone, so connects are refused.
bool LeaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = path.toLocal8Bit();
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

// A second start runs on its own thread: its Claim() blocks until the first instance, served by
// the test's event loop, has answered.
struct SecondStart {
    std::atomic<bool> Done{false};
    bool Result = true;
    qint64 EndedAtMs = 0;
    std::thread Thread;
    void Run(const QString& path, const QElapsedTimer& clock, int timeoutMs = 3000) {
        Thread = std::thread([this, path, &clock, timeoutMs] {
            CSingleInstance second(path);
            Result = second.Claim(timeoutMs);
            EndedAtMs = clock.elapsed();
            Done = true;
        });
    }
};

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void firstStartServes();
    void secondStartAsksFirstToShow();
    void secondStartWaitsUntilHandled();
    void staleSocketDoesNotBlock();
    void foreignFileAtSocketPathIsTakenOver();
    void strangeRequestsAreIgnored_data();
    void strangeRequestsAreIgnored();
    void simultaneousStartsLeaveOneInstance();
    void socketGoesWithTheInstance();
    void fallbackFolderIsPrivate();
    void foreignOwnedSocketPath_data();
    void foreignOwnedSocketPath();
};

void TestSingleInstance::initTestCase() {
    // QLockFile stamps its file with the local time. Without TZ, glibc rebuilds its time zone
    // name on every call under a lock that ThreadSanitizer cannot see; with TZ set (to the same
    // zone) it does so once, here.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    ::tzset();
}

void TestSingleInstance::firstStartServes() {
    QTemporaryDir dir;
    CSingleInstance first(dir.path() + "/Pylarix-0");
    QVERIFY(first.Claim());
    QVERIFY(first.IsServing());
    QVERIFY(QFileInfo::exists(first.SocketPath()));
    // Claiming again is harmless.
    QVERIFY(first.Claim());
}

void TestSingleInstance::secondStartAsksFirstToShow() {
    QTemporaryDir dir;
    CSingleInstance first(dir.path() + "/Pylarix-0");
    QVERIFY(first.Claim());
    QSignalSpy shows(&first, &CSingleInstance::ShowMainRequested);

    QElapsedTimer clock;
    clock.start();
    SecondStart second;
    second.Run(first.SocketPath(), clock);
    QTRY_VERIFY_WITH_TIMEOUT(second.Done, 10000);
    second.Thread.join();

    QCOMPARE(second.Result, false);
    QCOMPARE(shows.size(), 1);
    QVERIFY(first.IsServing());
}

void TestSingleInstance::secondStartWaitsUntilHandled() {
    QTemporaryDir dir;
    CSingleInstance first(dir.path() + "/Pylarix-0");
    QVERIFY(first.Claim());
    QElapsedTimer clock;
    clock.start();
    qint64 handledAtMs = -1;
    connect(&first, &CSingleInstance::ShowMainRequested, this, [&] {
        QThread::msleep(300); // a slow show on the first instance
        handledAtMs = clock.elapsed();
    });

    SecondStart second;
    second.Run(first.SocketPath(), clock);
    QTRY_VERIFY_WITH_TIMEOUT(second.Done, 10000);
    second.Thread.join();

    QVERIFY(handledAtMs >= 0);
    QVERIFY2(
        second.EndedAtMs >= handledAtMs,
        qPrintable(
            QString("second ended at %1 ms, show handled at %2 ms").arg(second.EndedAtMs).arg(handledAtMs)));
}

void TestSingleInstance::staleSocketDoesNotBlock() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Pylarix-0";
    QVERIFY(LeaveStaleSocket(path));
    QLocalSocket probe;
    probe.connectToServer(path);
    QVERIFY(!probe.waitForConnected(500));

    CSingleInstance next(path);
    QVERIFY(next.Claim());
    QVERIFY(next.IsServing());

    // And it really serves: a later start reaches it.
    QSignalSpy shows(&next, &CSingleInstance::ShowMainRequested);
    QElapsedTimer clock;
    clock.start();
    SecondStart second;
    second.Run(path, clock);
    QTRY_VERIFY_WITH_TIMEOUT(second.Done, 10000);
    second.Thread.join();
    QCOMPARE(second.Result, false);
    QCOMPARE(shows.size(), 1);
}

void TestSingleInstance::foreignFileAtSocketPathIsTakenOver() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Pylarix-0";
    QFile junk(path);
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a socket");
    junk.close();
    CSingleInstance next(path);
    QVERIFY(next.Claim());
    QVERIFY(next.IsServing());
}

void TestSingleInstance::strangeRequestsAreIgnored_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("unknown line") << QByteArray("QUIT\n");
    QTest::newRow("request without end of line") << QByteArray("WM_SHOW_MAIN");
    QTest::newRow("request with a tail") << QByteArray("WM_SHOW_MAIN please\n");
    QTest::newRow("long blob") << QByteArray(64 * 1024, 'x');
    QTest::newRow("binary") << QByteArray("\0\xff\n", 3);
}

void TestSingleInstance::strangeRequestsAreIgnored() {
    QFETCH(QByteArray, request);
    QTemporaryDir dir;
    CSingleInstance first(dir.path() + "/Pylarix-0");
    QVERIFY(first.Claim());
    QSignalSpy shows(&first, &CSingleInstance::ShowMainRequested);

    QLocalSocket client;
    client.connectToServer(first.SocketPath());
    QVERIFY(client.waitForConnected(2000));
    client.write(request);
    client.flush();
    // Give the first instance time to read and judge the request.
    QTest::qWait(300);
    client.abort();
    QTest::qWait(50);
    QCOMPARE(shows.size(), 0);

    // The instance keeps serving real requests.
    QElapsedTimer clock;
    clock.start();
    SecondStart second;
    second.Run(first.SocketPath(), clock);
    QTRY_VERIFY_WITH_TIMEOUT(second.Done, 10000);
    second.Thread.join();
    QCOMPARE(shows.size(), 1);
}

void TestSingleInstance::simultaneousStartsLeaveOneInstance() {
    // The window between "nobody answers" and "listening" is short; many rounds of many starts
    // make a missing guard show.
    constexpr int Starts = 8;
    constexpr int Rounds = 15;
    for (int round = 0; round < Rounds; ++round) {
        QTemporaryDir dir;
        const QString path = dir.path() + "/Pylarix-0";
        QVERIFY(LeaveStaleSocket(path));
        std::barrier together(Starts);
        std::barrier finished(Starts);
        std::atomic<int> running{0};
        std::atomic<int> serving{0};
        std::vector<std::thread> starts;
        for (int i = 0; i < Starts; ++i) {
            starts.emplace_back([&] {
                CSingleInstance start(path);
                together.arrive_and_wait();
                // Nobody answers on these threads, so the losers give up after the short wait.
                if (start.Claim(200))
                    ++running;
                if (start.IsServing())
                    ++serving;
                finished.arrive_and_wait();
            });
        }
        for (std::thread& t : starts)
            t.join();
        QCOMPARE(running.load(), 1);
        QCOMPARE(serving.load(), 1);
    }
}

void TestSingleInstance::socketGoesWithTheInstance() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Pylarix-0";
    {
        CSingleInstance first(path);
        QVERIFY(first.Claim());
    }
    CSingleInstance next(path);
    QVERIFY(next.Claim());
    QVERIFY(next.IsServing());
}

void TestSingleInstance::fallbackFolderIsPrivate() {
    QTemporaryDir dir;
    const QString path = SingleInstanceSocketPath(::getuid(), QString(), dir.path() + "/cache");
    const QString folder = QFileInfo(path).path();
    QVERIFY(!QFileInfo::exists(folder));
    CSingleInstance first(path);
    QVERIFY(first.Claim());
    QVERIFY(first.IsServing());
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
    QVERIFY(S_ISDIR(st.st_mode));
    QCOMPARE(st.st_uid, ::geteuid());
    QCOMPARE(st.st_mode & 0777, mode_t(0700));
}

void TestSingleInstance::foreignOwnedSocketPath_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("file") << "file";
    QTest::newRow("stale socket") << "stale";
    QTest::newRow("socket that answers") << "answering";
    QTest::newRow("folder") << "folder";
}

void TestSingleInstance::foreignOwnedSocketPath() {
    QFETCH(QString, what);
    QVERIFY2(::geteuid() == 0, "handing a file to another user needs root");
    const passwd* nobody = ::getpwnam("nobody");
    QVERIFY(nobody != nullptr && nobody->pw_uid != 0);
    QTemporaryDir dir;
    const QString path = SingleInstanceSocketPath(::getuid(), QString(), dir.path() + "/cache");
    const QString folder = QFileInfo(path).path();
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // Another user got there first, the way a shared temporary folder allows.
    std::unique_ptr<CSingleInstance> squatter;
    QString owned = path;
    if (what == "file") {
        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a socket");
    } else if (what == "stale") {
        QVERIFY(LeaveStaleSocket(path));
    } else if (what == "answering") {
        squatter = std::make_unique<CSingleInstance>(path);
        QVERIFY(squatter->Claim());
        QVERIFY(squatter->IsServing());
    } else {
        owned = folder;
    }
    QCOMPARE(::chown(QFile::encodeName(owned).constData(), nobody->pw_uid, nobody->pw_gid), 0);

    CSingleInstance next(path);
    QVERIFY2(next.Claim(500), "the start ended because of a path another user owns");
    // Left as it was: neither taken over nor removed.
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(owned).constData(), &st), 0);
    QCOMPARE(st.st_uid, nobody->pw_uid);
    QVERIFY(!next.IsServing());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_SingleInstance.moc"
