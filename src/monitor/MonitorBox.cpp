#include "monitor/MonitorBox.h"

#include "monitor/MonitorKeys.h"
#include "monitor/NetThread.h"
#include "monitor/SharedTiming.h"
#include "platform/NetProbes.h"

std::atomic<std::uint32_t> VerifyTime{3};
std::atomic<std::uint32_t> TimeOut{3000};

CMonitorBox::CMonitorBox(IReportSink* mainWindow, std::int32_t index)
    : BoxIndex(index), MainWindow(mainWindow) {}

CMonitorBox::~CMonitorBox() {
    if (Worker) {
        // Box first, so a worker that sees the stop flag never needs this record.
        Worker->Box.store(nullptr);
        BoxIndex = DestroyedBoxIndex;
        Worker->RequestStop();
    }
}

void CMonitorBox::StartWorker(std::shared_ptr<INetProbes> probes) {
    // A worker still bound to this record would go on reporting with nobody left to stop it.
    if (Worker && Worker->Box.load() == this)
        DetachWorker();
    auto worker = std::make_shared<CNetThread>(std::move(probes));
    worker->TakeTarget(*this);
    worker->Box.store(this);
    Worker = worker;
    CNetThread::Start(worker);
}

void CMonitorBox::DetachWorker() {
    if (!Worker)
        return;
    Worker->Box.store(nullptr);
    Worker->RequestStop();
}

void CMonitorBox::KillWorker() {
    if (!Worker)
        return;
    Worker->Box.store(nullptr);
    Worker->RequestStop();
    Worker.reset();
}

bool CMonitorBox::UpdateStatusText() {
    const char* text = ErrorStatusText(Status);
    if (!text)
        return false;
    StatusText = QString::fromLatin1(text);
    return true;
}

void CMonitorBox::SetPictures(CBoxPictures pictures) {
    PicTypeOnLine = pictures.OnLine.Type;
    OnLineIcon = std::move(pictures.OnLine.Icon);
    OnLineBitmap = std::move(pictures.OnLine.Bitmap);
    PicTypeOffLine = pictures.OffLine.Type;
    OffLineIcon = std::move(pictures.OffLine.Icon);
    OffLineBitmap = std::move(pictures.OffLine.Bitmap);
}

void CMonitorBox::CopySettingsFrom(const CMonitorBox& o) {
    for (const CMonitorKey& key : MonitorKeys())
        std::visit([&](auto field) { this->*field = o.*field; }, key.Field);
    OnLinePicPath = o.OnLinePicPath;
    OffLinePicPath = o.OffLinePicPath;
}
