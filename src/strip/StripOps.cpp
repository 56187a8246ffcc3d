#include "strip/StripOps.h"

#include "config/GlobalSettings.h"
#include "monitor/MonitorTable.h"

#include <algorithm>

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

void AddGrip(std::vector<StripDrawOp>& ops, const QImage& grip) {
    StripDrawOp op;
    op.Type = StripDrawOp::Kind::BitmapCopy;
    op.Image = grip;
    op.SourceSize = grip.size();
    op.Rect = StripRect{1, 1, 1 + grip.width(), 1 + grip.height()};
    ops.push_back(std::move(op));
}

// The outer frame and the line before each box (one at least, after the grip).
void AddFrameAndSeparators(std::vector<StripDrawOp>& ops, const StripGeometry& g) {
    const QSize size = StripSize(g);
    StripDrawOp frame;
    frame.Type = StripDrawOp::Kind::FrameRect;
    frame.Rect = StripRect{0, 0, size.width(), size.height()};
    frame.Colour = Black;
    ops.push_back(std::move(frame));
    for (int k = 0; k < std::max(g.NumBox, 1); ++k) {
        if (g.Horizontal) {
            const int x = k * (g.XBox + 1) + 7;
            ops.push_back(Line(QPoint(x, 0), QPoint(x, g.YBox + 1), StripDrawOp::Kind::Line, Black));
        } else {
            const int y = k * (g.YBox + 1) + 7;
            ops.push_back(Line(QPoint(0, y), QPoint(g.XBox + 1, y), StripDrawOp::Kind::Line, Black));
        }
    }
}

void AddFills(std::vector<StripDrawOp>& ops, const StripGeometry& g, const CMonitorTable& table) {
    for (int k = 1; k <= g.NumBox; ++k) {
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
}

void AddPictures(std::vector<StripDrawOp>& ops, const StripGeometry& g, const CMonitorTable& table,
                 const CGlobalSettings& settings) {
    const int p = TextBandHeight(settings.ShowReplyTime, settings.ShowStatus, settings.ShowIPandMethod);
    for (int k = 1; k <= g.NumBox; ++k) {
        if (const CMonitorBox* box = table.At(k - 1))
            AddPicture(ops, *box, PictureAreaRect(BoxRect(g, k), p));
    }
}

// The texts of one box in `textColour`, which the box's status may change for this box and the
// ones after it.
void AddBoxTexts(std::vector<StripDrawOp>& ops, const StripGeometry& g, const StripRect& rect,
                 CMonitorBox& box, const CGlobalSettings& settings, const StripTextMeasure& measure,
                 QColor& textColour) {
    const MonitorStatus s = box.Status;
    if (s == MonitorStatus::Up)
        textColour = ColorFromRef(box.OnLineTextColor);
    else if (IsOffLine(s))
        textColour = ColorFromRef(box.OffLineTextColor);
    else if (ErrorStatusText(s))
        textColour = Black;

    if (!box.Text.isEmpty())
        ops.push_back(TextOp(TitleBandRect(rect), box.Text,
                             FitFlags(measure(StripFontKind::Title, box.Text), g.XBox), textColour,
                             StripFontKind::Title));

    if (box.UpdateStatusText())
        ops.push_back(TextOp(ErrorBandRect(rect), box.StatusText, StripTextFlags | Qt::AlignHCenter, Black,
                             StripFontKind::Title));

    if (settings.ShowIPandMethod) {
        if (!box.IPAdress.isEmpty())
            ops.push_back(TextOp(AddressLineRect(rect), box.IPAdress,
                                 FitFlags(measure(StripFontKind::Small, box.IPAdress), g.XBox), textColour,
                                 StripFontKind::Small));
        const QString method = MethodText(box.VerifyMetod, box.Port);
        if (!method.isEmpty())
            ops.push_back(TextOp(MethodLineRect(rect), method, StripTextFlags | Qt::AlignHCenter, textColour,
                                 StripFontKind::Small));
    }
    if (settings.ShowStatus && HasStatusLines(s)) {
        const QString status = StatusLineText(s, box.VerifyMetod);
        if (!status.isEmpty())
            ops.push_back(TextOp(StatusLineRect(rect), status, StripTextFlags | Qt::AlignHCenter, textColour,
                                 StripFontKind::Small));
    }
    if (settings.ShowReplyTime && HasStatusLines(s))
        ops.push_back(TextOp(ReplyLineRect(rect), ReplyText(s, box.ReplyTime),
                             StripTextFlags | Qt::AlignHCenter, textColour, StripFontKind::Small));
}

void AddTexts(std::vector<StripDrawOp>& ops, const StripGeometry& g, CMonitorTable& table,
              const CGlobalSettings& settings, const StripTextMeasure& measure) {
    // The text colour carries over from box to box when a status sets none, as on a device
    // context whose colour is only changed, never reset.
    QColor textColour = Black;
    for (int k = 1; k <= g.NumBox; ++k) {
        if (CMonitorBox* box = table.At(k - 1))
            AddBoxTexts(ops, g, BoxRect(g, k), *box, settings, measure, textColour);
    }
}

void AddSelection(std::vector<StripDrawOp>& ops, const StripGeometry& g, const StripSelection& selection) {
    if (!selection.ShowSelection || selection.SelectedBox < 1 || selection.SelectedBox > g.NumBox)
        return;
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

} // namespace

std::vector<StripDrawOp> BuildStripOps(CMonitorTable& table, const CGlobalSettings& settings,
                                       const StripSelection& selection, const StripTextMeasure& measure,
                                       const QImage& horizontalGrip, const QImage& verticalGrip) {
    const StripGeometry g = StripGeometry::From(settings, std::clamp(table.NumBox, 0, MaxMonitors));
    std::vector<StripDrawOp> ops;
    ops.reserve(4 + static_cast<std::size_t>(g.NumBox) * 9 + 4);
    AddGrip(ops, g.Horizontal ? horizontalGrip : verticalGrip);
    AddFrameAndSeparators(ops, g);
    AddFills(ops, g, table);
    AddPictures(ops, g, table, settings);
    AddTexts(ops, g, table, settings, measure);
    AddSelection(ops, g, selection);
    return ops;
}
