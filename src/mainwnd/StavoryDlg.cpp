#include "mainwnd/StavoryDlg.h"

#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/PropertiesDlg.h"
#include "mainwnd/StatusMessageBox.h"
#include "mainwnd/StripPainter.h"
#include "mainwnd/SystemTray.h"
#include "mainwnd/WindowPrompts.h"
#include "monitor/QtReportSink.h"
#include "notify/BoxStatusHandler.h"
#include "notify/NotificationStarter.h"
#include "pictures/BoxPictures.h"
#include "platform/AudioOutput.h"
#include "platform/NetProbes.h"
#include "platform/WindowSystem.h"
#include "strip/ProgramArt.h"
#include "strip/StackingRules.h"
#include "strip/WindowRules.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

// Construction, start-up, loading and teardown of the strip window.

namespace {

const QString WindowTitle = QStringLiteral("Pylarix Boxs");
const QString TrayTip = QStringLiteral("Pylarix\nKelvade");
// How often a desktop that had no tray at start is looked at for one.
constexpr int TrayWatchMilliseconds = 1000;

} // namespace

CStavoryDlg::CStavoryDlg(const CDataPaths& paths, QWidget* parent)
    : CStavoryDlg(paths, nullptr, nullptr, parent) {}

CStavoryDlg::CStavoryDlg(const CDataPaths& paths, std::unique_ptr<CWindowPrompts> prompts,
                         IWindowSystem* windowSystem, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), DataPaths(paths), Prompts(std::move(prompts)),
      WindowSystem(windowSystem ? windowSystem : &DesktopWindowSystem()),
      ConfigFile(std::make_unique<CIniFile>()), MainIniFile(std::make_unique<CIniFile>()),
      DefaultSkinFile(std::make_unique<CIniFile>()),
      Starter(std::make_unique<CNotificationStarter>(&ShowStatusMessage)),
      Painter(std::make_unique<CStripPainter>()), SystemTray(std::make_unique<CSystemTray>()) {
    if (!Prompts)
        Prompts = std::make_unique<CWindowPrompts>();
    WorkerStarter = [](CMonitorBox& box) { box.StartWorker(SystemNetProbes()); };
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
    // Known before the load, which may take the taskbar button away.
    TrayPresent = SystemTray->IsTrayPresent();
    if (!TrayPresent) {
        TrayWatch = new QTimer(this);
        TrayWatch->setInterval(TrayWatchMilliseconds);
        connect(TrayWatch, &QTimer::timeout, this, &CStavoryDlg::CheckTray);
        TrayWatch->start();
    }

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
    hooks.HideTaskBarButton = [this] { SetTaskbarButtonHidden(true); };
    hooks.LoadPictures = [this](int index) {
        if (CMonitorBox* box = Monitors.At(index))
            box->SetPictures(LoadBoxPictures(box->OnLinePicPath, box->OffLinePicPath));
    };
    hooks.ApplyChecking = [this](int index) {
        if (CMonitorBox* box = Monitors.At(index)) {
            box->Status = MonitorStatus::NoStatus;
            OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::CHECKING, index), -1);
        }
    };
    LoadConfig(*ConfigFile, *MainIniFile, DataPaths, WorkArea(), ReportSink.get(), GlobalSettings, Monitors,
               hooks);

    // What the strip shows is what the dialog, Cancel and the next save see.
    GlobalSettings.Transparent = static_cast<std::uint8_t>(AppliedAlpha(GlobalSettings.Transparent));

    resize(StripSize(StripGeometry::From(GlobalSettings, Monitors.NumBox)));
    MoveWindowTo(QPoint(GlobalSettings.PosX, GlobalSettings.PosY));
    show();
    PlaceInWorkArea();
    setWindowOpacity(GlobalSettings.Transparent / 255.0);
    SystemAudioOutput().SetProcessVolume(GlobalSettings.Volume, GlobalSettings.VolumeMute != 0);
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

void CStavoryDlg::OnBoxStatus(std::uint32_t wParam, std::int32_t lParam) {
    if (!TornDown)
        StatusHandler->OnBoxStatus(wParam, lParam);
}

void CStavoryDlg::SetOwnedDialog(OwnedDialog which, QWidget* dialog) {
    OwnedDialogs[static_cast<std::size_t>(which)] = dialog;
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
