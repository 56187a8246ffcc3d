#pragma once

#include "types/KBitmap.h"
#include "types/MonitorStatus.h"

#include <QString>
#include <cstdint>
#include <memory>

class CNetThread;
class INetProbes;
class IReportSink;

using COLORREF = std::uint32_t; // 0x00BBGGRR

// One monitor: its settings (named after their configuration keys), its pictures and colours,
// and its run-time state. Lives on the main thread; workers never touch it except through the
// report path (see IReportSink).
class CMonitorBox {
public:
    CMonitorBox(IReportSink* mainWindow, std::int32_t index);
    ~CMonitorBox();
    CMonitorBox(const CMonitorBox&) = delete;
    CMonitorBox& operator=(const CMonitorBox&) = delete;

    std::int32_t BoxIndex = 0;
    IReportSink* MainWindow = nullptr;
    std::shared_ptr<CNetThread> Worker;
    MonitorStatus Status = MonitorStatus::NoStatus;
    QString Text;
    QString StatusText;
    std::int32_t PicTypeOnLine = 0;
    std::int32_t PicTypeOffLine = 0;
    CKBitmap OnLineBitmap;
    CKBitmap OffLineBitmap;
    QString OnLinePicPath;
    QString OffLinePicPath;
    QString OnLinePicFile;
    QString OffLinePicFile;
    CBoxIcon OnLineIcon;
    CBoxIcon OffLineIcon;
    COLORREF OnLineBoxColor = 0;
    COLORREF OffLineBoxColor = 0;
    COLORREF OnLineTextColor = 0;
    COLORREF OffLineTextColor = 0;
    QString IPAdress;
    std::int32_t IPv = 0;
    std::int32_t VerifyMetod = 0;
    std::int32_t Port = 0;
    std::uint8_t Sound = 0;
    std::int32_t Logging = 0;
    std::int32_t MsgBox = 0;
    QString UpPath;
    QString DownPath;
    QString OpenPath;
    QString ClosePath;
    QString TcpDownPath;
    std::int32_t CustomSoundCheck = 0;
    QString UpTextString;
    QString DownTextString;
    QString OpenTextString;
    QString CloseTextString;
    QString TDownTextString;
    std::int32_t SpeechTextCheck = 0;
    std::int32_t ReplyTime = -1;
    QString ExecFilePath;
    QString ExecFileParam;
    std::int32_t ExecFileStatusCheck = 0;
    std::int32_t ExecFileCheck = 0;

    // Starts a new worker with the given probes for this record's current target (the worker
    // copies the target here).
    void StartWorker(std::shared_ptr<INetProbes> probes);
    // Cuts the current worker loose: it ends at its next stop check and never reports again.
    void DetachWorker();
    // Program exit: the worker is stopped for good without waiting on it.
    void KillWorker();

    // In an error state (IPERROR, NETERROR, CHECKING) StatusText becomes that state's text;
    // otherwise it keeps the last one. True in an error state.
    bool UpdateStatusText();

    // Takes loaded pictures with their kinds in place of the ones held.
    void SetPictures(CBoxPictures pictures);

    // Copies every persisted setting (all keyed fields, picture kinds and names included) and the
    // two full picture paths; run-time state and pictures are left alone.
    void CopySettingsFrom(const CMonitorBox& other);
};
