#include "monitor/QtReportSink.h"

#include "monitor/MonitorBox.h"
#include "monitor/NetThread.h"

#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace {
struct CPendingReport {
    CNetThread* Worker = nullptr;
    MonitorStatus Status = MonitorStatus::NoStatus;
    std::int32_t ReplyTime = -1;
    bool Finished = false;
};
} // namespace

// Shared by the sink and every worker started against it, so a worker can still call it after
// the sink is gone; it then refuses the report without blocking. Reports wait in a queue of our
// own and the queued call carries no data, so every hand-over is under our mutex.
class CQtReportSink::CChannel : public IReportSink {
public:
    explicit CChannel(CQtReportSink* receiver) : Receiver(receiver) {}

    void SendBoxStatus(CNetThread& worker, MonitorStatus status, std::int32_t replyTime) override {
        auto pending = std::make_shared<CPendingReport>();
        pending->Worker = &worker;
        pending->Status = status;
        pending->ReplyTime = replyTime;
        std::unique_lock lock(Mutex);
        if (Closed || Receiver == nullptr)
            return;
        if (Receiver->thread() == QThread::currentThread()) {
            lock.unlock();
            Deliver(*pending);
            return;
        }
        Queue.push_back(pending);
        QMetaObject::invokeMethod(Receiver, "DeliverNext", Qt::QueuedConnection);
        Done.wait(lock, [&] { return pending->Finished || Closed; });
    }

    // Main thread. The worker of a queued report waits for it unless the channel closed, so it
    // is alive whenever it is read here.
    void DeliverNext() {
        std::shared_ptr<CPendingReport> pending;
        {
            std::lock_guard lock(Mutex);
            if (Closed || Queue.empty())
                return;
            pending = Queue.front();
            Queue.pop_front();
        }
        Deliver(*pending);
    }

    void Deliver(CPendingReport& pending) {
        CMonitorBox* box = pending.Worker->Box.load();
        if (box != nullptr && Handler)
            Handler(MakeBoxStatusWParam(pending.Status, box->BoxIndex), pending.ReplyTime);
        std::lock_guard lock(Mutex);
        pending.Finished = true;
        Done.notify_all();
    }

    void Close(bool unbind) {
        std::lock_guard lock(Mutex);
        Closed = true;
        Queue.clear();
        if (unbind)
            Receiver = nullptr;
        Done.notify_all();
    }

    bool IsClosed() {
        std::lock_guard lock(Mutex);
        return Closed;
    }

    BoxStatusHandler Handler; // main thread only

private:
    std::mutex Mutex;
    std::condition_variable Done;
    std::deque<std::shared_ptr<CPendingReport>> Queue;
    bool Closed = false;
    CQtReportSink* Receiver;
};

CQtReportSink::CQtReportSink(BoxStatusHandler handler, QObject* parent)
    : QObject(parent), Channel(std::make_shared<CChannel>(this)) {
    Channel->Handler = std::move(handler);
}

CQtReportSink::~CQtReportSink() {
    Channel->Close(true);
}

void CQtReportSink::SetHandler(BoxStatusHandler handler) {
    Channel->Handler = std::move(handler);
}

void CQtReportSink::SendBoxStatus(CNetThread& worker, MonitorStatus status, std::int32_t replyTime) {
    Channel->SendBoxStatus(worker, status, replyTime);
}

std::shared_ptr<IReportSink> CQtReportSink::WorkerChannel() {
    return Channel;
}

void CQtReportSink::Close() {
    Channel->Close(false);
}

bool CQtReportSink::IsClosed() const {
    return Channel->IsClosed();
}

void CQtReportSink::DeliverNext() {
    Channel->DeliverNext();
}
