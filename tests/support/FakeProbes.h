#pragma once

#include "monitor/MonitorBox.h"
#include "monitor/NetThread.h"
#include "monitor/ReportSink.h"
#include "platform/NetProbes.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Probes that answer at once with a fixed result, or hold each probe until released.
class CFakeProbes : public INetProbes {
public:
    struct Call {
        std::string Op;
        std::string Host;
        std::int32_t Port = 0;
    };

    CFakeProbes(MonitorStatus result, std::int32_t reply) : Result(result), Reply(reply) {}

    MonitorStatus PingV4(const std::string& host, ProbeState& p) override { return Do("PingV4", host, 0, p); }
    MonitorStatus PingV6(const std::string& host, ProbeState& p) override { return Do("PingV6", host, 0, p); }
    MonitorStatus ConnectV4(const std::string& host, std::int32_t port, ProbeState& p) override {
        return Do("ConnectV4", host, port, p);
    }
    MonitorStatus ConnectV6(const std::string& host, std::int32_t port, ProbeState& p) override {
        return Do("ConnectV6", host, port, p);
    }

    void Hold() {
        std::lock_guard lock(Mutex);
        Held = true;
    }
    void Release() {
        {
            std::lock_guard lock(Mutex);
            Held = false;
        }
        Changed.notify_all();
    }
    bool WaitForCalls(std::size_t n, int ms) {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return Log.size() >= n; });
    }
    std::vector<Call> Calls() {
        std::lock_guard lock(Mutex);
        return Log;
    }
    std::size_t CallCount() {
        std::lock_guard lock(Mutex);
        return Log.size();
    }

private:
    MonitorStatus Do(const char* op, const std::string& host, std::int32_t port, ProbeState& probe) {
        std::unique_lock lock(Mutex);
        Log.push_back({op, host, port});
        Changed.notify_all();
        Changed.wait(lock, [&] { return !Held; });
        probe.ReplyTime = Reply;
        return Result;
    }

    const MonitorStatus Result;
    const std::int32_t Reply;
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Held = false;
    std::vector<Call> Log;
};

// Collects reports on the worker's thread without touching the record.
class CFakeSink : public IReportSink {
public:
    struct Report {
        CNetThread* Worker = nullptr;
        CMonitorBox* Box = nullptr;
        MonitorStatus Status = MonitorStatus::NoStatus;
        std::int32_t Reply = 0;
        std::chrono::steady_clock::time_point At;
    };

    // Runs on the worker's thread inside the report; set it before any worker starts.
    std::function<void(std::size_t number, const Report&)> OnReport;

    void SendBoxStatus(CNetThread& worker, MonitorStatus status, std::int32_t replyTime) override {
        Report r{&worker, worker.Box.load(), status, replyTime, std::chrono::steady_clock::now()};
        std::size_t number;
        {
            std::lock_guard lock(Mutex);
            Log.push_back(r);
            number = Log.size();
        }
        Changed.notify_all();
        if (OnReport)
            OnReport(number, r);
    }
    bool WaitForReports(std::size_t n, int ms) {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return Log.size() >= n; });
    }
    std::vector<Report> Reports() {
        std::lock_guard lock(Mutex);
        return Log;
    }
    std::size_t Count() {
        std::lock_guard lock(Mutex);
        return Log.size();
    }

private:
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<Report> Log;
};

inline bool WaitFinished(const std::shared_ptr<CNetThread>& worker, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!worker->Finished()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
