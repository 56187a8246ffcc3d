#pragma once

#include "platform/NetProbes.h"
#include "types/MonitorStatus.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class CMonitorBox;
class IReportSink;

// The worker of one monitor: probe, report, sleep VerifyTime seconds, again, until stopped.
// Its target is copied on the main thread before the thread starts; afterwards the thread reads
// only Box (to know whether to report at all), StopRequested, VerifyTime and TimeOut. The thread
// keeps the object alive itself and ends on its own; nothing ever joins or waits on it.
class CNetThread {
public:
    explicit CNetThread(std::shared_ptr<INetProbes> probes);
    CNetThread(const CNetThread&) = delete;
    CNetThread& operator=(const CNetThread&) = delete;

    std::atomic<CMonitorBox*> Box{nullptr};
    std::int32_t Port = 0;
    ProbeState Probe;
    std::atomic<std::int32_t> StopRequested{0};
    std::string Host;
    std::int32_t IPv = 0;
    std::int32_t VerifyMetod = 0;

    // Main thread, before Start: copies the record's target and report path.
    void TakeTarget(const CMonitorBox& box);
    // Sets StopRequested and wakes a sleeping cycle. Any thread.
    void RequestStop();
    // Starts the detached thread, which holds self until it ends. False when no thread could be
    // made (the worker then never runs).
    static bool Start(const std::shared_ptr<CNetThread>& self);

    // One probe as VerifyMetod and IPv select it; NETERROR when they select none.
    MonitorStatus RunProbe();
    // The whole cycle; returns when a stop check sees StopRequested.
    void Run();

    // True once the cycle has ended (for tests and diagnostics only).
    bool Finished() const { return Ended.load(); }

private:
    void SleepSeconds(std::uint32_t seconds);

    std::shared_ptr<INetProbes> Probes;
    IReportSink* Sink = nullptr;
    std::shared_ptr<IReportSink> SinkHold;
    std::mutex SleepMutex;
    std::condition_variable SleepWake;
    std::atomic<bool> Ended{false};
};
