#include "support/FakeProbes.h"

#include "monitor/MonitorTable.h"
#include "monitor/QtReportSink.h"
#include "monitor/SharedTiming.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

using namespace std::chrono_literals;

namespace {

enum class StopWay { StopFlag, Detach, Destroy, Kill };

// Stops the record's worker the way the main window would and returns it for watching.
std::shared_ptr<CNetThread> StopWorker(std::unique_ptr<CMonitorBox>& box, StopWay way) {
    std::shared_ptr<CNetThread> worker = box->Worker;
    switch (way) {
    case StopWay::StopFlag:
        worker->RequestStop();
        break;
    case StopWay::Detach:
        box->DetachWorker();
        break;
    case StopWay::Destroy:
        box.reset();
        break;
    case StopWay::Kill:
        box->KillWorker();
        break;
    }
    return worker;
}

std::unique_ptr<CMonitorBox> PingBox(IReportSink* sink, int index, const QString& host = "10.0.0.1") {
    auto box = std::make_unique<CMonitorBox>(sink, index);
    box->IPAdress = host;
    box->VerifyMetod = MethodPing;
    box->IPv = IPv4;
    return box;
}

// A Ping worker that has made its first check; after the pause its report waits on a main
// thread that handles no events.
bool StartWaitingWorker(IReportSink* sink, std::shared_ptr<CFakeProbes>& probes,
                        std::unique_ptr<CMonitorBox>& box) {
    probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 1);
    box = PingBox(sink, 0);
    box->StartWorker(probes);
    if (!probes->WaitForCalls(1, 5000))
        return false;
    std::this_thread::sleep_for(300ms);
    return true;
}

void SpinEventsFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

Q_DECLARE_METATYPE(StopWay)

class TestNetThread : public QObject {
    Q_OBJECT
private slots:
    void init() { VerifyTime.store(30); }
    void cleanupTestCase() { VerifyTime.store(3); }

    void firstCheckRunsAtOnce();
    void stopDuringProbeSendsNothing_data();
    void stopDuringProbeSendsNothing();
    void stopDuringSleepSendsNothing_data();
    void stopDuringSleepSendsNothing();
    void newVerifyTimeAppliesFromNextSleep();
    void retargetedRecordGetsOnlyTheNewWorker();
    void startingAgainCutsTheOldWorkerLoose();
    void probeSelection_data();
    void probeSelection();
    void longHostTextIsCopiedWhole();
    void recordWithoutMainWindowNeverReports();

    void removingMiddleOfThreeMovesThirdToSlot1();
    void reportWaitsForMainThread();
    void reportInFlightWhenDetachedIsDropped();
    void closedSinkReleasesWorkersAndDropsReports();
    void destroyedSinkReleasesWaitingWorker();
};

void TestNetThread::firstCheckRunsAtOnce() {
    CFakeSink sink;
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 12);
    auto box = PingBox(&sink, 3);
    box->StartWorker(probes);
    // The interval is 30 s: a report within 5 s can only be the check made at start.
    QVERIFY(sink.WaitForReports(1, 5000));
    const auto r = sink.Reports().front();
    QCOMPARE(r.Status, MonitorStatus::Up);
    QCOMPARE(r.Reply, 12);
    QCOMPARE(r.Box, box.get());
    QCOMPARE(r.Worker, box->Worker.get());
    QCOMPARE(probes->Calls().front().Host, std::string("10.0.0.1"));
    auto worker = StopWorker(box, StopWay::Detach);
    QVERIFY(WaitFinished(worker, 5000));
    QCOMPARE(sink.Count(), std::size_t(1));
}

void TestNetThread::stopDuringProbeSendsNothing_data() {
    QTest::addColumn<StopWay>("way");
    QTest::newRow("stop flag, record kept") << StopWay::StopFlag;
    QTest::newRow("detached") << StopWay::Detach;
    QTest::newRow("record destroyed") << StopWay::Destroy;
    QTest::newRow("killed at exit") << StopWay::Kill;
}

void TestNetThread::stopDuringProbeSendsNothing() {
    QFETCH(StopWay, way);
    CFakeSink sink;
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Down, -1);
    probes->Hold();
    auto box = PingBox(&sink, 0);
    box->StartWorker(probes);
    QVERIFY(probes->WaitForCalls(1, 5000));
    auto worker = StopWorker(box, way);
    probes->Release();
    QVERIFY(WaitFinished(worker, 5000));
    QCOMPARE(sink.Count(), std::size_t(0));
    QCOMPARE(probes->CallCount(), std::size_t(1));
    QCOMPARE(worker->Box.load(), way == StopWay::StopFlag ? box.get() : nullptr);
}

void TestNetThread::stopDuringSleepSendsNothing_data() {
    stopDuringProbeSendsNothing_data();
}

void TestNetThread::stopDuringSleepSendsNothing() {
    QFETCH(StopWay, way);
    CFakeSink sink;
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 1);
    auto box = PingBox(&sink, 0);
    box->StartWorker(probes);
    QVERIFY(sink.WaitForReports(1, 5000));
    std::this_thread::sleep_for(100ms); // now inside the 30 s sleep
    auto worker = StopWorker(box, way);
    // The stop wakes the sleep: the worker ends long before the 30 s are up.
    QVERIFY(WaitFinished(worker, 5000));
    QCOMPARE(sink.Count(), std::size_t(1));
    QCOMPARE(probes->CallCount(), std::size_t(1));
}

void TestNetThread::newVerifyTimeAppliesFromNextSleep() {
    CFakeSink sink;
    // Changed while a report is handled, as the global properties would be, so the sleep that
    // follows is the next one.
    sink.OnReport = [](std::size_t number, const CFakeSink::Report&) {
        if (number == 1)
            VerifyTime.store(1);
        if (number == 2)
            VerifyTime.store(30);
    };
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 1);
    auto box = PingBox(&sink, 0);
    box->StartWorker(probes);
    const CNetThread* first = box->Worker.get();
    QVERIFY(sink.WaitForReports(2, 6000));
    const auto reports = sink.Reports();
    const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(reports[1].At - reports[0].At);
    QVERIFY2(gap >= 900ms, qPrintable(QString("second check after %1 ms").arg(gap.count())));
    QCOMPARE(reports[1].Worker, first);
    // Back at 30 s: no third check soon.
    std::this_thread::sleep_for(2500ms);
    QCOMPARE(sink.Count(), std::size_t(2));
    auto worker = StopWorker(box, StopWay::Detach);
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::retargetedRecordGetsOnlyTheNewWorker() {
    VerifyTime.store(1);
    CFakeSink sink;
    auto oldProbes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 5);
    auto newProbes = std::make_shared<CFakeProbes>(MonitorStatus::Close, 7);
    auto box = PingBox(&sink, 0, "old.example");
    box->StartWorker(oldProbes);
    QVERIFY(sink.WaitForReports(1, 5000));
    std::shared_ptr<CNetThread> oldWorker = box->Worker;

    // The main window's re-target: new settings, old worker cut loose, new worker started.
    box->IPAdress = "new.example";
    box->VerifyMetod = MethodTcp;
    box->Port = 8080;
    box->DetachWorker();
    box->StartWorker(newProbes);
    QVERIFY(box->Worker != oldWorker);
    QVERIFY(WaitFinished(oldWorker, 5000));
    QVERIFY(sink.WaitForReports(3, 5000));

    const std::size_t oldReports = oldProbes->CallCount();
    for (const auto& r : sink.Reports()) {
        if (r.Worker == oldWorker.get())
            QCOMPARE(r.Status, MonitorStatus::Up);
        else
            QCOMPARE(r.Status, MonitorStatus::Close);
    }
    std::size_t fromOld = 0;
    for (const auto& r : sink.Reports())
        fromOld += r.Worker == oldWorker.get() ? 1 : 0;
    QCOMPARE(fromOld, std::size_t(1));
    QCOMPARE(oldReports, std::size_t(1));
    QCOMPARE(newProbes->Calls().front().Op, std::string("ConnectV4"));
    QCOMPARE(newProbes->Calls().front().Host, std::string("new.example"));
    QCOMPARE(newProbes->Calls().front().Port, 8080);
    QCOMPARE(oldWorker->Box.load(), nullptr);

    auto worker = StopWorker(box, StopWay::Destroy);
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::startingAgainCutsTheOldWorkerLoose() {
    CFakeSink sink;
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 1);
    auto box = PingBox(&sink, 0);
    box->StartWorker(probes);
    QVERIFY(sink.WaitForReports(1, 5000));
    std::shared_ptr<CNetThread> first = box->Worker;
    box->StartWorker(probes);
    QVERIFY(box->Worker != first);
    QCOMPARE(first->Box.load(), nullptr);
    QVERIFY(WaitFinished(first, 5000));
    auto worker = StopWorker(box, StopWay::Destroy);
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::probeSelection_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("ipv");
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("reply");

    QTest::newRow("ping v4") << 1 << 0 << "PingV4" << 2 << 9;
    QTest::newRow("ping v6") << 1 << 1 << "PingV6" << 2 << 9;
    QTest::newRow("tcp v4") << 2 << 0 << "ConnectV4" << 2 << 9;
    QTest::newRow("tcp v6") << 2 << 1 << "ConnectV6" << 2 << 9;
    QTest::newRow("method 0") << 0 << 0 << "" << 4 << -1;
    QTest::newRow("method 3") << 3 << 0 << "" << 4 << -1;
    QTest::newRow("method 3 v6") << 3 << 1 << "" << 4 << -1;
    QTest::newRow("ping ipv 2") << 1 << 2 << "" << 4 << -1;
    QTest::newRow("tcp ipv 2") << 2 << 2 << "" << 4 << -1;
    QTest::newRow("tcp ipv -1") << 2 << -1 << "" << 4 << -1;
}

void TestNetThread::probeSelection() {
    QFETCH(int, method);
    QFETCH(int, ipv);
    QFETCH(QString, op);
    QFETCH(int, status);
    QFETCH(int, reply);
    VerifyTime.store(0);
    CFakeSink sink;
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 9);
    auto box = PingBox(&sink, 4, "host.example");
    box->VerifyMetod = method;
    box->IPv = ipv;
    box->Port = 443;
    box->StartWorker(probes);
    QVERIFY(sink.WaitForReports(3, 5000));
    auto worker = StopWorker(box, StopWay::Detach);
    QVERIFY(WaitFinished(worker, 5000));
    for (const auto& r : sink.Reports()) {
        QCOMPARE(static_cast<int>(r.Status), status);
        QCOMPARE(r.Reply, reply);
    }
    const auto calls = probes->Calls();
    if (op.isEmpty()) {
        QCOMPARE(calls.size(), std::size_t(0));
        return;
    }
    QVERIFY(calls.size() >= 3);
    for (const auto& c : calls) {
        QCOMPARE(QString::fromStdString(c.Op), op);
        QCOMPARE(c.Host, std::string("host.example"));
        QCOMPARE(c.Port, op.startsWith("Connect") ? 443 : 0);
    }
}

void TestNetThread::longHostTextIsCopiedWhole() {
    CFakeSink sink;
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::IPERROR, -1);
    const QString host = QString("h\u00fc").repeated(3000) + ".example";
    auto box = PingBox(&sink, 0, host);
    box->StartWorker(probes);
    QVERIFY(sink.WaitForReports(1, 5000));
    auto worker = StopWorker(box, StopWay::Kill);
    QVERIFY(WaitFinished(worker, 5000));
    QCOMPARE(probes->Calls().front().Host, host.toLocal8Bit().toStdString());
    QCOMPARE(sink.Reports().front().Status, MonitorStatus::IPERROR);
}

void TestNetThread::recordWithoutMainWindowNeverReports() {
    VerifyTime.store(0);
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 1);
    auto box = PingBox(nullptr, 0);
    box->StartWorker(probes);
    QVERIFY(probes->WaitForCalls(3, 5000));
    auto worker = StopWorker(box, StopWay::Destroy);
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::removingMiddleOfThreeMovesThirdToSlot1() {
    VerifyTime.store(1);
    CMonitorTable table;
    struct Applied {
        int Index;
        MonitorStatus Status;
        std::int32_t Reply;
    };
    std::vector<Applied> applied;
    int outOfRange = 0;
    // What the main window's handler does with a report: find the slot by the index it carries.
    CQtReportSink sink([&](std::uint32_t wParam, std::int32_t lParam) {
        const int index = BoxIndexOf(wParam);
        CMonitorBox* box = table.At(index);
        if (box == nullptr) {
            ++outOfRange;
            return;
        }
        box->Status = BoxStatusOf(wParam);
        box->ReplyTime = lParam;
        applied.push_back({index, BoxStatusOf(wParam), lParam});
    });
    const MonitorStatus results[3] = {MonitorStatus::Up, MonitorStatus::Down, MonitorStatus::Close};
    for (int i = 0; i < 3; ++i) {
        table.Slots[i] = PingBox(&sink, i, QString("10.0.0.%1").arg(i + 1));
        table.Slots[i]->Status = MonitorStatus::CHECKING;
    }
    table.NumBox = 3;
    for (int i = 0; i < 3; ++i)
        table.Slots[i]->StartWorker(std::make_shared<CFakeProbes>(results[i], 10 * (i + 1)));
    QTRY_VERIFY_WITH_TIMEOUT(table.Slots[0]->Status == MonitorStatus::Up &&
                                 table.Slots[1]->Status == MonitorStatus::Down &&
                                 table.Slots[2]->Status == MonitorStatus::Close,
                             5000);

    // Remove the middle record: destroy it, shift the third down, no worker is paused.
    std::shared_ptr<CNetThread> middleWorker = table.Slots[1]->Worker;
    table.Slots[1] = std::move(table.Slots[2]);
    table.Slots[1]->BoxIndex = 1;
    table.NumBox = 2;
    table.Slots[1]->Status = MonitorStatus::CHECKING;
    table.Slots[1]->ReplyTime = -1;
    applied.clear();

    QTRY_VERIFY_WITH_TIMEOUT(table.Slots[1]->Status == MonitorStatus::Close, 5000);
    QCOMPARE(table.Slots[1]->ReplyTime, 30);
    SpinEventsFor(2200);
    QCOMPARE(outOfRange, 0);
    QVERIFY(!applied.empty());
    for (const auto& a : applied) {
        QVERIFY2(a.Index == 0 || a.Index == 1, qPrintable(QString("report into slot %1").arg(a.Index)));
        QCOMPARE(a.Status, a.Index == 0 ? MonitorStatus::Up : MonitorStatus::Close);
        QCOMPARE(a.Reply, a.Index == 0 ? 10 : 30);
    }
    QVERIFY(middleWorker->Finished());

    std::vector<std::shared_ptr<CNetThread>> workers{table.Slots[0]->Worker, table.Slots[1]->Worker};
    sink.Close();
    for (int i = 0; i < table.NumBox; ++i) {
        table.Slots[i]->KillWorker();
        table.Slots[i].reset();
    }
    for (const auto& w : workers)
        QVERIFY(WaitFinished(w, 5000));
}

void TestNetThread::reportWaitsForMainThread() {
    VerifyTime.store(0);
    int handled = 0;
    CQtReportSink sink([&](std::uint32_t, std::int32_t) { ++handled; });
    std::shared_ptr<CFakeProbes> probes;
    std::unique_ptr<CMonitorBox> box;
    QVERIFY(StartWaitingWorker(&sink, probes, box));
    // No interval and an idle main thread: the worker is stuck in its first report.
    QCOMPARE(probes->CallCount(), std::size_t(1));
    QCOMPARE(handled, 0);
    QTRY_VERIFY_WITH_TIMEOUT(handled >= 3, 5000);
    // Each check follows the handling of the previous report.
    QVERIFY(probes->CallCount() <= static_cast<std::size_t>(handled) + 1);
    auto worker = box->Worker;
    sink.Close();
    box->KillWorker();
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::reportInFlightWhenDetachedIsDropped() {
    int handled = 0;
    CQtReportSink sink([&](std::uint32_t, std::int32_t) { ++handled; });
    std::shared_ptr<CFakeProbes> probes;
    std::unique_ptr<CMonitorBox> box;
    QVERIFY(StartWaitingWorker(&sink, probes, box));
    // The report is queued, the worker waits.
    auto worker = box->Worker;
    box->DetachWorker();
    SpinEventsFor(300);
    QCOMPARE(handled, 0);
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::closedSinkReleasesWorkersAndDropsReports() {
    VerifyTime.store(0);
    int handled = 0;
    auto sink = std::make_unique<CQtReportSink>([&](std::uint32_t, std::int32_t) { ++handled; });
    std::shared_ptr<CFakeProbes> probes;
    std::unique_ptr<CMonitorBox> box;
    QVERIFY(StartWaitingWorker(sink.get(), probes, box));
    QCOMPARE(probes->CallCount(), std::size_t(1));
    sink->Close();
    QVERIFY(sink->IsClosed());
    // Released without the main thread's help, and not blocked by later reports either.
    QVERIFY(probes->WaitForCalls(5, 5000));
    SpinEventsFor(200);
    QCOMPARE(handled, 0);
    auto worker = box->Worker;
    box->KillWorker();
    QVERIFY(WaitFinished(worker, 5000));
}

void TestNetThread::destroyedSinkReleasesWaitingWorker() {
    VerifyTime.store(0);
    int handled = 0;
    auto sink = std::make_unique<CQtReportSink>([&](std::uint32_t, std::int32_t) { ++handled; });
    std::shared_ptr<CFakeProbes> probes;
    std::unique_ptr<CMonitorBox> box;
    QVERIFY(StartWaitingWorker(sink.get(), probes, box));
    sink.reset();
    // The worker keeps cycling on the channel it holds; the sink is gone.
    QVERIFY(probes->WaitForCalls(5, 5000));
    SpinEventsFor(200);
    QCOMPARE(handled, 0);
    auto worker = box->Worker;
    box.reset();
    QVERIFY(WaitFinished(worker, 5000));
}

QTEST_GUILESS_MAIN(TestNetThread)
#include "tst_NetThread.moc"
