#include "mainwnd/StripPainter.h"

#include "strip/FontFit.h"
#include "strip/GripArt.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cstdlib>

QString StripFonts::PickFamily() {
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("Verdana"), Qt::CaseInsensitive))
        return QStringLiteral("Verdana");
    QFont probe(QStringLiteral("Verdana"));
    probe.setStyleHint(QFont::SansSerif);
    const QString resolved = QFontInfo(probe).family();
    if (!resolved.isEmpty())
        return resolved;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

namespace {

// The largest pixel size whose cell (ascent + descent) is at most 12 pixels.
QFont CellFont(const QString& family, int weight) {
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(weight));
    for (int px = 12; px >= 6; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).height() <= 12)
            break;
    }
    return font;
}

// The strip's texts were laid out for fonts of these average widths; another face keeps its
// height and takes the stretch at which its own average comes nearest.
QFont FittedToWidth(QFont font, int averageWidth) {
    font.setStretch(StretchForAverageWidth(averageWidth, [font](int stretch) mutable {
        font.setStretch(stretch);
        return QFontMetricsF(font).averageCharWidth();
    }));
    return font;
}

// Pixels of an axis-aligned line from `from` up to but not including `to`.
template <typename Plot> void WalkLine(QPoint from, QPoint to, Plot plot) {
    const int dx = (to.x() > from.x()) - (to.x() < from.x());
    const int dy = (to.y() > from.y()) - (to.y() < from.y());
    QPoint p = from;
    while (p != to) {
        plot(p);
        if (dx != 0 && p.x() != to.x())
            p.rx() += dx;
        else
            p.ry() += dy;
    }
}

// The pixels of an axis-aligned line as one rectangle.
QRect LineSpan(QPoint from, QPoint to) {
    if (from == to)
        return QRect();
    if (from.y() == to.y()) {
        const int left = from.x() < to.x() ? from.x() : to.x() + 1;
        return QRect(left, from.y(), std::abs(to.x() - from.x()), 1);
    }
    const int top = from.y() < to.y() ? from.y() : to.y() + 1;
    return QRect(from.x(), top, 1, std::abs(to.y() - from.y()));
}

constexpr int CacheLimit = 1024;
// Pictures kept between paints stay within this many bytes; anything larger is made for one paint.
constexpr qsizetype CacheBytes = 32 * 1024 * 1024;

} // namespace

StripFonts StripFonts::Make() {
    const QString family = PickFamily();
    return StripFonts{FittedToWidth(CellFont(family, 600), TitleAverageWidth),
                      FittedToWidth(CellFont(family, QFont::Normal), SmallAverageWidth)};
}

CStripPainter::CStripPainter()
    : m_Fonts(StripFonts::Make()), m_HorizontalGrip(GripArt::Horizontal()),
      m_VerticalGrip(GripArt::Vertical()) {}

StripTextMeasure CStripPainter::Measure() const {
    return [this](StripFontKind kind, const QString& text) {
        QHash<QString, int>& widths = m_Widths[kind == StripFontKind::Title ? 0 : 1];
        if (const auto it = widths.constFind(text); it != widths.constEnd())
            return it.value();
        if (widths.size() >= CacheLimit)
            widths.clear();
        const int width = QFontMetrics(m_Fonts.Of(kind)).horizontalAdvance(text);
        widths.insert(text, width);
        return width;
    };
}

QImage CStripPainter::Keep(QHash<QString, QImage>& cache, const QString& key, QImage image) const {
    const qsizetype bytes = image.sizeInBytes();
    if (bytes > CacheBytes / 8)
        return image;
    if (m_CacheBytes + bytes > CacheBytes || cache.size() >= CacheLimit) {
        m_TextImages.clear();
        m_ScaledIcons.clear();
        m_CacheBytes = 0;
    }
    m_CacheBytes += bytes;
    cache.insert(key, image);
    return image;
}

QImage CStripPainter::TextImage(const StripDrawOp& op, qreal dpr) const {
    const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6|")
                            .arg(static_cast<int>(op.Font))
                            .arg(op.Flags)
                            .arg(op.Colour.rgba())
                            .arg(op.Rect.Width())
                            .arg(op.Rect.Height())
                            .arg(dpr) +
                        op.Text;
    if (const auto it = m_TextImages.constFind(key); it != m_TextImages.constEnd())
        return it.value();

    const QSize size(op.Rect.Width(), op.Rect.Height());
    QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setFont(m_Fonts.Of(op.Font));
        p.setPen(op.Colour);
        p.drawText(QRect(QPoint(0, 0), size), op.Flags, op.Text);
    }
    return Keep(m_TextImages, key, std::move(image));
}

QImage CStripPainter::ScaledIcon(const StripDrawOp& op, qreal dpr) const {
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(op.Image.cacheKey())
                            .arg(op.Rect.Width())
                            .arg(op.Rect.Height())
                            .arg(dpr);
    if (const auto it = m_ScaledIcons.constFind(key); it != m_ScaledIcons.constEnd())
        return it.value();

    QImage image = op.Image.scaled((QSizeF(op.Rect.Width(), op.Rect.Height()) * dpr).toSize(),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(dpr);
    return Keep(m_ScaledIcons, key, std::move(image));
}

std::vector<StripDrawOp> CStripPainter::Build(CMonitorTable& table, const CGlobalSettings& settings,
                                              const StripSelection& selection) const {
    return BuildStripOps(table, settings, selection, Measure(), m_HorizontalGrip, m_VerticalGrip);
}

void CStripPainter::Draw(QPainter& painter, const QRect& client, const QColor& background,
                         const std::vector<StripDrawOp>& ops) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(client, background);
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    // The dot pattern runs on from one selection line to the next, as one pen would.
    int dotPhase = 0;
    for (const StripDrawOp& op : ops) {
        switch (op.Type) {
        case StripDrawOp::Kind::FillRect:
            painter.fillRect(op.Rect.ToQRect(), op.Colour);
            break;
        case StripDrawOp::Kind::FrameRect: {
            const QRect r = op.Rect.ToQRect();
            if (r.isEmpty())
                break;
            painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), op.Colour);
            painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), op.Colour);
            painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), op.Colour);
            painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), op.Colour);
            break;
        }
        case StripDrawOp::Kind::Line:
            painter.fillRect(LineSpan(op.From, op.To), op.Colour);
            break;
        case StripDrawOp::Kind::SelectionLine:
            WalkLine(op.From, op.To, [&](QPoint p) {
                if (dotPhase % 6 < 3)
                    painter.fillRect(QRect(p, QSize(1, 1)), op.Colour);
                ++dotPhase;
            });
            break;
        case StripDrawOp::Kind::BitmapCopy:
            if (!op.Image.isNull())
                painter.drawImage(QPoint(op.Rect.Left, op.Rect.Top), op.Image,
                                  QRect(QPoint(0, 0), op.SourceSize));
            break;
        case StripDrawOp::Kind::IconStretched:
            if (op.Image.isNull() || op.Rect.Width() <= 0 || op.Rect.Height() <= 0)
                break;
            if (qsizetype(op.Rect.Width()) * op.Rect.Height() * 4 * dpr * dpr > CacheBytes / 8) {
                painter.save();
                painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
                painter.drawImage(op.Rect.ToQRect(), op.Image);
                painter.restore();
            } else {
                painter.drawImage(QPoint(op.Rect.Left, op.Rect.Top), ScaledIcon(op, dpr));
            }
            break;
        case StripDrawOp::Kind::Text:
            // The text's own image is its rectangle, so what runs past the rectangle is cut.
            if (!op.Text.isEmpty() && op.Rect.Width() > 0 && op.Rect.Height() > 0)
                painter.drawImage(QPoint(op.Rect.Left, op.Rect.Top), TextImage(op, dpr));
            break;
        }
    }
    painter.restore();
}

void CStripPainter::Paint(QPainter& painter, const QRect& client, const QColor& background,
                          CMonitorTable& table, const CGlobalSettings& settings,
                          const StripSelection& selection) const {
    Draw(painter, client, background, Build(table, settings, selection));
}
