#pragma once

#include "config/DataPaths.h"
#include "config/GlobalSettings.h"
#include "monitor/MonitorTable.h"
#include "strip/TrayRules.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class CAboutDlg;
class CPropertiesDlg;
struct CConfigCommandOutcome;
class CBoxStatusHandler;
class CIniFile;
class CSystemTray;
class CWindowPrompts;
class CQtReportSink;
class CNotificationStarter;
class CStripPainter;
class IWindowSystem;
class QMenu;
class QTimer;

// The main window: the strip of boxes with its grip, living for the whole run of the program.
// It owns the monitor table, the settings, the INI files, the tray icon and the dialogs.
class CStavoryDlg : public QWidget {
    Q_OBJECT
public:
    explicit CStavoryDlg(const CDataPaths& paths, QWidget* parent = nullptr);
    // Tests pass their own prompts and window system; null takes the desktop's.
    CStavoryDlg(const CDataPaths& paths, std::unique_ptr<CWindowPrompts> prompts, IWindowSystem* windowSystem,
                QWidget* parent = nullptr);
    ~CStavoryDlg() override;

    // Hidden, titled "Pylarix Boxs", icon, tray icon, INI files bound, LoadAndStart(), the
    // stacking of WinBeh, then shown and restored.
    void Initialise();
    // Loads the configuration, sizes and places the window, applies opacity and volume and
    // starts every worker in table order. Expects an empty monitor table.
    void LoadAndStart();
    // WM_SHOW_MAIN: a later start of the program asks this one to come to the front.
    void OnShowMain();

    // Window behaviour.
    void FitWindowToStrip();
    void PlaceInWorkArea();
    // Moves the top-left corner through the snapping rules.
    void MoveWindowTo(QPoint topLeft);
    // Grip click at a window point; returns true when the point was in the grip band.
    bool OnGripClick(QPoint windowPoint);

    // WM_TRAYNOTIFY: wParam the icon id, lParam the mouse message.
    void OnTrayNotify(std::uint32_t wParam, std::uint32_t lParam);
    // A command of the tray menu (TrayCommand ids).
    void OnCommand(int command);

    void OnAbout();
    void OnHelp();
    void OnAlwaysTop();
    void OnNormal();
    void OnAlwaysBottom();
    void OnShow();
    void OnLogs();
    void OnBackupConfig();
    void OnRestoreConfig();
    void OnResetConfig();
    // The global properties dialog, run modal to the strip; OK applies, Cancel puts back the
    // strip's opacity and stacking.
    void OnProperties();
    // WM_APPLY_PROPERTIES: the dialog's fields become the settings; the taskbar button, the
    // strip's size and the configuration follow.
    void OnApplyProperties();
    void OnExit();

    // Builds the tray menu with its pictures for the current WinBeh (shown by the tray's right
    // click; the caller owns it).
    QMenu* BuildTrayMenu(QWidget* parent);
    // The grip's context menu, while no tray shows the tray menu: that menu as its submenu.
    QMenu* BuildGripMenu(QWidget* parent);

    // Looks whether a tray has appeared since the start; from then on the usual rules apply
    // (runs by itself every second while there is none).
    void CheckTray();
    bool IsTrayPresent() const { return TrayPresent; }

    // How LoadAndStart starts a record's worker; tests start workers with their own probes.
    std::function<void(CMonitorBox&)> WorkerStarter;

    const CGlobalSettings& Settings() const { return GlobalSettings; }
    const CMonitorTable& Table() const { return Monitors; }
    const CDataPaths& Paths() const { return DataPaths; }
    CSystemTray* Tray() const { return SystemTray.get(); }
    // Null until the first Properties command.
    CPropertiesDlg* PropertiesDialog() const { return PropertiesDlg.get(); }
    bool IsDialogOpen() const { return DialogOpen; }
    bool IsBalloonPending() const { return BalloonPending != 0; }
    // Set by the owners of the dialogs the tray brings back; null when not built.
    void SetOwnedDialog(OwnedDialog which, QWidget* dialog);

    // The desktop's Exit teardown: no report is handled any more, the tray icon goes, every
    // worker is stopped for good without waiting on it and every record destroyed. Runs once.
    void Teardown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DestroyAllRecords();
    // After a restore or reset: its message, then the configuration loaded anew when it changed.
    void ApplyConfigOutcome(const CConfigCommandOutcome& outcome);
    void ApplyStacking(bool raise);
    // Always Top, Normal and Always Bottom: the mode, its layer and its key.
    void SetWinBeh(std::int32_t winBeh, bool raiseFirst);
    void SetTaskbarButtonHidden(bool hidden);
    void ApplyWindowStates();
    // Maps the strip again when the window manager withdrew it while it should show; checks
    // a few times, as the manager may take a while.
    void CheckWithdrawn(int checksLeft);
    void OnWorkAreaChanged();
    void OnBoxStatus(std::uint32_t wParam, std::int32_t lParam);
    void RestoreAndRaise(QWidget* widget);
    DialogVisibility VisibleDialogs() const;
    void RaiseVisibleDialogs();
    QRect WorkArea() const;

    CDataPaths DataPaths;
    std::unique_ptr<CWindowPrompts> Prompts;
    IWindowSystem* WindowSystem = nullptr;

    CGlobalSettings GlobalSettings;
    CMonitorTable Monitors;
    std::unique_ptr<CIniFile> ConfigFile;
    std::unique_ptr<CIniFile> MainIniFile;
    std::unique_ptr<CIniFile> DefaultSkinFile;

    std::unique_ptr<CQtReportSink> ReportSink;
    std::unique_ptr<CNotificationStarter> Starter;
    std::unique_ptr<CStripPainter> Painter;
    std::unique_ptr<CBoxStatusHandler> StatusHandler;
    std::unique_ptr<CSystemTray> SystemTray;
    std::unique_ptr<CAboutDlg> AboutDlg;
    std::unique_ptr<CPropertiesDlg> PropertiesDlg;
    std::array<QPointer<QWidget>, OwnedDialogCount> OwnedDialogs;

    // Selection state of the box commands; the painting reads it.
    int SelectedBox = 0;
    int ShowSelection = 0;
    int InsertionMark = 0;

    bool DialogOpen = false;
    std::int32_t BalloonPending = 1;
    bool TornDown = false;
    bool TaskbarButtonHidden = false;
    // A tray shows the icon; without one the strip itself is the way back (see WindowRules.h).
    bool TrayPresent = true;
    QTimer* TrayWatch = nullptr;
    // Whether the native window was last reported on the screen.
    bool WindowExposed = false;
    bool Initialised = false;

    // Grip drag: the program moves the window itself, every move through the snapping.
    bool Dragging = false;
    QPoint DragStartGlobal;
    QPoint DragStartWindow;
    QPoint LastCorrectedFrom{-1000000, -1000000};
};
