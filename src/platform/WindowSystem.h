#pragma once

#include <QRect>

class QWindow;

// Where the strip sits in the desktop's stack of windows.
enum class StackingLevel {
    Above,  // over every normal window
    Normal, // among them
    Below,  // under every normal window
};

// The desktop services the main window needs beyond what the toolkit offers itself.
class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    // Puts the window into a stacking layer and raises it within that layer when asked to.
    virtual void SetStacking(QWindow* window, StackingLevel level) = 0;
    // Keeps the window out of the taskbar and the pager, or lets it back in.
    virtual void SetSkipTaskbar(QWindow* window, bool skip) = 0;
    // Work area of the primary screen: the screen less panels and taskbars. Right and Bottom
    // are exclusive edges, as in a screen rectangle's right = left + width.
    virtual QRect WorkArea() const = 0;
    // Maps the window again when the window manager has withdrawn it although the toolkit shows
    // it; true when it did. A manager that lags behind a quick hide and show can drop the show.
    virtual bool RemapIfWithdrawn(QWindow* window) = 0;
};

// The process's window system (platform/Platform.h installs it; the null one until then).
IWindowSystem& DesktopWindowSystem();

// Work-area helpers shared by the implementation and the main window: QRect's right() is the
// last column inside it, the window rules use the first column outside.
constexpr int ExclusiveRight(const QRect& r) {
    return r.x() + r.width();
}
constexpr int ExclusiveBottom(const QRect& r) {
    return r.y() + r.height();
}
