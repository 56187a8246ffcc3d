#include "monitor/MonitorBox.h"

#include "monitor/SharedTiming.h"

std::atomic<std::uint32_t> VerifyTime{3};
std::atomic<std::uint32_t> TimeOut{3000};

CMonitorBox::CMonitorBox(IReportSink* mainWindow, std::int32_t index) : BoxIndex(index), MainWindow(mainWindow) {}

// PLACEHOLDER until the worker lands: the monitor-engine work replaces these four.
CMonitorBox::~CMonitorBox() = default;
void CMonitorBox::StartWorker() {}
void CMonitorBox::DetachWorker() {}
void CMonitorBox::KillWorker() {}

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
