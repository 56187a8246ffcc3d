#pragma once

#include "platform/WindowSystem.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Command ids of the tray menu and the main window.
namespace TrayCommand {
constexpr int About = 32798;
constexpr int HelpAndSupport = 32788;
constexpr int AlwaysTop = 32803;
constexpr int Normal = 32799;
constexpr int AlwaysBottom = 32791;
constexpr int Show = 32793;
constexpr int Logs = 32837;
constexpr int BackupConfig = 32814;
constexpr int RestoreConfig = 32815;
constexpr int ResetConfig = 32821;
constexpr int Properties = 32801;
constexpr int Exit = 32795;
} // namespace TrayCommand

// Mouse messages that the tray icon reports with WM_TRAYNOTIFY (the notification's lParam).
namespace TrayMouse {
constexpr std::uint32_t LButtonDown = 0x201;
constexpr std::uint32_t LButtonUp = 0x202;
constexpr std::uint32_t LButtonDblClk = 0x203;
constexpr std::uint32_t RButtonDown = 0x204;
constexpr std::uint32_t RButtonUp = 0x205;
} // namespace TrayMouse

// The id the tray icon is created with; it arrives as the notification's wParam.
constexpr std::uint32_t TrayIconId = 134;

// The dialogs a tray click brings back, in the order they are looked at.
enum class OwnedDialog { BoxProperties = 0, Properties = 1, About = 2, SendNetMsg = 3 };
constexpr int OwnedDialogCount = 4;
using DialogVisibility = std::array<bool, OwnedDialogCount>;

enum class TrayMouseAction {
    None,
    ForegroundRestoreAndDialogs, // left down: main window up, then every visible dialog
    RestoreForeground,           // left up
    ShowRestore,                 // double click: also makes a hidden strip visible
    RaiseDialog,                 // right up while a dialog is open: that dialog instead of the menu
    ForegroundOnly,              // right up while DialogOpen: nothing but the foreground step
    Menu,                        // right up: the tray menu at the cursor
};

struct TrayMouseDecision {
    TrayMouseAction Action = TrayMouseAction::None;
    int Dialog = -1; // index into DialogVisibility for RaiseDialog
    friend bool operator==(const TrayMouseDecision&, const TrayMouseDecision&) = default;
};

// What the main window does with one tray notification.
TrayMouseDecision DecideTrayMouse(std::uint32_t mouseMessage, const DialogVisibility& visible,
                                  bool dialogOpen);

// How a click reported by the toolkit maps onto the mouse messages above, in order.
enum class TrayActivation { Unknown, Context, DoubleClick, Trigger, MiddleClick };
std::vector<std::uint32_t> TrayMessagesFor(TrayActivation activation);

// Pictures the tray menu shows, by name of the artwork in resources/icons.
enum class TrayPicture {
    None,
    About,
    Help,
    RadioOn,
    RadioOff,
    Show,
    Logs,
    Backup,
    Restore,
    Reset,
    Properties,
    Exit,
};

struct TrayMenuEntry {
    const char* Text = nullptr; // null for a separator
    int Command = 0;
    friend bool operator==(const TrayMenuEntry&, const TrayMenuEntry&) = default;
};

// The tray menu's items and separators in their order.
const std::vector<TrayMenuEntry>& TrayMenuLayout();

// Picture of a menu item for the current stacking mode: the three stacking items form a radio
// group marked by WinBeh (0 Always Top, 1 Normal, 2 Always Bottom); with any other WinBeh they
// have none. Every other item has a fixed picture; separators none.
TrayPicture TrayMenuPicture(int command, std::int32_t winBeh);

// The stacking command that matches WinBeh, 0 for values that name no mode (nothing runs then).
int StackingCommandFor(std::int32_t winBeh);

// The layer a WinBeh value keeps the strip in; none for values that name no mode.
std::optional<StackingLevel> StackingLevelFor(std::int32_t winBeh);

// WinBeh that a stacking command sets, or -1 when the command is not a stacking command.
std::int32_t WinBehForCommand(int command);

// The minimise button hides the strip when it has no taskbar button to come back from.
constexpr bool MinimiseHides(std::int32_t hideTaskBarButton) {
    return hideTaskBarButton != 0;
}

// The load removes the taskbar button only for the exact value 1.
constexpr bool LoadHidesTaskbarButton(std::int32_t hideTaskBarButton) {
    return hideTaskBarButton == 1;
}

// Opacity applied at load: Transparent raised to at least 160, as alpha out of 255.
constexpr int AppliedAlpha(std::uint8_t transparent) {
    return transparent < 160 ? 160 : transparent;
}

// A move is saved only when neither coordinate is negative.
constexpr bool SavesPosition(int x, int y) {
    return x >= 0 && y >= 0;
}
