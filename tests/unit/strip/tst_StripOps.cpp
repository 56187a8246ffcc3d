#include "config/GlobalSettings.h"
#include "mainwnd/StripPainter.h"
#include "monitor/MonitorTable.h"
#include "strip/GripArt.h"
#include "support/StripFixture.h"

#include <QTest>

namespace {

// Fixed widths so the fit rule is exact: 6 pixels a character in the title font, 5 in the small.
int FakeMeasure(StripFontKind kind, const QString& text) {
    return static_cast<int>(text.size()) * (kind == StripFontKind::Title ? 6 : 5);
}

QString Rect(const StripRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}
QString Point(QPoint p) {
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
}
QString Size(QSize s) {
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

QString Describe(const StripDrawOp& op) {
    switch (op.Type) {
    case StripDrawOp::Kind::FillRect:
        return "fill " + Rect(op.Rect) + " " + op.Colour.name();
    case StripDrawOp::Kind::FrameRect:
        return "frame " + Rect(op.Rect) + " " + op.Colour.name();
    case StripDrawOp::Kind::Line:
        return "line " + Point(op.From) + ">" + Point(op.To) + " " + op.Colour.name();
    case StripDrawOp::Kind::SelectionLine:
        return "dots " + Point(op.From) + ">" + Point(op.To) + " " + op.Colour.name();
    case StripDrawOp::Kind::BitmapCopy:
        return "bitmap " + Rect(op.Rect) + " src " + Size(op.SourceSize) + " img " + Size(op.Image.size());
    case StripDrawOp::Kind::IconStretched:
        return "icon " + Rect(op.Rect) + " img " + Size(op.Image.size());
    case StripDrawOp::Kind::Text: {
        const QString align = (op.Flags & Qt::AlignHCenter) ? "centre" : "left";
        return QStringLiteral("text %1 %2 %3 %4 '%5'")
            .arg(op.Font == StripFontKind::Title ? "title" : "small", Rect(op.Rect), align, op.Colour.name(),
                 op.Text);
    }
    }
    return "?";
}

QStringList DescribeAll(const std::vector<StripDrawOp>& ops, int skip = 0) {
    QStringList out;
    for (std::size_t i = static_cast<std::size_t>(skip); i < ops.size(); ++i)
        out << Describe(ops[i]);
    return out;
}

QImage Solid(int w, int h, QRgb c) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}

// A strip of 90 x 80 boxes, every line shown, with recognisable colours: on-line box green, off-line
// box red, on-line text blue, off-line text cyan (colour values are 0x00BBGGRR).
struct Fixture : CStripFixture {
    QImage HGrip = GripArt::Horizontal();
    QImage VGrip = GripArt::Vertical();

    CMonitorBox& Add(MonitorStatus status, int method = MethodPing) {
        CMonitorBox& b = AddBox(status, method, 0x0000FF00, 0x000000FF, 0x00FF0000, 0x00FFFF00);
        b.OnLineBitmap.Attach(Solid(40, 20, qRgb(1, 2, 3)));
        b.OffLineBitmap.Attach(Solid(100, 100, qRgb(4, 5, 6)));
        return b;
    }

    std::vector<StripDrawOp> Build() {
        return BuildStripOps(Table, Settings, Selection, FakeMeasure, HGrip, VGrip);
    }
};

} // namespace

class tst_StripOps : public QObject {
    Q_OBJECT
private slots:
    void colourRef();
    void emptyStrip_data();
    void emptyStrip();
    void outline_data();
    void outline();
    void boxByStatus_data();
    void boxByStatus();
    void wholeStripOrder();
    void textColourCarriesOver();
    void errorStatusText_data();
    void errorStatusText();
    void displayOptions_data();
    void displayOptions();
    void fitRule_data();
    void fitRule();
    void pictures_data();
    void pictures();
    void selection_data();
    void selection();
};

void tst_StripOps::colourRef() {
    QCOMPARE(ColorFromRef(0x00332211), QColor(0x11, 0x22, 0x33));
    QCOMPARE(ColorFromRef(0xFF000000), QColor(0, 0, 0)); // the high byte is not a colour
    QCOMPARE(SelectionColour(), QColor(154, 1, 39));
}

void tst_StripOps::emptyStrip_data() {
    QTest::addColumn<int>("winPos");
    QTest::addColumn<QStringList>("ops");
    QTest::newRow("horizontal") << 1
                                << QStringList{"bitmap 1,1,8,301 src 7x300 img 7x300",
                                               "frame 0,0,8,82 #000000", "line 7,0>7,81 #000000"};
    QTest::newRow("vertical") << 0
                              << QStringList{"bitmap 1,1,301,8 src 300x7 img 300x7", "frame 0,0,92,8 #000000",
                                             "line 0,7>91,7 #000000"};
}

// NumBox 0: only the grip, the frame and the first separator.
void tst_StripOps::emptyStrip() {
    QFETCH(int, winPos);
    QFETCH(QStringList, ops);
    Fixture f;
    f.Settings.WinPos = winPos;
    f.Selection = StripSelection{1, 1, 0}; // a mark on a box that isn't there draws nothing either
    QCOMPARE(DescribeAll(f.Build()), ops);
}

void tst_StripOps::outline_data() {
    QTest::addColumn<int>("winPos");
    QTest::addColumn<QStringList>("ops");
    QTest::newRow("horizontal 3") << 1
                                  << QStringList{"bitmap 1,1,8,301 src 7x300 img 7x300",
                                                 "frame 0,0,281,82 #000000", "line 7,0>7,81 #000000",
                                                 "line 98,0>98,81 #000000", "line 189,0>189,81 #000000"};
    QTest::newRow("vertical 3") << 0
                                << QStringList{"bitmap 1,1,301,8 src 300x7 img 300x7",
                                               "frame 0,0,92,251 #000000", "line 0,7>91,7 #000000",
                                               "line 0,88>91,88 #000000", "line 0,169>91,169 #000000"};
}

void tst_StripOps::outline() {
    QFETCH(int, winPos);
    QFETCH(QStringList, ops);
    Fixture f;
    f.Settings.WinPos = winPos;
    for (int i = 0; i < 3; ++i)
        f.Add(MonitorStatus::NoStatus);
    const std::vector<StripDrawOp> built = f.Build();
    QCOMPARE(DescribeAll(built).mid(0, 5), ops);
}

void tst_StripOps::boxByStatus_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("method");
    QTest::addColumn<QStringList>("ops");
    // One box at 8,1..98,81; picture area 8,42..98,67.
    QTest::newRow("ping up") << 2 << 1
                             << QStringList{"fill 8,1,98,81 #00ff00",
                                            "bitmap 33,44,73,64 src 40x20 img 40x20",
                                            "text title 8,68,98,81 centre #0000ff 'Host'",
                                            "text small 8,0,98,12 centre #0000ff '10.0.0.1'",
                                            "text small 8,10,98,22 centre #0000ff 'Method: Ping'",
                                            "text small 8,20,98,32 centre #0000ff 'Status: Up'",
                                            "text small 8,30,98,42 centre #0000ff 'Reply: 12 ms'"};
    QTest::newRow("tcp open") << 2 << 2
                              << QStringList{"fill 8,1,98,81 #00ff00",
                                             "bitmap 33,44,73,64 src 40x20 img 40x20",
                                             "text title 8,68,98,81 centre #0000ff 'Host'",
                                             "text small 8,0,98,12 centre #0000ff '10.0.0.1'",
                                             "text small 8,10,98,22 centre #0000ff 'Method: TCP 443'",
                                             "text small 8,20,98,32 centre #0000ff 'Status: Open'",
                                             "text small 8,30,98,42 centre #0000ff 'Reply: 12 ms'"};
    QTest::newRow("ping down") << 1 << 1
                               << QStringList{"fill 8,1,98,81 #ff0000",
                                              "bitmap 8,42,98,67 src 90x25 img 100x100",
                                              "text title 8,68,98,81 centre #00ffff 'Host'",
                                              "text small 8,0,98,12 centre #00ffff '10.0.0.1'",
                                              "text small 8,10,98,22 centre #00ffff 'Method: Ping'",
                                              "text small 8,20,98,32 centre #00ffff 'Status: Down'",
                                              "text small 8,30,98,42 centre #00ffff 'Reply: Timeout'"};
    QTest::newRow("tcp close") << 7 << 2
                               << QStringList{"fill 8,1,98,81 #ff0000",
                                              "bitmap 8,42,98,67 src 90x25 img 100x100",
                                              "text title 8,68,98,81 centre #00ffff 'Host'",
                                              "text small 8,0,98,12 centre #00ffff '10.0.0.1'",
                                              "text small 8,10,98,22 centre #00ffff 'Method: TCP 443'",
                                              "text small 8,20,98,32 centre #00ffff 'Status: Close'",
                                              "text small 8,30,98,42 centre #00ffff 'Reply: 12 ms'"};
    QTest::newRow("neterror") << 4 << 1
                              << QStringList{"fill 8,1,98,81 #ffffff",
                                             "text title 8,68,98,81 centre #000000 'Host'",
                                             "text title 8,53,98,81 centre #000000 'NET ERROR'",
                                             "text small 8,0,98,12 centre #000000 '10.0.0.1'",
                                             "text small 8,10,98,22 centre #000000 'Method: Ping'"};
    QTest::newRow("iperror") << 5 << 2
                             << QStringList{"text title 8,68,98,81 centre #000000 'Host'",
                                            "text title 8,53,98,81 centre #000000 'IP ERROR'",
                                            "text small 8,0,98,12 centre #000000 '10.0.0.1'",
                                            "text small 8,10,98,22 centre #000000 'Method: TCP 443'"};
    QTest::newRow("checking") << 6 << 1
                              << QStringList{"text title 8,68,98,81 centre #000000 'Host'",
                                             "text title 8,53,98,81 centre #000000 'CHECKING'",
                                             "text small 8,0,98,12 centre #000000 '10.0.0.1'",
                                             "text small 8,10,98,22 centre #000000 'Method: Ping'"};
    QTest::newRow("nostatus") << 0 << 1
                              << QStringList{"text title 8,68,98,81 centre #000000 'Host'",
                                             "text small 8,0,98,12 centre #000000 '10.0.0.1'",
                                             "text small 8,10,98,22 centre #000000 'Method: Ping'"};
}

void tst_StripOps::boxByStatus() {
    QFETCH(int, status);
    QFETCH(int, method);
    QFETCH(QStringList, ops);
    Fixture f;
    f.Add(static_cast<MonitorStatus>(status), method);
    const std::vector<StripDrawOp> built = f.Build();
    QCOMPARE(DescribeAll(built, 3), ops);
    for (const StripDrawOp& op : built)
        if (op.Type == StripDrawOp::Kind::Text)
            QCOMPARE(op.Flags & StripTextFlags, StripTextFlags);
}

// Fills of every box, then pictures, then texts box by box, then the mark.
void tst_StripOps::wholeStripOrder() {
    Fixture f;
    f.Add(MonitorStatus::Up);
    f.Add(MonitorStatus::Down).Text = "B";
    f.Settings.ShowStatus = false;
    f.Settings.ShowIPandMethod = false; // P stays 41 for the reply line
    f.Selection = StripSelection{2, 1, 0};
    const QStringList expected{
        "bitmap 1,1,8,301 src 7x300 img 7x300",
        "frame 0,0,190,82 #000000",
        "line 7,0>7,81 #000000",
        "line 98,0>98,81 #000000",
        "fill 8,1,98,81 #00ff00",
        "fill 99,1,189,81 #ff0000",
        "bitmap 33,44,73,64 src 40x20 img 40x20",
        "bitmap 99,42,189,67 src 90x25 img 100x100",
        "text title 8,68,98,81 centre #0000ff 'Host'",
        "text small 8,30,98,42 centre #0000ff 'Reply: 12 ms'",
        "text title 99,68,189,81 centre #00ffff 'B'",
        "text small 99,30,189,42 centre #00ffff 'Reply: Timeout'",
        "dots 99,1>188,1 #9a0127",
        "dots 188,1>188,80 #9a0127",
        "dots 188,80>99,80 #9a0127",
        "dots 99,80>99,1 #9a0127",
    };
    QCOMPARE(DescribeAll(f.Build()), expected);
}

// A status that sets no text colour keeps the one the box before it left; the error states
// set black.
void tst_StripOps::textColourCarriesOver() {
    Fixture f;
    f.Add(MonitorStatus::Up);
    f.Add(MonitorStatus::NoStatus);
    f.Add(MonitorStatus::Close, MethodTcp);
    f.Add(MonitorStatus::NoStatus);
    f.Add(MonitorStatus::NETERROR);
    f.Add(MonitorStatus::NoStatus);
    QStringList titles;
    for (const StripDrawOp& op : f.Build())
        if (op.Type == StripDrawOp::Kind::Text && op.Text == "Host")
            titles << op.Colour.name();
    QCOMPARE(titles, (QStringList{"#0000ff", "#0000ff", "#00ffff", "#00ffff", "#000000", "#000000"}));
}

void tst_StripOps::errorStatusText_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("statusText");
    QTest::newRow("neterror") << 4 << "NET ERROR";
    QTest::newRow("iperror") << 5 << "IP ERROR";
    QTest::newRow("checking") << 6 << "CHECKING";
    QTest::newRow("up keeps it") << 2 << "previous";
    QTest::newRow("down keeps it") << 1 << "previous";
    QTest::newRow("nostatus keeps it") << 0 << "previous";
}

void tst_StripOps::errorStatusText() {
    QFETCH(int, status);
    QFETCH(QString, statusText);
    Fixture f;
    f.Add(static_cast<MonitorStatus>(status)).StatusText = "previous";
    f.Build();
    QCOMPARE(f.Table.Slots[0]->StatusText, statusText);
}

void tst_StripOps::displayOptions_data() {
    QTest::addColumn<bool>("reply");
    QTest::addColumn<bool>("status");
    QTest::addColumn<bool>("ipMethod");
    QTest::addColumn<QStringList>("ops");
    const QString fill = "fill 8,1,98,81 #00ff00";
    const QString title = "text title 8,68,98,81 centre #0000ff 'Host'";
    QTest::newRow("none: picture from 1 below the top")
        << false << false << false << QStringList{fill, "bitmap 33,24,73,44 src 40x20 img 40x20", title};
    QTest::newRow("address only: picture from 22 below")
        << false << false << true
        << QStringList{fill, "bitmap 33,35,73,55 src 40x20 img 40x20", title,
                       "text small 8,0,98,12 centre #0000ff '10.0.0.1'",
                       "text small 8,10,98,22 centre #0000ff 'Method: Ping'"};
    QTest::newRow("status only") << false << true << false
                                 << QStringList{fill, "bitmap 33,40,73,60 src 40x20 img 40x20", title,
                                                "text small 8,20,98,32 centre #0000ff 'Status: Up'"};
    QTest::newRow("reply only") << true << false << false
                                << QStringList{fill, "bitmap 33,44,73,64 src 40x20 img 40x20", title,
                                               "text small 8,30,98,42 centre #0000ff 'Reply: 12 ms'"};
}

void tst_StripOps::displayOptions() {
    QFETCH(bool, reply);
    QFETCH(bool, status);
    QFETCH(bool, ipMethod);
    QFETCH(QStringList, ops);
    Fixture f;
    f.Settings.ShowReplyTime = reply;
    f.Settings.ShowStatus = status;
    f.Settings.ShowIPandMethod = ipMethod;
    f.Add(MonitorStatus::Up);
    QCOMPARE(DescribeAll(f.Build(), 3), ops);
}

void tst_StripOps::fitRule_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("titleAlign");
    QTest::addColumn<QString>("addressAlign");
    // Box width 90: 15 title characters or 18 address characters just fit.
    QTest::newRow("both fit exactly") << QString(15, 'x') << QString(18, 'a') << "centre"
                                      << "centre";
    QTest::newRow("both one too wide") << QString(16, 'x') << QString(19, 'a') << "left"
                                       << "left";
    QTest::newRow("short") << "Srv"
                           << "h"
                           << "centre"
                           << "centre";
    // The measure sees the raw text, ampersands included.
    QTest::newRow("ampersand counts in the measure") << "Print&Scan&Copy"
                                                     << "a&b"
                                                     << "centre"
                                                     << "centre";
    QTest::newRow("ampersand tips it over") << "Print&&Scan&Copy" << QString(18, '&') + "a"
                                            << "left"
                                            << "left";
}

void tst_StripOps::fitRule() {
    QFETCH(QString, title);
    QFETCH(QString, address);
    QFETCH(QString, titleAlign);
    QFETCH(QString, addressAlign);
    Fixture f;
    CMonitorBox& b = f.Add(MonitorStatus::CHECKING);
    b.Text = title;
    b.IPAdress = address;
    const QStringList ops = DescribeAll(f.Build(), 3);
    QCOMPARE(ops.value(0), QStringLiteral("text title 8,68,98,81 %1 #000000 '%2'").arg(titleAlign, title));
    QCOMPARE(ops.value(2), QStringLiteral("text small 8,0,98,12 %1 #000000 '%2'").arg(addressAlign, address));
}

void tst_StripOps::pictures_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("picType");
    QTest::addColumn<int>("yBox");
    QTest::addColumn<QString>("picture"); // empty: no picture drawn
    QTest::newRow("square icon 32 drawn 25x25 centred") << 2 << 1 << 80 << "icon 41,42,66,67 img 32x32";
    QTest::newRow("icon 48x32 drawn 48x25") << 1 << 1 << 80 << "icon 29,42,77,67 img 48x32";
    QTest::newRow("close uses the off-line icon") << 7 << 1 << 80 << "icon 29,42,77,67 img 48x32";
    QTest::newRow("bitmap 100x100 cut to 90x25") << 1 << 0 << 80 << "bitmap 8,42,98,67 src 90x25 img 100x100";
    QTest::newRow("picture type 2 draws nothing") << 2 << 2 << 80 << "";
    QTest::newRow("neterror draws no picture") << 4 << 0 << 80 << "";
    QTest::newRow("checking draws no picture") << 6 << 1 << 80 << "";
    QTest::newRow("box too low for a picture") << 2 << 0 << 55 << "";
    QTest::newRow("one row of picture") << 2 << 0 << 56 << "bitmap 33,42,73,43 src 40x1 img 40x20";
}

void tst_StripOps::pictures() {
    QFETCH(int, status);
    QFETCH(int, picType);
    QFETCH(int, yBox);
    QFETCH(QString, picture);
    Fixture f;
    f.Settings.YBox = yBox;
    CMonitorBox& b = f.Add(static_cast<MonitorStatus>(status));
    b.PicTypeOnLine = picType;
    b.PicTypeOffLine = picType;
    b.OnLineIcon = CBoxIcon{Solid(32, 32, qRgb(9, 9, 9)), 32, 32};
    b.OffLineIcon = CBoxIcon{Solid(48, 32, qRgb(8, 8, 8)), 48, 32};
    QStringList got;
    for (const StripDrawOp& op : f.Build())
        if ((op.Type == StripDrawOp::Kind::BitmapCopy && op.Image.width() != GripArt::Thickness) ||
            op.Type == StripDrawOp::Kind::IconStretched)
            got << Describe(op);
    QCOMPARE(got, picture.isEmpty() ? QStringList() : QStringList{picture});
}

void tst_StripOps::selection_data() {
    QTest::addColumn<int>("winPos");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("show");
    QTest::addColumn<int>("insertion");
    QTest::addColumn<QStringList>("dots");
    QTest::newRow("frame on box 2") << 1 << 2 << 1 << 0
                                    << QStringList{"99,1>188,1", "188,1>188,80", "188,80>99,80",
                                                   "99,80>99,1"};
    QTest::newRow("insertion line right of box 2") << 1 << 2 << 1 << 1 << QStringList{"188,1>188,80"};
    QTest::newRow("vertical frame on box 2")
        << 0 << 2 << 1 << 0 << QStringList{"1,89>90,89", "90,89>90,168", "90,168>1,168", "1,168>1,89"};
    QTest::newRow("vertical insertion line under box 2") << 0 << 2 << 1 << 1 << QStringList{"90,168>1,168"};
    QTest::newRow("hidden") << 1 << 2 << 0 << 0 << QStringList{};
    QTest::newRow("grip selected") << 1 << 0 << 1 << 0 << QStringList{};
    QTest::newRow("past the last box") << 1 << 4 << 1 << 0 << QStringList{};
}

void tst_StripOps::selection() {
    QFETCH(int, winPos);
    QFETCH(int, selected);
    QFETCH(int, show);
    QFETCH(int, insertion);
    QFETCH(QStringList, dots);
    Fixture f;
    f.Settings.WinPos = winPos;
    for (int i = 0; i < 3; ++i)
        f.Add(MonitorStatus::Up);
    f.Selection = StripSelection{selected, show, insertion};
    const std::vector<StripDrawOp> ops = f.Build();
    QStringList got;
    for (const StripDrawOp& op : ops)
        if (op.Type == StripDrawOp::Kind::SelectionLine) {
            QCOMPARE(op.Colour, SelectionColour());
            got << Point(op.From) + ">" + Point(op.To);
        }
    QCOMPARE(got, dots);
    if (!dots.isEmpty())
        QCOMPARE(ops.back().Type, StripDrawOp::Kind::SelectionLine); // drawn last, over everything
}

QTEST_APPLESS_MAIN(tst_StripOps)
#include "tst_StripOps.moc"
