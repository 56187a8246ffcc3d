#include "strip/WindowRules.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

GripAction GripActionAt(bool horizontal, int x, int y) {
    const int a = horizontal ? y : x; // along the band
    const int b = horizontal ? x : y; // across it
    if (b < 1 || b > 6)
        return GripAction::None;
    if (a >= 1 && a <= 5)
        return GripAction::Hide;
    if (a >= 7 && a <= 11)
        return GripAction::Minimise;
    if (a >= 13 && a <= 17)
        return GripAction::SwitchLayout;
    if (a == 18)
        return horizontal ? GripAction::SwitchLayout : GripAction::None;
    if (a > 18)
        return GripAction::Drag;
    return GripAction::None;
}

namespace {

// The rules run in 64 bits, so that box sizes and positions read unchecked from the
// configuration file cannot overflow; the result is brought back into int range.
using Wide = long long;

QPoint ToPoint(Wide x, Wide y) {
    const auto narrow = [](Wide v) {
        return static_cast<int>(
            std::clamp<Wide>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    return QPoint(narrow(x), narrow(y));
}

} // namespace

QPoint SnapPosition(const StripRect& wa, QPoint proposed, QSize window, bool horizontal, int xBox, int yBox) {
    Wide x = proposed.x();
    Wide y = proposed.y();
    const Wide w = window.width();
    const Wide h = window.height();
    const Wide right = wa.Right, bottom = wa.Bottom, top = wa.Top, left = wa.Left;

    if (std::llabs(x + w - right) < 10)
        x = right - w;
    if (horizontal) {
        // Also when negative: a horizontal strip never sticks out below the work area.
        if (bottom - y - h < 10)
            y = bottom - h;
    } else if (std::llabs(bottom - y - h) < 10) {
        y = bottom - h;
    }
    if (y - top < 10)
        y = top;
    if (x - left < 10)
        x = left;

    // The grip and the first box always stay reachable, even on a work area smaller than them.
    if (horizontal) {
        if (x > right - xBox - 9)
            x = right - xBox - 9;
    } else {
        if (y > bottom - yBox - 9)
            y = bottom - yBox - 9;
        if (x > right - xBox - 2)
            x = right - xBox - 2;
    }
    return ToPoint(x, y);
}

QPoint PlaceInWorkArea(const StripRect& wa, QPoint topLeft, bool horizontal, int xBox, int yBox) {
    Wide left = topLeft.x();
    Wide top = topLeft.y();
    const Wide right = wa.Right, bottom = wa.Bottom;
    if (horizontal) {
        if (right - left < Wide(xBox) + 9)
            left = right - xBox - 9;
        if (bottom - top < Wide(yBox) + 2)
            top = bottom - yBox - 2;
    } else {
        if (right - left < Wide(xBox) + 2)
            left = right - xBox - 2;
        if (bottom - top < Wide(yBox) + 9)
            top = bottom - yBox - 9;
    }
    return ToPoint(left, top);
}

std::optional<QPoint> KeepStripOnScreen(const StripRect& wa, const StripRect& window, QSize client,
                                        bool horizontal) {
    if (horizontal) {
        if (Wide(wa.Right) - client.width() > wa.Left && window.Right > wa.Right)
            return ToPoint(Wide(wa.Right) - client.width(), window.Top);
        return std::nullopt;
    }
    if (Wide(wa.Bottom) - client.height() > 0 && window.Bottom > wa.Bottom)
        return ToPoint(window.Left, Wide(wa.Bottom) - client.height());
    return std::nullopt;
}
