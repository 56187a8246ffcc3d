#include "mainwnd/StavoryDlg.h"

#include "config/ConfigBackup.h"
#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/ModalDialog.h"
#include "mainwnd/SystemTray.h"
#include "mainwnd/WindowPrompts.h"
#include "strip/ProgramArt.h"
#include "strip/StackingRules.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QTimer>

// The tray icon's clicks, the tray menu and its commands.

namespace {

const QString AppTitle = QStringLiteral("Pylarix");
const QString ExitQuestion = QStringLiteral("Are you sure want to exit Pylarix?");
const QString IniFilter = QStringLiteral("INI File (*.ini)");

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

void CStavoryDlg::RestoreAndRaise(QWidget* widget) {
    if (!widget)
        return;
    widget->showNormal();
    widget->raise();
    widget->activateWindow();
}

DialogVisibility CStavoryDlg::VisibleDialogs() const {
    DialogVisibility visible{};
    for (int i = 0; i < OwnedDialogCount; ++i) {
        const QWidget* dialog = OwnedDialogs[static_cast<std::size_t>(i)];
        visible[static_cast<std::size_t>(i)] = dialog && dialog->isVisible();
    }
    return visible;
}

void CStavoryDlg::OnTrayNotify(std::uint32_t, std::uint32_t lParam) {
    if (TornDown)
        return;
    const DialogVisibility visible = VisibleDialogs();
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
        const ArtPicture picture = TrayMenuPicture(entry.Command, GlobalSettings.WinBeh);
        if (picture != ArtPicture::None)
            action->setIcon(ArtIcon(picture));
        const int command = entry.Command;
        // Queued: the command runs after the menu has closed, as a command of the window.
        connect(
            action, &QAction::triggered, this, [this, command] { OnCommand(command); }, Qt::QueuedConnection);
    }
    return menu;
}

QMenu* CStavoryDlg::BuildGripMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    QMenu* tray = BuildTrayMenu(menu);
    tray->setTitle(AppTitle);
    tray->setIcon(ArtIcon(ArtPicture::Tray));
    menu->addMenu(tray);
    return menu;
}

void CStavoryDlg::CheckTray() {
    if (TornDown || TrayPresent || !SystemTray->IsTrayPresent())
        return;
    TrayPresent = true;
    if (TrayWatch)
        TrayWatch->stop();
    // The toolkit docks the icon into the new tray by itself; the taskbar button may go now that
    // the icon stands in for it.
    if (isVisible())
        ApplyWindowStates();
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
    ExecModalToOwner(*AboutDlg);
}

void CStavoryDlg::OnHelp() {
    Prompts->OpenWithDesktop(QDir(DataPaths.ProgramFolder).filePath("Help.html"));
}

void CStavoryDlg::OnAlwaysTop() {
    SetWinBeh(WinBehForCommand(TrayCommand::AlwaysTop), true);
}

void CStavoryDlg::OnNormal() {
    SetWinBeh(WinBehForCommand(TrayCommand::Normal), true);
}

void CStavoryDlg::OnAlwaysBottom() {
    // Raising first would lift the strip over the windows it is to stay under.
    SetWinBeh(WinBehForCommand(TrayCommand::AlwaysBottom), false);
}

void CStavoryDlg::SetWinBeh(std::int32_t winBeh, bool raiseFirst) {
    GlobalSettings.WinBeh = winBeh;
    ApplyStacking(raiseFirst);
    WriteWinBeh(*ConfigFile, winBeh);
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
    ApplyConfigOutcome(RestoreConfig(source, DataPaths.ConfigPath));
}

void CStavoryDlg::OnResetConfig() {
    DialogOpenScope scope(DialogOpen);
    if (!Prompts->AskYesNo(this, AppTitle, ResetQuestionText))
        return;
    ApplyConfigOutcome(ResetConfig(DataPaths.ConfigPath));
}

void CStavoryDlg::ApplyConfigOutcome(const CConfigCommandOutcome& outcome) {
    if (!outcome.Message.isEmpty())
        Prompts->ShowMessage(this, AppTitle, outcome.Message);
    if (outcome.Reload) {
        DestroyAllRecords();
        LoadAndStart();
    }
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
