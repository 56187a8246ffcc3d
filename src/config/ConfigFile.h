#pragma once

#include "config/DataPaths.h"
#include "config/GlobalSettings.h"
#include "config/IniFile.h"
#include "monitor/MonitorTable.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class IReportSink;
struct CMonitorKey;

// Section and key names shared by the configuration file and Main.ini.
inline const QString MainSection = QStringLiteral("main");
inline const QString ConfigMarkerKey = QStringLiteral("App");
inline const QString ConfigMarkerValue = QStringLiteral("Pylarix");

// "Box %d" for monitor index i.
QString BoxSectionName(int index);

// The first-start configuration: every key of both files, in their order. The configuration file
// is stored with one replace, so an interrupted first start leaves no half-written file (the next
// start then writes it again). Main.ini's HideTaskBarButton is written at its place in the order.
bool WriteFirstStart(CIniFile& configFile, CIniFile& mainIniFile);

// What LoadConfig hands back to the main window: the taskbar button after reading "main", then
// the pictures of every monitor, then its CHECKING report.
struct CConfigLoadHooks {
    std::function<void()> HideTaskBarButton; // HideTaskBarButton is exactly 1
    std::function<void(int)> LoadPictures;   // per monitor index, in table order
    std::function<void(int)> ApplyChecking;  // per monitor index: the CHECKING report, reply time -1
};

// Window position that centres a strip of boxes side by side in the work area. `workArea` is a
// Qt rectangle; its right and bottom edges are taken exclusive (right = x + width, bottom =
// y + height), as the platform's work-area rectangle gives them. Divisions round toward zero; the
// arithmetic is done wide and clamped, so hand-edited sizes cannot overflow.
QPoint FirstStartPosition(const QRect& workArea, std::int32_t xBox, std::int32_t yBox, std::int32_t numBox);

// Loads the configuration (writing the first start when the file is absent), in this order: binds configFile
// to paths.ConfigPath, reads "main" (HideTaskBarButton from mainIniFile, which must be bound), centres on
// FirstStart, creates and reads the monitors into the table (with mainWindow and their index; picture paths
// from paths.PicturesFolder), then runs the hooks. VerifyTime and TimeOut go into the process-wide values.
// The file is read once (nothing else writes it during the load; the centring writes touch none of the keys
// read after them). NumBox above the table's 60 slots loads 60 monitors; a negative NumBox loads none.
// Expects an empty table.
void LoadConfig(CIniFile& configFile, CIniFile& mainIniFile, const CDataPaths& paths, const QRect& workArea,
                IReportSink* mainWindow, CGlobalSettings& settings, CMonitorTable& table,
                const CConfigLoadHooks& hooks);

// Reads the 32 keys of monitor `index` into `box` in load order and composes its picture paths.
void ReadMonitorSection(const CIniFile& configFile, int index, const QString& picturesFolder,
                        CMonitorBox& box);
void ReadMonitorSection(const CIniFile::Snapshot& configFile, int index, const QString& picturesFolder,
                        CMonitorBox& box);

// One key of a monitor written on its own, as SaveBoxes writes it.
void WriteMonitorKey(CIniFile& file, const QString& section, const CMonitorKey& key, const CMonitorBox& box);

// NumBox, then the 32 keys of every monitor section 0 to NumBox-1, stored with one replace.
// Sections numbered NumBox and above are left as they are.
bool SaveBoxes(CIniFile& configFile, const CMonitorTable& table);

// One call per user action that writes settings.
bool WritePosition(CIniFile& configFile, std::int32_t posX, std::int32_t posY);
bool WriteWinPos(CIniFile& configFile, std::int32_t winPos);
bool WriteWinBeh(CIniFile& configFile, std::int32_t winBeh);
// Global properties applied: HideTaskBarButton into Main.ini, then the configuration keys in order.
// VerifyTime and TimeOut are passed explicitly (the process-wide values are the caller's to set).
bool WriteGlobalProperties(CIniFile& configFile, CIniFile& mainIniFile, const CGlobalSettings& settings,
                           std::uint32_t verifyTime, std::uint32_t timeOut);
// Before a backup: writes App = "Pylarix" unless it is exactly that already. True when the file
// carries the marker afterwards.
bool EnsureConfigMarker(CIniFile& configFile);
// Net message settings.
bool WriteNetUserName(CIniFile& configFile, const QString& userName);
bool WriteNetMsgCommand(CIniFile& configFile, const QString& command, const QString& parameters);
QString ReadNetUserName(const CIniFile& configFile);
QString ReadNetMsgCommand(const CIniFile& configFile);
QString ReadNetMsgParameters(const CIniFile& configFile);
