#include "strip/TrayRules.h"

#include "strip/StackingRules.h"

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

ArtPicture TrayMenuPicture(int command, std::int32_t winBeh) {
    const std::int32_t mode = WinBehForCommand(command);
    if (mode >= 0) {
        if (StackingCommandFor(winBeh) == 0)
            return ArtPicture::None;
        return mode == winBeh ? ArtPicture::RadioOn : ArtPicture::RadioOff;
    }
    struct CommandPicture {
        int Command;
        ArtPicture Picture;
    };
    static constexpr CommandPicture pictures[] = {
        {TrayCommand::About, ArtPicture::About},         {TrayCommand::HelpAndSupport, ArtPicture::Help},
        {TrayCommand::Show, ArtPicture::Show},           {TrayCommand::Logs, ArtPicture::Logs},
        {TrayCommand::BackupConfig, ArtPicture::Backup}, {TrayCommand::RestoreConfig, ArtPicture::Restore},
        {TrayCommand::ResetConfig, ArtPicture::Reset},   {TrayCommand::Properties, ArtPicture::Properties},
        {TrayCommand::Exit, ArtPicture::Exit},
    };
    for (const CommandPicture& entry : pictures) {
        if (entry.Command == command)
            return entry.Picture;
    }
    return ArtPicture::None;
}
