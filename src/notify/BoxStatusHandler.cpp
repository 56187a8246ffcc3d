#include "notify/BoxStatusHandler.h"

#include "notify/MonitorLog.h"

bool EntersStatus(MonitorStatus oldStatus, MonitorStatus newStatus, MonitorStatus status) {
    return newStatus == status && oldStatus != status;
}

bool SoundWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::uint8_t sound,
                 std::int32_t errorSound) {
    return (EntersStatus(oldStatus, newStatus, MonitorStatus::Close) && (sound & 4)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::Down) && (sound & 2)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::Up) && (sound & 1)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::IPERROR) && errorSound != 0) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::NETERROR) && errorSound != 0);
}

bool MessageBoxWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::int32_t msgBox,
                      std::int32_t errorMsgBox) {
    return (EntersStatus(oldStatus, newStatus, MonitorStatus::Up) && (msgBox & 1)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::Down) && (msgBox & 2)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::Close) && (msgBox & 4)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::NETERROR) && errorMsgBox != 0) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::IPERROR) && errorMsgBox != 0);
}

bool StatusFileWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::int32_t execFileStatusCheck) {
    return (EntersStatus(oldStatus, newStatus, MonitorStatus::Close) && (execFileStatusCheck & 4)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::Down) && (execFileStatusCheck & 2)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::Up) && (execFileStatusCheck & 1)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::IPERROR) && (execFileStatusCheck & 8)) ||
           (EntersStatus(oldStatus, newStatus, MonitorStatus::NETERROR) && (execFileStatusCheck & 16));
}

bool RepaintWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::int32_t oldReplyTime,
                   std::int32_t newReplyTime, bool showReplyTime) {
    if (oldStatus != newStatus)
        return true;
    return newReplyTime != oldReplyTime && showReplyTime &&
           (newStatus == MonitorStatus::Up || newStatus == MonitorStatus::Close);
}

CSoundThread FillSoundThread(const CMonitorBox& box, const CGlobalSettings& settings, MonitorStatus newStatus,
                             const QString& programFolder) {
    CSoundThread sound;
    sound.Status = static_cast<std::int32_t>(newStatus);
    sound.ProgramFolder = programFolder;

    if (newStatus == MonitorStatus::IPERROR || newStatus == MonitorStatus::NETERROR) {
        sound.SoundPath = settings.PlayErrorDefSoundPath;
        sound.UseSoundPath = settings.ErrorDefaultSound != 0 ? 1 : 0;
        sound.Speak = settings.ErrorTextSpeechSound;
        sound.SpeechText = settings.ErrorTextSpeechText;
        sound.BoxText = box.Text;
        return sound;
    }

    int bit = 0;
    const QString* path = nullptr;
    const QString* speech = nullptr;
    if (newStatus == MonitorStatus::Up && box.VerifyMetod == MethodPing) {
        bit = 1;
        path = &box.UpPath;
        speech = &box.UpTextString;
    } else if (newStatus == MonitorStatus::Down && box.VerifyMetod == MethodPing) {
        bit = 2;
        path = &box.DownPath;
        speech = &box.DownTextString;
    } else if (newStatus == MonitorStatus::Open && box.VerifyMetod == MethodTcp) {
        bit = 4;
        path = &box.OpenPath;
        speech = &box.OpenTextString;
    } else if (newStatus == MonitorStatus::Down && box.VerifyMetod == MethodTcp) {
        bit = 16;
        path = &box.TcpDownPath;
        speech = &box.TDownTextString;
    } else if (newStatus == MonitorStatus::Close) {
        bit = 8;
        path = &box.ClosePath;
        speech = &box.CloseTextString;
    }
    if (bit == 0)
        return sound;
    if (box.CustomSoundCheck & bit) {
        sound.SoundPath = *path;
        sound.UseSoundPath = 1;
    } else if (box.SpeechTextCheck & bit) {
        sound.Speak = 1;
        sound.SpeechText = *speech;
        sound.BoxText = box.Text;
    } else {
        sound.UseSoundPath = 0;
    }
    return sound;
}

CBoxStatusHandler::CBoxStatusHandler(CMonitorTable& table, const CGlobalSettings& settings,
                                     const CDataPaths& paths, INotificationStarter& starter)
    : Table(table), Settings(settings), Paths(paths), Starter(starter) {}

std::int32_t CBoxStatusHandler::OnBoxStatus(std::uint32_t wParam, std::int32_t lParam) {
    const std::int32_t index = BoxIndexOf(wParam);
    if (index == DestroyedBoxIndex)
        return 0;
    CMonitorBox* box = Table.At(index);
    if (!box)
        return 0;

    const MonitorStatus newStatus = BoxStatusOf(wParam);
    const MonitorStatus oldStatus = box->Status;
    const std::int32_t oldReplyTime = box->ReplyTime;
    box->Status = newStatus;
    box->ReplyTime = lParam;

    if (!RepaintWanted(oldStatus, newStatus, oldReplyTime, lParam, Settings.ShowReplyTime))
        return 0;

    box->UpdateStatusText();

    if (Repaint)
        Repaint();

    if (oldStatus == newStatus)
        return 0;

    if (SoundWanted(oldStatus, newStatus, box->Sound, Settings.ErrorSound))
        Starter.StartSound(FillSoundThread(*box, Settings, newStatus, Paths.ProgramFolder));

    if (MessageBoxWanted(oldStatus, newStatus, box->MsgBox, Settings.ErrorMsgBox))
        Starter.StartStatusMessage(StatusRecordOf(*box));

    if (Settings.EnableLog != 0 || box->Logging != 0)
        AppendMonitorLog(Paths.LogsFolder, newStatus, box->VerifyMetod, box->IPAdress, box->Port, Now());

    if (box->ExecFileCheck != 0 && StatusFileWanted(oldStatus, newStatus, box->ExecFileStatusCheck))
        Starter.StartStatusFile(
            StatusFileCommand(box->ExecFilePath, box->ExecFileParam, StatusRecordOf(*box)));

    return 0;
}
