#pragma once

#include "types/MonitorStatus.h"

#include <cstdint>
#include <memory>

class CNetThread;

// The main window's side of WM_BOX_STATUS. A worker calls SendBoxStatus on its own thread; the
// call returns once the main thread has handled the report or dropped it. The main thread
// resolves the report from the worker's own record (its Box and that record's current BoxIndex),
// so a report never lands on a record that moved or replaced it, and a detached worker's report
// is dropped.
class IReportSink {
public:
    virtual ~IReportSink() = default;
    virtual void SendBoxStatus(CNetThread& worker, MonitorStatus status, std::int32_t replyTime) = 0;
    // A sink that can go away while workers still run hands each new worker a shared channel that
    // outlives it and refuses reports once closed. Null: the worker reports to the sink itself.
    virtual std::shared_ptr<IReportSink> WorkerChannel() { return nullptr; }
};
