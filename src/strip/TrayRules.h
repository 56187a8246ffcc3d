#pragma once

#include "strip/ProgramArt.h"

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
ArtPicture TrayMenuPicture(int command, std::int32_t winBeh);
