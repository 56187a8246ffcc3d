#pragma once

#include "monitor/ReportSink.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

// Delivers worker reports to the main thread, one at a time, while each worker waits. On the main
// thread a report is resolved from the worker's own record: a cleared Box drops it, otherwise the
// record's current BoxIndex goes into the WM_BOX_STATUS payload handed to Handler. After Close()
// (or destruction) no report is handled and every waiting worker is released at once.
class CQtReportSink : public QObject, public IReportSink {
    Q_OBJECT
public:
    using BoxStatusHandler = std::function<void(std::uint32_t wParam, std::int32_t lParam)>;

    // Lives on the thread that creates it, which must run a Qt event loop.
    explicit CQtReportSink(BoxStatusHandler handler = {}, QObject* parent = nullptr);
    ~CQtReportSink() override;

    void SetHandler(BoxStatusHandler handler);
    void SendBoxStatus(CNetThread& worker, MonitorStatus status, std::int32_t replyTime) override;
    std::shared_ptr<IReportSink> WorkerChannel() override;

    // Program exit: from now on reports are dropped and no worker is waited on. Main thread.
    void Close();
    bool IsClosed() const;

    class CChannel;

private slots:
    // One queued call per report; takes the oldest waiting report.
    void DeliverNext();

private:
    std::shared_ptr<CChannel> Channel;
};
