#include "monitor/MonitorBox.h"

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

void CMonitorBox::StartWorker() {
    StartWorker(SystemNetProbes());
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

void CMonitorBox::CopySettingsFrom(const CMonitorBox& o) {
    Text = o.Text;
    PicTypeOnLine = o.PicTypeOnLine;
    PicTypeOffLine = o.PicTypeOffLine;
    OnLinePicPath = o.OnLinePicPath;
    OffLinePicPath = o.OffLinePicPath;
    OnLinePicFile = o.OnLinePicFile;
    OffLinePicFile = o.OffLinePicFile;
    OnLineBoxColor = o.OnLineBoxColor;
    OffLineBoxColor = o.OffLineBoxColor;
    OnLineTextColor = o.OnLineTextColor;
    OffLineTextColor = o.OffLineTextColor;
    IPAdress = o.IPAdress;
    IPv = o.IPv;
    VerifyMetod = o.VerifyMetod;
    Port = o.Port;
    Sound = o.Sound;
    Logging = o.Logging;
    MsgBox = o.MsgBox;
    UpPath = o.UpPath;
    DownPath = o.DownPath;
    OpenPath = o.OpenPath;
    ClosePath = o.ClosePath;
    TcpDownPath = o.TcpDownPath;
    CustomSoundCheck = o.CustomSoundCheck;
    UpTextString = o.UpTextString;
    DownTextString = o.DownTextString;
    OpenTextString = o.OpenTextString;
    CloseTextString = o.CloseTextString;
    TDownTextString = o.TDownTextString;
    SpeechTextCheck = o.SpeechTextCheck;
    ExecFilePath = o.ExecFilePath;
    ExecFileParam = o.ExecFileParam;
    ExecFileStatusCheck = o.ExecFileStatusCheck;
    ExecFileCheck = o.ExecFileCheck;
}
