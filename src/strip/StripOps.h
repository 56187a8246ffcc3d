#pragma once

#include "strip/StripLayout.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct CGlobalSettings;
struct CMonitorTable;

// Context-menu selection as the box commands leave it.
struct StripSelection {
    std::int32_t SelectedBox = 0;   // position, 0 for the grip
    std::int32_t ShowSelection = 0; // non-zero: draw the mark
    std::int32_t InsertionMark = 0; // 0 frame around the box, 1 line along its trailing edge
};

enum class StripFontKind { Title, Small };

// Text flags of a text operation: single line, top aligned, "&" marks the next character
// (underlined, the "&" itself not drawn), clipped to the rectangle.
constexpr int StripTextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignTop;

// One step of the strip's painting. Lines follow the pen convention of the strip: they run
// from From up to, but not including, To, and are horizontal or vertical.
struct StripDrawOp {
    enum class Kind {
        FillRect,      // Rect filled with Colour
        FrameRect,     // 1-pixel frame just inside Rect, in Colour
        Line,          // solid 1-pixel line in Colour
        BitmapCopy,    // the top-left SourceSize of Image copied unscaled to Rect's top-left
        IconStretched, // Image stretched to Rect
        Text,          // Text in Rect with Flags, Colour and Font
        SelectionLine, // dotted 1-pixel line in the selection colour
    };
    Kind Type = Kind::FillRect;
    StripRect Rect;
    QPoint From;
    QPoint To;
    QColor Colour;
    QImage Image;
    QSize SourceSize;
    QString Text;
    int Flags = 0;
    StripFontKind Font = StripFontKind::Title;
};

// Width of a text as drawn in one of the two fonts (the fit rule's measure).
using StripTextMeasure = std::function<int(StripFontKind, const QString&)>;

// 0x00BBGGRR to a colour.
QColor ColorFromRef(std::uint32_t colorRef);

// The selection pen's colour.
inline QColor SelectionColour() {
    return QColor(154, 1, 39);
}

// The painting of the whole strip as a list of operations, in drawing order. Writes StatusText
// of the records in the error states, the only record field painting changes.
std::vector<StripDrawOp> BuildStripOps(CMonitorTable& table, const CGlobalSettings& settings,
                                       const StripSelection& selection, const StripTextMeasure& measure,
                                       const QImage& horizontalGrip, const QImage& verticalGrip);
