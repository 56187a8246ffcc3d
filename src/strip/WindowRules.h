#pragma once

#include "strip/StripLayout.h"

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <optional>

// Rules of the strip as a window. Work areas and window rectangles are StripRects in screen
// pixels: Right and Bottom are the exclusive edges (Right = Left + width), so a window flush
// with the work area's right edge has Left = workArea.Right - width.

enum class GripAction { None, Hide, Minimise, SwitchLayout, Drag };

// What a left click at window point (x, y) does on the grip of the given layout.
GripAction GripActionAt(bool horizontal, int x, int y);

// The layout after a click on the C: 1 from 0, 0 from anything else.
constexpr int SwitchedWinPos(int winPos) {
    return winPos == 0 ? 1 : 0;
}

// The snapped top-left corner for a proposed move of a window of the given size.
QPoint SnapPosition(const StripRect& workArea, QPoint proposed, QSize window, bool horizontal, int xBox,
                    int yBox);

// A move is saved only when neither coordinate is negative.
constexpr bool SavesPosition(int x, int y) {
    return x >= 0 && y >= 0;
}

// The minimise button hides the strip when it has no taskbar button to come back from.
constexpr bool MinimiseHides(std::int32_t hideTaskBarButton) {
    return hideTaskBarButton != 0;
}

// On a desktop without a tray the strip is the only way back to the program, so nothing may take
// it out of reach; the usual rules hold again as soon as a tray appears.

// What a grip zone that takes the strip away does.
enum class StripAway { Hide, Minimise };

// The cross hides the strip to the tray, or minimises it when there is no tray.
constexpr StripAway HideZoneEffect(bool trayAvailable) {
    return trayAvailable ? StripAway::Hide : StripAway::Minimise;
}

// The dash hides the strip only when the tray icon can bring it back.
constexpr StripAway MinimiseZoneEffect(std::int32_t hideTaskBarButton, bool trayAvailable) {
    return MinimiseHides(hideTaskBarButton) && trayAvailable ? StripAway::Hide : StripAway::Minimise;
}

// The one-time balloon comes from a tray icon; without one it stays pending.
constexpr bool ShowsHideBalloon(std::int32_t balloonPending, bool trayAvailable) {
    return balloonPending != 0 && trayAvailable;
}

// The taskbar button goes only while a tray icon stands in for it.
constexpr bool SkipsTaskbar(bool taskbarButtonHidden, bool trayAvailable) {
    return taskbarButtonHidden && trayAvailable;
}

// The grip's context menu carries the tray menu's commands while no tray shows them.
constexpr bool GripMenuHoldsTrayCommands(bool trayAvailable) {
    return !trayAvailable;
}

// The load removes the taskbar button only for the exact value 1.
constexpr bool LoadHidesTaskbarButton(std::int32_t hideTaskBarButton) {
    return hideTaskBarButton == 1;
}

// Opacity applied to the strip: Transparent raised to at least 160, as alpha out of 255.
constexpr int AppliedAlpha(std::uint8_t transparent) {
    return transparent < 160 ? 160 : transparent;
}

// Where PlaceInWorkArea puts a window whose top-left corner is at topLeft: the grip and first box
// are brought back inside the work area.
QPoint PlaceInWorkArea(const StripRect& workArea, QPoint topLeft, bool horizontal, int xBox, int yBox);

// After the strip has grown: the move that brings its trailing side back inside the work area,
// or nothing when no move is needed.
std::optional<QPoint> KeepStripOnScreen(const StripRect& workArea, const StripRect& window, QSize client,
                                        bool horizontal);
