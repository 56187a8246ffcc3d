#include "mainwnd/TrayRules.h"

TrayMouseDecision DecideTrayMouse(std::uint32_t mouseMessage, const DialogVisibility& visible,
                                  bool dialogOpen) {
    switch (mouseMessage) {
    case TrayMouse::LButtonDown:
        return {TrayMouseAction::ForegroundRestoreAndDialogs, -1};
    case TrayMouse::LButtonUp:
        return {TrayMouseAction::RestoreForeground, -1};
    case TrayMouse::LButtonDblClk:
        return {TrayMouseAction::ShowRestore, -1};
    case TrayMouse::RButtonUp:
        // An open dialog wins over the menu, and the menu never opens over a running question.
        for (int i = 0; i < OwnedDialogCount; ++i) {
            if (visible[static_cast<std::size_t>(i)])
                return {TrayMouseAction::RaiseDialog, i};
        }
        if (dialogOpen)
            return {TrayMouseAction::ForegroundOnly, -1};
        return {TrayMouseAction::Menu, -1};
    default:
        return {TrayMouseAction::None, -1};
    }
}

std::vector<std::uint32_t> TrayMessagesFor(TrayActivation activation) {
    switch (activation) {
    case TrayActivation::Trigger:
        // The toolkit reports one click; the rules see its press and its release.
        return {TrayMouse::LButtonDown, TrayMouse::LButtonUp};
    case TrayActivation::DoubleClick:
        return {TrayMouse::LButtonDblClk};
    case TrayActivation::Context:
        return {TrayMouse::RButtonUp};
    case TrayActivation::MiddleClick:
    case TrayActivation::Unknown:
        break;
    }
    return {};
}

const std::vector<TrayMenuEntry>& TrayMenuLayout() {
    static const std::vector<TrayMenuEntry> layout = {
        {"About...", TrayCommand::About},
        {"Help and Support", TrayCommand::HelpAndSupport},
        {nullptr, 0},
        {"Always Top", TrayCommand::AlwaysTop},
        {"Normal", TrayCommand::Normal},
        {"Always Bottom", TrayCommand::AlwaysBottom},
        {nullptr, 0},
        {"Show", TrayCommand::Show},
        {nullptr, 0},
        {"Logs", TrayCommand::Logs},
        {nullptr, 0},
        {"Backup Config File", TrayCommand::BackupConfig},
        {"Restore Config File", TrayCommand::RestoreConfig},
        {"Reset Config File", TrayCommand::ResetConfig},
        {nullptr, 0},
        {"Properties...", TrayCommand::Properties},
        {nullptr, 0},
        {"Exit", TrayCommand::Exit},
    };
    return layout;
}

TrayPicture TrayMenuPicture(int command, std::int32_t winBeh) {
    const std::int32_t mode = WinBehForCommand(command);
    if (mode >= 0) {
        if (winBeh < 0 || winBeh > 2)
            return TrayPicture::None;
        return mode == winBeh ? TrayPicture::RadioOn : TrayPicture::RadioOff;
    }
    switch (command) {
    case TrayCommand::About:
        return TrayPicture::About;
    case TrayCommand::HelpAndSupport:
        return TrayPicture::Help;
    case TrayCommand::Show:
        return TrayPicture::Show;
    case TrayCommand::Logs:
        return TrayPicture::Logs;
    case TrayCommand::BackupConfig:
        return TrayPicture::Backup;
    case TrayCommand::RestoreConfig:
        return TrayPicture::Restore;
    case TrayCommand::ResetConfig:
        return TrayPicture::Reset;
    case TrayCommand::Properties:
        return TrayPicture::Properties;
    case TrayCommand::Exit:
        return TrayPicture::Exit;
    default:
        return TrayPicture::None;
    }
}

int StackingCommandFor(std::int32_t winBeh) {
    switch (winBeh) {
    case 0:
        return TrayCommand::AlwaysTop;
    case 1:
        return TrayCommand::Normal;
    case 2:
        return TrayCommand::AlwaysBottom;
    default:
        return 0;
    }
}

std::optional<StackingLevel> StackingLevelFor(std::int32_t winBeh) {
    switch (winBeh) {
    case 0:
        return StackingLevel::Above;
    case 1:
        return StackingLevel::Normal;
    case 2:
        return StackingLevel::Below;
    default:
        return std::nullopt;
    }
}

std::int32_t WinBehForCommand(int command) {
    switch (command) {
    case TrayCommand::AlwaysTop:
        return 0;
    case TrayCommand::Normal:
        return 1;
    case TrayCommand::AlwaysBottom:
        return 2;
    default:
        return -1;
    }
}
