#include "monitor/NetThread.h"

#include "monitor/MonitorBox.h"
#include "monitor/ReportSink.h"
#include "monitor/SharedTiming.h"

#include <chrono>
#include <system_error>
#include <thread>

CNetThread::CNetThread(std::shared_ptr<INetProbes> probes) : Probes(std::move(probes)) {}

void CNetThread::TakeTarget(const CMonitorBox& box) {
    // 8-bit host text for the resolver: UTF-8 on this system.
    Host = box.IPAdress.toLocal8Bit().toStdString();
    Port = box.Port;
    IPv = box.IPv;
    VerifyMetod = box.VerifyMetod;
    Sink = box.MainWindow;
    SinkHold = Sink != nullptr ? Sink->WorkerChannel() : nullptr;
    if (SinkHold)
        Sink = SinkHold.get();
}

void CNetThread::RequestStop() {
    {
        // Under the sleep mutex so a cycle about to wait cannot miss the wake-up.
        std::lock_guard lock(SleepMutex);
        StopRequested.store(1);
    }
    SleepWake.notify_all();
}

bool CNetThread::Start(const std::shared_ptr<CNetThread>& self) {
    try {
        std::thread([self] { self->Run(); }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

MonitorStatus CNetThread::RunProbe() {
    if (!Probes)
        return MonitorStatus::NETERROR;
    Probe.TimeOut = TimeOut.load();
    if (VerifyMetod == MethodPing) {
        if (IPv == IPv4)
            return Probes->PingV4(Host, Probe);
        if (IPv == IPv6)
            return Probes->PingV6(Host, Probe);
    } else if (VerifyMetod == MethodTcp) {
        if (IPv == IPv4)
            return Probes->ConnectV4(Host, Port, Probe);
        if (IPv == IPv6)
            return Probes->ConnectV6(Host, Port, Probe);
    }
    return MonitorStatus::NETERROR;
}

void CNetThread::SleepSeconds(std::uint32_t seconds) {
    std::unique_lock lock(SleepMutex);
    SleepWake.wait_for(lock, std::chrono::seconds(seconds), [this] { return StopRequested.load() != 0; });
}

void CNetThread::Run() {
    for (;;) {
        const MonitorStatus result = RunProbe();
        if (StopRequested.load())
            break;
        if (Box.load() != nullptr && Sink != nullptr)
            Sink->SendBoxStatus(*this, result, Probe.ReplyTime);
        if (StopRequested.load())
            break;
        SleepSeconds(VerifyTime.load());
        if (StopRequested.load())
            break;
    }
    Probe.Release();
    Ended.store(true);
}
