#pragma once

#include "config/DataPaths.h"
#include "config/GlobalSettings.h"
#include "monitor/MonitorTable.h"
#include "notify/NotificationStarter.h"

#include <QDateTime>
#include <cstdint>
#include <functional>

// "Enter" a status: new is that status and old is not.
bool EntersStatus(MonitorStatus oldStatus, MonitorStatus newStatus, MonitorStatus status);

// The three decision tables. CHECKING never fires any of them.
bool SoundWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::uint8_t sound,
                 std::int32_t errorSound);
bool MessageBoxWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::int32_t msgBox,
                      std::int32_t errorMsgBox);
bool StatusFileWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::int32_t execFileStatusCheck);

// Whether a report repaints the strip: a new status, or a new reply time of an Up or Close
// monitor while the reply line shows.
bool RepaintWanted(MonitorStatus oldStatus, MonitorStatus newStatus, std::int32_t oldReplyTime,
                   std::int32_t newReplyTime, bool showReplyTime);

// The sound thread's fields for a monitor entering newStatus.
CSoundThread FillSoundThread(const CMonitorBox& box, const CGlobalSettings& settings, MonitorStatus newStatus,
                             const QString& programFolder);

// What the main window does with each WM_BOX_STATUS report, on the main thread.
class CBoxStatusHandler {
public:
    CBoxStatusHandler(CMonitorTable& table, const CGlobalSettings& settings, const CDataPaths& paths,
                      INotificationStarter& starter);

    // wParam: status << 16 | box index; lParam: reply time in ms, -1 for none. Always 0.
    std::int32_t OnBoxStatus(std::uint32_t wParam, std::int32_t lParam);

    // Synchronous repaint of the whole strip, set by the main window.
    std::function<void()> Repaint;
    // Local time of log lines.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

private:
    CMonitorTable& Table;
    const CGlobalSettings& Settings;
    const CDataPaths& Paths;
    INotificationStarter& Starter;
};
