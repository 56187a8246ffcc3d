#include "mainwnd/StavoryDlg.h"

#include "ProgramArt.h"
#include "config/ConfigBackup.h"
#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "dialogs/AboutDlg.h"
#include "mainwnd/StripPainter.h"
#include "mainwnd/SystemTray.h"
#include "mainwnd/WindowPrompts.h"
#include "mainwnd/WindowRules.h"
#include "monitor/QtReportSink.h"
#include "notify/BoxStatusHandler.h"
#include "notify/NotificationStarter.h"
#include "pictures/BoxPictures.h"
#include "platform/AudioOutput.h"
#include "platform/WindowSystem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

const QString WindowTitle = QStringLiteral("Pylarix Boxs");
const QString AppTitle = QStringLiteral("Pylarix");
const QString TrayTip = QStringLiteral("Pylarix\nKelvade");
const QString HideBalloonText =
    QStringLiteral("Program still working now in background\nmode. Click on icon to "
                   "show Pylarix.\n\nClick Exit button to exit application.");
const QString HideBalloonTitle = QStringLiteral("Pylarix Notify");
const QString ExitQuestion = QStringLiteral("Are you sure want to exit Pylarix?");
const QString IniFilter = QStringLiteral("INI File (*.ini)");
// How long and how often a strip that left the screen while showing is checked for withdrawal.
constexpr int RemapCheckMilliseconds = 200;
constexpr int RemapChecks = 10;

StripRect ToStripRect(const QRect& r) {
    return {r.x(), r.y(), ExclusiveRight(r), ExclusiveBottom(r)};
}

ArtPicture ArtFor(TrayPicture picture) {
    switch (picture) {
    case TrayPicture::About:
        return ArtPicture::About;
    case TrayPicture::Help:
        return ArtPicture::Help;
    case TrayPicture::RadioOn:
        return ArtPicture::RadioOn;
    case TrayPicture::RadioOff:
        return ArtPicture::RadioOff;
    case TrayPicture::Show:
        return ArtPicture::Show;
    case TrayPicture::Logs:
        return ArtPicture::Logs;
    case TrayPicture::Backup:
        return ArtPicture::Backup;
    case TrayPicture::Restore:
        return ArtPicture::Restore;
    case TrayPicture::Reset:
        return ArtPicture::Reset;
    case TrayPicture::Properties:
        return ArtPicture::Properties;
    case TrayPicture::Exit:
    case TrayPicture::None:
        break;
    }
    return ArtPicture::Exit;
}

// DialogOpen for the whole of a command, whichever way it ends.
class DialogOpenScope {
public:
    explicit DialogOpenScope(bool& flag) : Flag(flag) { Flag = true; }
    ~DialogOpenScope() { Flag = false; }
    DialogOpenScope(const DialogOpenScope&) = delete;
    DialogOpenScope& operator=(const DialogOpenScope&) = delete;

private:
    bool& Flag;
};

} // namespace

CStavoryDlg::CStavoryDlg(const CDataPaths& paths, QWidget* parent)
    : CStavoryDlg(paths, nullptr, nullptr, parent) {}

CStavoryDlg::CStavoryDlg(const CDataPaths& paths, std::unique_ptr<CWindowPrompts> prompts,
                         IWindowSystem* windowSystem, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), DataPaths(paths), Prompts(std::move(prompts)),
      WindowSystem(windowSystem ? windowSystem : &DesktopWindowSystem()),
      ConfigFile(std::make_unique<CIniFile>()), MainIniFile(std::make_unique<CIniFile>()),
      DefaultSkinFile(std::make_unique<CIniFile>()), Starter(std::make_unique<CNotificationStarter>()),
      Painter(std::make_unique<CStripPainter>()), SystemTray(std::make_unique<CSystemTray>()) {
    if (!Prompts)
        Prompts = std::make_unique<CWindowPrompts>();
    WorkerStarter = [](CMonitorBox& box) { box.StartWorker(); };
    StatusHandler = std::make_unique<CBoxStatusHandler>(Monitors, GlobalSettings, DataPaths, *Starter);
    StatusHandler->Repaint = [this] { repaint(); };
    ReportSink = std::make_unique<CQtReportSink>(
        [this](std::uint32_t wParam, std::int32_t lParam) { OnBoxStatus(wParam, lParam); });
    connect(SystemTray.get(), &CSystemTray::TrayNotify, this, &CStavoryDlg::OnTrayNotify);
    setWindowTitle(WindowTitle);
}

CStavoryDlg::~CStavoryDlg() {
    Teardown();
}

void CStavoryDlg::Initialise() {
    // The strip lives in the tray: closing a dialog while it is hidden must not end the program.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    hide();
    setWindowTitle(WindowTitle);
    // The program icon on the strip and on every window the program opens (questions, choosers).
    QGuiApplication::setWindowIcon(ArtIcon(ArtPicture::Program));
    setWindowIcon(ArtIcon(ArtPicture::Program));
    winId(); // the native window exists from here on, for the stacking and taskbar states
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);

    SystemTray->CreateTrayIcon(TrayTip, ArtIcon(ArtPicture::Tray), TrayIconId, false, QString(), QString(),
                               CSystemTray::BalloonInfo, 3);

    MainIniFile->SetPath(DataPaths.MainIniPath);
    DefaultSkinFile->SetPath(DataPaths.DefaultSkinPath);

    // The work area of the primary screen, whichever screen that is at the time.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this, &CStavoryDlg::OnWorkAreaChanged);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen* screen) {
        if (screen)
            connect(screen, &QScreen::availableGeometryChanged, this, &CStavoryDlg::OnWorkAreaChanged,
                    Qt::UniqueConnection);
        OnWorkAreaChanged();
    });

    LoadAndStart();
    if (const int command = StackingCommandFor(GlobalSettings.WinBeh))
        OnCommand(command);
    Initialised = true;
    show();
    showNormal();
}

void CStavoryDlg::LoadAndStart() {
    CConfigLoadHooks hooks;
    hooks.HideTaskBarButton = [this] { ApplyTaskbarButton(); };
    hooks.LoadPictures = [this](int index) {
        if (CMonitorBox* box = Monitors.At(index))
            LoadBoxPictures(*box);
    };
    hooks.ApplyChecking = [this](int index) {
        if (CMonitorBox* box = Monitors.At(index)) {
            box->Status = MonitorStatus::NoStatus;
            OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::CHECKING, index), -1);
        }
    };
    LoadConfig(*ConfigFile, *MainIniFile, DataPaths, WorkArea(), ReportSink.get(), GlobalSettings, Monitors,
               hooks);

    resize(StripSize(StripGeometry::From(GlobalSettings, Monitors.NumBox)));
    MoveWindowTo(QPoint(GlobalSettings.PosX, GlobalSettings.PosY));
    show();
    PlaceInWorkArea();
    setWindowOpacity(AppliedAlpha(GlobalSettings.Transparent) / 255.0);
    SetProcessVolume(GlobalSettings.Volume, GlobalSettings.VolumeMute != 0);
    for (int i = 0; i < Monitors.NumBox; ++i) {
        if (CMonitorBox* box = Monitors.At(i))
            WorkerStarter(*box);
    }
    show();
    showNormal();
}

void CStavoryDlg::OnShowMain() {
    show();
    showNormal();
    raise();
    activateWindow();
}

void CStavoryDlg::FitWindowToStrip() {
    resize(StripSize(StripGeometry::From(GlobalSettings, Monitors.NumBox)));
    repaint();
}

QRect CStavoryDlg::WorkArea() const {
    return WindowSystem->WorkArea();
}

void CStavoryDlg::MoveWindowTo(QPoint topLeft) {
    const QPoint snapped = SnapPosition(ToStripRect(WorkArea()), topLeft, size(), GlobalSettings.WinPos != 0,
                                        GlobalSettings.XBox, GlobalSettings.YBox);
    move(snapped);
}

void CStavoryDlg::PlaceInWorkArea() {
    const QPoint placed = ::PlaceInWorkArea(ToStripRect(WorkArea()), pos(), GlobalSettings.WinPos != 0,
                                            GlobalSettings.XBox, GlobalSettings.YBox);
    MoveWindowTo(placed);
    WritePosition(*ConfigFile, placed.x(), placed.y());
    GlobalSettings.PosX = placed.x();
    GlobalSettings.PosY = placed.y();
    repaint();
}

void CStavoryDlg::OnWorkAreaChanged() {
    if (!TornDown && Initialised)
        PlaceInWorkArea();
}

bool CStavoryDlg::OnGripClick(QPoint windowPoint) {
    const bool horizontal = GlobalSettings.WinPos != 0;
    switch (GripActionAt(horizontal, windowPoint.x(), windowPoint.y())) {
    case GripAction::Hide:
        hide();
        if (BalloonPending) {
            SystemTray->ShowTrayBalloon(HideBalloonText, HideBalloonTitle, CSystemTray::BalloonInfo, 10);
            BalloonPending = 0;
        }
        return true;
    case GripAction::Minimise:
        if (MinimiseHides(GlobalSettings.HideTaskBarButton))
            hide();
        else
            showMinimized();
        return true;
    case GripAction::SwitchLayout:
        GlobalSettings.WinPos = SwitchedWinPos(GlobalSettings.WinPos);
        FitWindowToStrip();
        WriteWinPos(*ConfigFile, GlobalSettings.WinPos);
        return true;
    case GripAction::Drag:
        Dragging = true;
        DragStartGlobal = QCursor::pos();
        DragStartWindow = pos();
        return true;
    case GripAction::None:
        break;
    }
    return false;
}

void CStavoryDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const StripSelection selection{SelectedBox, ShowSelection, InsertionMark};
    Painter->Paint(painter, rect(), palette().color(QPalette::Window), Monitors, GlobalSettings, selection);
}

void CStavoryDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (OnGripClick(event->position().toPoint()) && Dragging)
            DragStartGlobal = event->globalPosition().toPoint();
    }
    QWidget::mousePressEvent(event);
}

void CStavoryDlg::mouseMoveEvent(QMouseEvent* event) {
    if (Dragging && (event->buttons() & Qt::LeftButton))
        MoveWindowTo(DragStartWindow + (event->globalPosition().toPoint() - DragStartGlobal));
    QWidget::mouseMoveEvent(event);
}

void CStavoryDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void CStavoryDlg::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (TornDown)
        return;
    const QPoint p = event->pos();
    // Moves made by others (the window manager's placement, its own move keys) pass through
    // the snapping too: a position off the rules is corrected before it is saved. A window
    // manager that refuses the corrected place is not fought: each place is corrected once.
    if (isVisible() && !Dragging && p != LastCorrectedFrom) {
        const QPoint snapped = SnapPosition(ToStripRect(WorkArea()), p, size(), GlobalSettings.WinPos != 0,
                                            GlobalSettings.XBox, GlobalSettings.YBox);
        if (snapped != p) {
            LastCorrectedFrom = p;
            move(snapped);
            return;
        }
    }
    if (SavesPosition(p.x(), p.y()))
        WritePosition(*ConfigFile, p.x(), p.y());
    // Enforcement: after every change of place the strip is put back into its layer, which
    // also brings a reloaded WinBeh into force.
    if (isVisible())
        ApplyStacking(false);
}

void CStavoryDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window manager forgets the states of a hidden window: they are set again before it
    // maps the window, and once more when it shows it (see eventFilter).
    ApplyWindowStates();
}

bool CStavoryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != windowHandle() || event->type() != QEvent::Expose || TornDown)
        return QWidget::eventFilter(watched, event);
    const bool exposed = windowHandle()->isExposed();
    if (exposed && !WindowExposed && isVisible()) {
        // Shown by the window manager: it manages the window now and keeps what is asked of it
        // (a busy manager may have cleared the states set before the window was mapped).
        ApplyWindowStates();
    } else if (!exposed && WindowExposed && isVisible() && !isMinimized()) {
        // Taken off the screen while it should be showing: a manager that handled a quick hide
        // and show late may have withdrawn it for good. Its own hiding (minimising, another
        // desktop) leaves the window managed, which the remap checks for.
        CheckWithdrawn(RemapChecks);
    }
    WindowExposed = exposed;
    return QWidget::eventFilter(watched, event);
}

void CStavoryDlg::CheckWithdrawn(int checksLeft) {
    QTimer::singleShot(RemapCheckMilliseconds, this, [this, checksLeft] {
        if (TornDown || !isVisible() || isMinimized() || windowHandle()->isExposed())
            return;
        if (!WindowSystem->RemapIfWithdrawn(windowHandle()) && checksLeft > 1)
            CheckWithdrawn(checksLeft - 1);
    });
}

void CStavoryDlg::ApplyWindowStates() {
    if (TaskbarButtonHidden)
        WindowSystem->SetSkipTaskbar(windowHandle(), true);
    ApplyStacking(false);
}

void CStavoryDlg::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Enforcement: the strip keeps its layer whenever its place in the stack changes, and
        // the owned dialogs that are open stay above it.
        ApplyStacking(false);
        for (OwnedDialog which : {OwnedDialog::BoxProperties, OwnedDialog::Properties, OwnedDialog::About}) {
            QWidget* dialog = OwnedDialogs[static_cast<std::size_t>(which)];
            if (dialog && dialog->isVisible() && !dialog->isActiveWindow()) {
                dialog->raise();
                dialog->activateWindow();
            }
        }
    }
}

void CStavoryDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never close the strip.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CStavoryDlg::closeEvent(QCloseEvent* event) {
    // The window manager's close keeps the program running: Exit is the only way out.
    event->ignore();
}

void CStavoryDlg::ApplyStacking(bool raiseFirst) {
    const std::optional<StackingLevel> level = StackingLevelFor(GlobalSettings.WinBeh);
    if (!level)
        return;
    if (raiseFirst)
        raise();
    if (QWindow* window = windowHandle())
        WindowSystem->SetStacking(window, *level);
}

void CStavoryDlg::ApplyTaskbarButton() {
    // Shown again only when it was showing: at the first load the strip is not sized yet and
    // appears a moment later, already placed.
    const bool wasVisible = isVisible();
    hide();
    TaskbarButtonHidden = true;
    WindowSystem->SetSkipTaskbar(windowHandle(), true);
    if (wasVisible)
        show();
}

void CStavoryDlg::OnBoxStatus(std::uint32_t wParam, std::int32_t lParam) {
    if (!TornDown)
        StatusHandler->OnBoxStatus(wParam, lParam);
}

void CStavoryDlg::SetOwnedDialog(OwnedDialog which, QWidget* dialog) {
    OwnedDialogs[static_cast<std::size_t>(which)] = dialog;
}

void CStavoryDlg::RestoreAndRaise(QWidget* widget) {
    if (!widget)
        return;
    widget->showNormal();
    widget->raise();
    widget->activateWindow();
}

void CStavoryDlg::OnTrayNotify(std::uint32_t, std::uint32_t lParam) {
    if (TornDown)
        return;
    DialogVisibility visible{};
    for (int i = 0; i < OwnedDialogCount; ++i) {
        QWidget* dialog = OwnedDialogs[static_cast<std::size_t>(i)];
        visible[static_cast<std::size_t>(i)] = dialog && dialog->isVisible();
    }
    const TrayMouseDecision decision = DecideTrayMouse(lParam, visible, DialogOpen);
    switch (decision.Action) {
    case TrayMouseAction::ForegroundRestoreAndDialogs:
        RestoreAndRaise(this);
        for (int i = 0; i < OwnedDialogCount; ++i) {
            if (visible[static_cast<std::size_t>(i)])
                RestoreAndRaise(OwnedDialogs[static_cast<std::size_t>(i)]);
        }
        break;
    case TrayMouseAction::RestoreForeground:
        RestoreAndRaise(this);
        break;
    case TrayMouseAction::ShowRestore:
        show();
        showNormal();
        break;
    case TrayMouseAction::RaiseDialog:
        activateWindow();
        RestoreAndRaise(OwnedDialogs[static_cast<std::size_t>(decision.Dialog)]);
        break;
    case TrayMouseAction::ForegroundOnly:
        activateWindow();
        break;
    case TrayMouseAction::Menu: {
        const QPoint cursor = QCursor::pos();
        activateWindow();
        QMenu* menu = BuildTrayMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // The menu's right edge at the cursor.
        menu->popup(QPoint(cursor.x() - menu->sizeHint().width(), cursor.y()));
        break;
    }
    case TrayMouseAction::None:
        break;
    }
}

QMenu* CStavoryDlg::BuildTrayMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (const TrayMenuEntry& entry : TrayMenuLayout()) {
        if (!entry.Text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(entry.Text));
        action->setData(entry.Command);
        const TrayPicture picture = TrayMenuPicture(entry.Command, GlobalSettings.WinBeh);
        if (picture != TrayPicture::None)
            action->setIcon(ArtIcon(ArtFor(picture)));
        const int command = entry.Command;
        // Queued: the command runs after the menu has closed, as a command of the window.
        connect(
            action, &QAction::triggered, this, [this, command] { OnCommand(command); }, Qt::QueuedConnection);
    }
    return menu;
}

void CStavoryDlg::OnCommand(int command) {
    if (TornDown)
        return;
    switch (command) {
    case TrayCommand::About:
        OnAbout();
        break;
    case TrayCommand::HelpAndSupport:
        OnHelp();
        break;
    case TrayCommand::AlwaysTop:
        OnAlwaysTop();
        break;
    case TrayCommand::Normal:
        OnNormal();
        break;
    case TrayCommand::AlwaysBottom:
        OnAlwaysBottom();
        break;
    case TrayCommand::Show:
        OnShow();
        break;
    case TrayCommand::Logs:
        OnLogs();
        break;
    case TrayCommand::BackupConfig:
        OnBackupConfig();
        break;
    case TrayCommand::RestoreConfig:
        OnRestoreConfig();
        break;
    case TrayCommand::ResetConfig:
        OnResetConfig();
        break;
    case TrayCommand::Properties:
        OnProperties();
        break;
    case TrayCommand::Exit:
        OnExit();
        break;
    default:
        break;
    }
}

void CStavoryDlg::OnAbout() {
    if (!AboutDlg) {
        // A window of its own, not owned by the strip, so it keeps a taskbar button.
        AboutDlg = std::make_unique<CAboutDlg>();
        SetOwnedDialog(OwnedDialog::About, AboutDlg.get());
    }
    AboutDlg->exec();
}

void CStavoryDlg::OnHelp() {
    Prompts->OpenWithDesktop(QDir(DataPaths.ProgramFolder).filePath("Help.html"));
}

void CStavoryDlg::OnAlwaysTop() {
    GlobalSettings.WinBeh = 0;
    ApplyStacking(true);
    WriteWinBeh(*ConfigFile, 0);
}

void CStavoryDlg::OnNormal() {
    GlobalSettings.WinBeh = 1;
    ApplyStacking(true);
    WriteWinBeh(*ConfigFile, 1);
}

void CStavoryDlg::OnAlwaysBottom() {
    GlobalSettings.WinBeh = 2;
    ApplyStacking(false);
    WriteWinBeh(*ConfigFile, 2);
}

void CStavoryDlg::OnShow() {
    show();
    showNormal();
}

void CStavoryDlg::OnLogs() {
    Prompts->OpenWithDesktop(DataPaths.LogsFolder);
}

void CStavoryDlg::OnBackupConfig() {
    DialogOpenScope scope(DialogOpen);
    const QString target = Prompts->SaveFileName(this, IniFilter, QStringLiteral("ini"));
    if (target.isEmpty())
        return;
    const CConfigCommandOutcome outcome = BackupConfig(*ConfigFile, target);
    if (!outcome.Message.isEmpty())
        Prompts->ShowMessage(this, AppTitle, outcome.Message);
}

void CStavoryDlg::OnRestoreConfig() {
    DialogOpenScope scope(DialogOpen);
    const QString source = Prompts->OpenFileName(this, IniFilter);
    if (source.isEmpty())
        return;
    const CConfigCommandOutcome outcome = RestoreConfig(source, DataPaths.ConfigPath);
    if (!outcome.Message.isEmpty())
        Prompts->ShowMessage(this, AppTitle, outcome.Message);
    if (outcome.Reload) {
        DestroyAllRecords();
        LoadAndStart();
    }
}

void CStavoryDlg::OnResetConfig() {
    DialogOpenScope scope(DialogOpen);
    if (!Prompts->AskYesNo(this, AppTitle, ResetQuestionText))
        return;
    const CConfigCommandOutcome outcome = ResetConfig(DataPaths.ConfigPath);
    if (!outcome.Message.isEmpty())
        Prompts->ShowMessage(this, AppTitle, outcome.Message);
    if (outcome.Reload) {
        DestroyAllRecords();
        LoadAndStart();
    }
}

void CStavoryDlg::OnProperties() {
    // The global properties dialog is not part of the program yet.
}

void CStavoryDlg::OnExit() {
    bool yes = false;
    {
        DialogOpenScope scope(DialogOpen);
        // Owned by the desktop, not by the strip, which may be hidden.
        yes = Prompts->AskYesNo(nullptr, AppTitle, ExitQuestion);
    }
    if (!yes)
        return;
    Teardown();
    QCoreApplication::quit();
}

void CStavoryDlg::DestroyAllRecords() {
    for (int i = 0; i < MaxMonitors; ++i)
        Monitors.Slots[static_cast<std::size_t>(i)].reset();
    Monitors.NumBox = 0;
}

void CStavoryDlg::Teardown() {
    if (TornDown)
        return;
    TornDown = true;
    // From here on no report is handled and no worker is waited on.
    if (ReportSink)
        ReportSink->Close();
    SystemTray->DeleteTrayIcon();
    for (int i = 0; i < MaxMonitors; ++i) {
        if (auto& slot = Monitors.Slots[static_cast<std::size_t>(i)]) {
            slot->KillWorker();
            slot.reset();
        }
    }
    Monitors.NumBox = 0;
    hide();
}
