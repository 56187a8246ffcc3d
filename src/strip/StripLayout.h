#pragma once

#include "types/MonitorStatus.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

struct CGlobalSettings;

// A rectangle in window (or screen) pixels. Left and Top are inside it, Right and Bottom are
// the first column and row outside it, so Width() is Right - Left.
struct StripRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    friend constexpr bool operator==(const StripRect&, const StripRect&) = default;
};

// What the strip's shape depends on: box size, number of boxes and layout.
struct StripGeometry {
    int XBox = 0;           // box width W
    int YBox = 0;           // box height H
    int NumBox = 0;         // 0 to 60
    bool Horizontal = true; // WinPos non-zero

    // Box sides beyond 0..MaxBoxSide and counts beyond 0..60 are taken as the nearest bound.
    static StripGeometry From(const CGlobalSettings& settings, int numBox);
};

constexpr int MaxBoxSide = 4096;

// Thickness of the grip band, the frame and the separator after it: box 1 starts at 8.
constexpr int GripEnd = 7;

// Size of the window that fits the strip exactly (client area and window are the same).
QSize StripSize(const StripGeometry& g);

// Rectangle of box k (1 to NumBox), W by H pixels.
StripRect BoxRect(const StripGeometry& g, int k);

// Position of the box under a window point: 0 for the grip, else 1 to NumBox. A box owns the
// separator before it; a point on the frame past the last box gives the last box.
int BoxFromPoint(const StripGeometry& g, int x, int y);

// Height P of the text band above the picture: 41, 32, 22 or 1.
int TextBandHeight(bool showReplyTime, bool showStatus, bool showIPandMethod);

// Zones of a box, from its rectangle. The 12-pixel text lines overlap by 2; the address line
// starts one pixel above the box.
StripRect AddressLineRect(const StripRect& box);
StripRect MethodLineRect(const StripRect& box);
StripRect StatusLineRect(const StripRect& box);
StripRect ReplyLineRect(const StripRect& box);
StripRect PictureAreaRect(const StripRect& box, int textBandHeight);
StripRect ErrorBandRect(const StripRect& box);
StripRect TitleBandRect(const StripRect& box);

// Drawn size of a bitmap copied unscaled from its top-left corner into an area.
QSize BitmapDrawnSize(int bitmapWidth, int bitmapHeight, const StripRect& area);
// Drawn size of an icon of recorded size w x h: a square icon fills the largest square that
// fits, any other is cut to the area on each side.
QSize IconDrawnSize(int iconWidth, int iconHeight, const StripRect& area);
// Where a picture of the drawn size goes: centred with divisions that round toward zero.
StripRect PicturePlacement(const StripRect& area, QSize drawn);

// Texts of the small lines; an empty text means the line is not drawn.
QString StatusLineText(MonitorStatus status, std::int32_t verifyMetod);
QString ReplyText(MonitorStatus status, std::int32_t replyTime);
QString MethodText(std::int32_t verifyMetod, std::int32_t port);

// Title and address are centred only when their measured width is not wider than the box;
// a wider text starts at the left edge and is cut at the right.
constexpr bool CentreFits(int textWidth, int boxWidth) {
    return textWidth <= boxWidth;
}

// The selection mark's rectangle: box k shrunk by one pixel at the right and bottom. The mark
// is drawn along its edges, corners included (Right and Bottom are ON the mark here).
StripRect SelectionMarkRect(const StripGeometry& g, int k);
