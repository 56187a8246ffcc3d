#pragma once

#include "strip/StripOps.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct CGlobalSettings;
struct CMonitorTable;
class QPainter;

// Average character widths the strip's texts were laid out for.
constexpr int TitleAverageWidth = 5;
constexpr int SmallAverageWidth = 4;

// The fonts of the strip: "Verdana" when installed, else the nearest sans face; 12-pixel cells,
// stretched to the average widths above.
struct StripFonts {
    QFont TitleFont; // weight 600
    QFont SmallFont; // normal weight

    static StripFonts Make();
    static QString PickFamily();
    const QFont& Of(StripFontKind kind) const { return kind == StripFontKind::Title ? TitleFont : SmallFont; }
};

// Fonts, grip pictures and the QPainter backend that carries a list of operations out.
class CStripPainter {
public:
    CStripPainter();

    const StripFonts& Fonts() const { return m_Fonts; }
    const QImage& HorizontalGrip() const { return m_HorizontalGrip; }
    const QImage& VerticalGrip() const { return m_VerticalGrip; }
    // Widths measured with the fonts above.
    StripTextMeasure Measure() const;

    std::vector<StripDrawOp> Build(CMonitorTable& table, const CGlobalSettings& settings,
                                   const StripSelection& selection) const;

    // Erases the client rectangle to the background, then draws the operations.
    void Draw(QPainter& painter, const QRect& client, const QColor& background,
              const std::vector<StripDrawOp>& ops) const;

    // Build and Draw in one.
    void Paint(QPainter& painter, const QRect& client, const QColor& background, CMonitorTable& table,
               const CGlobalSettings& settings, const StripSelection& selection) const;

private:
    QImage TextImage(const StripDrawOp& op, qreal dpr) const;
    QImage ScaledIcon(const StripDrawOp& op, qreal dpr) const;
    QImage Keep(QHash<QString, QImage>& cache, const QString& key, QImage image) const;

    StripFonts m_Fonts;
    QImage m_HorizontalGrip;
    QImage m_VerticalGrip;
    // The strip repaints whole on every report, mostly with the same texts and pictures: laid-out
    // texts, scaled icons and measured widths are kept between paints (main thread only).
    mutable QHash<QString, QImage> m_TextImages;
    mutable QHash<QString, QImage> m_ScaledIcons;
    mutable QHash<QString, int> m_Widths[2];
    mutable qsizetype m_CacheBytes = 0;
};
