#include "strip/StripLayout.h"

#include "config/GlobalSettings.h"

#include <algorithm>

StripGeometry StripGeometry::From(const CGlobalSettings& settings, int numBox) {
    // The configuration file is read unchecked; keep its box sizes where the arithmetic and the
    // pictures of a paint stay sound.
    return StripGeometry{std::clamp(settings.XBox, 0, MaxBoxSide), std::clamp(settings.YBox, 0, MaxBoxSide),
                         std::clamp(numBox, 0, 60), settings.WinPos != 0};
}

QSize StripSize(const StripGeometry& g) {
    if (g.Horizontal)
        return QSize((g.XBox + 1) * g.NumBox + 8, g.YBox + 2);
    return QSize(g.XBox + 2, (g.YBox + 1) * g.NumBox + 8);
}

StripRect BoxRect(const StripGeometry& g, int k) {
    if (g.Horizontal)
        return StripRect{(k - 1) * (g.XBox + 1) + 8, 1, k * (g.XBox + 1) + 7, g.YBox + 1};
    return StripRect{1, (k - 1) * (g.YBox + 1) + 8, g.XBox + 1, k * (g.YBox + 1) + 7};
}

int BoxFromPoint(const StripGeometry& g, int x, int y) {
    if (g.NumBox <= 0)
        return 0;
    const int c = g.Horizontal ? x : y;
    const int step = g.Horizontal ? g.XBox + 1 : g.YBox + 1;
    if (c <= 6 || step <= 0)
        return 0;
    return std::min((c - 7) / step + 1, g.NumBox);
}

int TextBandHeight(bool showReplyTime, bool showStatus, bool showIPandMethod) {
    if (showReplyTime)
        return 41;
    if (showStatus)
        return 32;
    if (showIPandMethod)
        return 22;
    return 1;
}

StripRect AddressLineRect(const StripRect& b) {
    return StripRect{b.Left, b.Top - 1, b.Right, b.Top + 11};
}
StripRect MethodLineRect(const StripRect& b) {
    return StripRect{b.Left, b.Top + 9, b.Right, b.Top + 21};
}
StripRect StatusLineRect(const StripRect& b) {
    return StripRect{b.Left, b.Top + 19, b.Right, b.Top + 31};
}
StripRect ReplyLineRect(const StripRect& b) {
    return StripRect{b.Left, b.Top + 29, b.Right, b.Top + 41};
}
StripRect PictureAreaRect(const StripRect& b, int p) {
    return StripRect{b.Left, b.Top + p, b.Right, b.Bottom - 14};
}
StripRect ErrorBandRect(const StripRect& b) {
    return StripRect{b.Left, b.Bottom - 28, b.Right, b.Bottom};
}
StripRect TitleBandRect(const StripRect& b) {
    return StripRect{b.Left, b.Bottom - 13, b.Right, b.Bottom};
}

QSize BitmapDrawnSize(int bitmapWidth, int bitmapHeight, const StripRect& area) {
    return QSize(std::min(bitmapWidth, area.Width()), std::min(bitmapHeight, area.Height()));
}

QSize IconDrawnSize(int w, int h, const StripRect& area) {
    if (w == h) {
        const int side = std::min(area.Width(), area.Height());
        return QSize(side, side);
    }
    return QSize(std::min(w, area.Width()), std::min(h, area.Height()));
}

StripRect PicturePlacement(const StripRect& area, QSize drawn) {
    // C++ integer division rounds toward zero, as the placement rule asks.
    const int left = (area.Left + area.Right) / 2 - drawn.width() / 2;
    const int top = (area.Top + area.Bottom) / 2 - drawn.height() / 2;
    return StripRect{left, top, left + drawn.width(), top + drawn.height()};
}

QString StatusLineText(MonitorStatus status, std::int32_t verifyMetod) {
    switch (status) {
    case MonitorStatus::Up:
        if (verifyMetod == MethodPing)
            return QStringLiteral("Status: Up");
        if (verifyMetod == MethodTcp)
            return QStringLiteral("Status: Open");
        return {};
    case MonitorStatus::Down:
        if (verifyMetod == MethodPing || verifyMetod == MethodTcp)
            return QStringLiteral("Status: Down");
        return {};
    case MonitorStatus::Close:
        if (verifyMetod == MethodTcp)
            return QStringLiteral("Status: Close");
        return {};
    default:
        return {};
    }
}

QString ReplyText(MonitorStatus status, std::int32_t replyTime) {
    switch (status) {
    case MonitorStatus::Up:
    case MonitorStatus::Close:
        // Shown as an unsigned 32-bit number, so -1 reads 4294967295.
        return QStringLiteral("Reply: %1 ms").arg(static_cast<std::uint32_t>(replyTime));
    case MonitorStatus::Down:
        return QStringLiteral("Reply: Timeout");
    default:
        return {};
    }
}

QString MethodText(std::int32_t verifyMetod, std::int32_t port) {
    if (verifyMetod == MethodPing)
        return QStringLiteral("Method: Ping");
    if (verifyMetod == MethodTcp)
        return QStringLiteral("Method: TCP %1").arg(port);
    return {};
}

StripRect SelectionMarkRect(const StripGeometry& g, int k) {
    if (g.Horizontal) {
        const int left = (k - 1) * (g.XBox + 1) + 8;
        return StripRect{left, 1, left + g.XBox - 1, g.YBox};
    }
    const int top = (k - 1) * (g.YBox + 1) + 8;
    return StripRect{1, top, g.XBox, top + g.YBox - 1};
}
