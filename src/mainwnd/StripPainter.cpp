#include "mainwnd/StripPainter.h"

#include "config/GlobalSettings.h"
#include "mainwnd/GripArt.h"
#include "monitor/MonitorTable.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

QColor ColorFromRef(std::uint32_t ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

namespace {

const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);

bool IsOffLine(MonitorStatus s) {
    return s == MonitorStatus::Down || s == MonitorStatus::Close;
}
bool HasStatusLines(MonitorStatus s) {
    return s == MonitorStatus::Up || IsOffLine(s);
}

StripDrawOp Fill(const StripRect& rect, const QColor& colour) {
    StripDrawOp op;
    op.Type = StripDrawOp::Kind::FillRect;
    op.Rect = rect;
    op.Colour = colour;
    return op;
}

StripDrawOp Line(QPoint from, QPoint to, StripDrawOp::Kind kind, const QColor& colour) {
    StripDrawOp op;
    op.Type = kind;
    op.From = from;
    op.To = to;
    op.Colour = colour;
    return op;
}

StripDrawOp TextOp(const StripRect& rect, const QString& text, int flags, const QColor& colour,
                   StripFontKind font) {
    StripDrawOp op;
    op.Type = StripDrawOp::Kind::Text;
    op.Rect = rect;
    op.Text = text;
    op.Flags = flags;
    op.Colour = colour;
    op.Font = font;
    return op;
}

int FitFlags(int textWidth, int boxWidth) {
    return StripTextFlags | (CentreFits(textWidth, boxWidth) ? Qt::AlignHCenter : Qt::AlignLeft);
}

void AddPicture(std::vector<StripDrawOp>& ops, const CMonitorBox& box, const StripRect& area) {
    const bool onLine = box.Status == MonitorStatus::Up;
    if (!onLine && !IsOffLine(box.Status))
        return;
    const int picType = onLine ? box.PicTypeOnLine : box.PicTypeOffLine;
    StripDrawOp op;
    QSize drawn;
    if (picType == 0) {
        const CKBitmap& bitmap = onLine ? box.OnLineBitmap : box.OffLineBitmap;
        if (bitmap.IsNull())
            return;
        drawn = BitmapDrawnSize(bitmap.Image.width(), bitmap.Image.height(), area);
        op.Type = StripDrawOp::Kind::BitmapCopy;
        op.Image = bitmap.Image;
        op.SourceSize = drawn;
    } else if (picType == 1) {
        const CBoxIcon& icon = onLine ? box.OnLineIcon : box.OffLineIcon;
        if (icon.IsNull())
            return;
        drawn = IconDrawnSize(icon.Width, icon.Height, area);
        op.Type = StripDrawOp::Kind::IconStretched;
        op.Image = icon.Image;
    } else {
        return;
    }
    // A box too low for its text lines has no picture area left.
    if (drawn.width() <= 0 || drawn.height() <= 0)
        return;
    op.Rect = PicturePlacement(area, drawn);
    ops.push_back(std::move(op));
}

} // namespace

std::vector<StripDrawOp> BuildStripOps(CMonitorTable& table, const CGlobalSettings& settings,
                                       const StripSelection& selection, const StripTextMeasure& measure,
                                       const QImage& horizontalGrip, const QImage& verticalGrip) {
    const StripGeometry g = StripGeometry::From(settings, std::clamp(table.NumBox, 0, MaxMonitors));
    const QSize size = StripSize(g);
    const int n = g.NumBox;
    std::vector<StripDrawOp> ops;
    ops.reserve(4 + static_cast<std::size_t>(n) * 9 + 4);

    const QImage& grip = g.Horizontal ? horizontalGrip : verticalGrip;
    {
        StripDrawOp op;
        op.Type = StripDrawOp::Kind::BitmapCopy;
        op.Image = grip;
        op.SourceSize = grip.size();
        op.Rect = StripRect{1, 1, 1 + grip.width(), 1 + grip.height()};
        ops.push_back(std::move(op));
    }

    {
        StripDrawOp op;
        op.Type = StripDrawOp::Kind::FrameRect;
        op.Rect = StripRect{0, 0, size.width(), size.height()};
        op.Colour = Black;
        ops.push_back(std::move(op));
    }
    for (int k = 0; k < std::max(n, 1); ++k) {
        if (g.Horizontal) {
            const int x = k * (g.XBox + 1) + 7;
            ops.push_back(Line(QPoint(x, 0), QPoint(x, g.YBox + 1), StripDrawOp::Kind::Line, Black));
        } else {
            const int y = k * (g.YBox + 1) + 7;
            ops.push_back(Line(QPoint(0, y), QPoint(g.XBox + 1, y), StripDrawOp::Kind::Line, Black));
        }
    }

    for (int k = 1; k <= n; ++k) {
        const CMonitorBox* box = table.At(k - 1);
        if (!box)
            continue;
        const StripRect rect = BoxRect(g, k);
        if (box->Status == MonitorStatus::Up)
            ops.push_back(Fill(rect, ColorFromRef(box->OnLineBoxColor)));
        else if (IsOffLine(box->Status))
            ops.push_back(Fill(rect, ColorFromRef(box->OffLineBoxColor)));
        else if (box->Status == MonitorStatus::NETERROR)
            ops.push_back(Fill(rect, White));
    }

    const int p = TextBandHeight(settings.ShowReplyTime, settings.ShowStatus, settings.ShowIPandMethod);
    for (int k = 1; k <= n; ++k) {
        const CMonitorBox* box = table.At(k - 1);
        if (box)
            AddPicture(ops, *box, PictureAreaRect(BoxRect(g, k), p));
    }

    // The text colour carries over from box to box when a status sets none, as on a device
    // context whose colour is only changed, never reset.
    QColor textColour = Black;
    for (int k = 1; k <= n; ++k) {
        CMonitorBox* box = table.At(k - 1);
        if (!box)
            continue;
        const StripRect rect = BoxRect(g, k);
        const MonitorStatus s = box->Status;
        if (s == MonitorStatus::Up)
            textColour = ColorFromRef(box->OnLineTextColor);
        else if (IsOffLine(s))
            textColour = ColorFromRef(box->OffLineTextColor);
        else if (ErrorStatusText(s))
            textColour = Black;

        if (!box->Text.isEmpty())
            ops.push_back(TextOp(TitleBandRect(rect), box->Text,
                                 FitFlags(measure(StripFontKind::Title, box->Text), g.XBox), textColour,
                                 StripFontKind::Title));

        if (const char* error = ErrorStatusText(s)) {
            box->StatusText = QString::fromLatin1(error);
            ops.push_back(TextOp(ErrorBandRect(rect), box->StatusText, StripTextFlags | Qt::AlignHCenter,
                                 Black, StripFontKind::Title));
        }

        if (settings.ShowIPandMethod) {
            if (!box->IPAdress.isEmpty())
                ops.push_back(TextOp(AddressLineRect(rect), box->IPAdress,
                                     FitFlags(measure(StripFontKind::Small, box->IPAdress), g.XBox),
                                     textColour, StripFontKind::Small));
            const QString method = MethodText(box->VerifyMetod, box->Port);
            if (!method.isEmpty())
                ops.push_back(TextOp(MethodLineRect(rect), method, StripTextFlags | Qt::AlignHCenter,
                                     textColour, StripFontKind::Small));
        }
        if (settings.ShowStatus && HasStatusLines(s)) {
            const QString status = StatusLineText(s, box->VerifyMetod);
            if (!status.isEmpty())
                ops.push_back(TextOp(StatusLineRect(rect), status, StripTextFlags | Qt::AlignHCenter,
                                     textColour, StripFontKind::Small));
        }
        if (settings.ShowReplyTime && HasStatusLines(s))
            ops.push_back(TextOp(ReplyLineRect(rect), ReplyText(s, box->ReplyTime),
                                 StripTextFlags | Qt::AlignHCenter, textColour, StripFontKind::Small));
    }

    if (selection.ShowSelection && selection.SelectedBox >= 1 && selection.SelectedBox <= n) {
        const StripRect m = SelectionMarkRect(g, selection.SelectedBox);
        const QPoint tl(m.Left, m.Top), tr(m.Right, m.Top), br(m.Right, m.Bottom), bl(m.Left, m.Bottom);
        const auto mark = [&](QPoint from, QPoint to) {
            ops.push_back(Line(from, to, StripDrawOp::Kind::SelectionLine, SelectionColour()));
        };
        if (selection.InsertionMark == 0) {
            mark(tl, tr);
            mark(tr, br);
            mark(br, bl);
            mark(bl, tl);
        } else if (g.Horizontal) {
            mark(tr, br);
        } else {
            mark(br, bl);
        }
    }
    return ops;
}

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
    return StripFonts{CellFont(family, 600), CellFont(family, QFont::Normal)};
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
