#include "config/GlobalSettings.h"
#include "strip/StripLayout.h"
#include "support/StripTestUtil.h"

#include <QTest>

Q_DECLARE_METATYPE(StripRect)

namespace {
StripGeometry Geo(int w, int h, int n, bool horizontal) {
    return StripGeometry{w, h, n, horizontal};
}
} // namespace

class tst_StripLayout : public QObject {
    Q_OBJECT
private slots:
    void stripSize_data();
    void stripSize();
    void boxRect_data();
    void boxRect();
    void boxesTileTheStrip_data();
    void boxesTileTheStrip();
    void boxFromPoint_data();
    void boxFromPoint();
    void geometryBounds_data();
    void geometryBounds();
    void geometryFromSettings();
    void textBand_data();
    void textBand();
    void zones();
    void pictureSize_data();
    void pictureSize();
    void placement_data();
    void placement();
    void lineTexts_data();
    void lineTexts();
    void methodText_data();
    void methodText();
    void centreFits();
    void selectionMark_data();
    void selectionMark();
};

void tst_StripLayout::stripSize_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QSize>("size");
    QTest::newRow("3 boxes horizontal") << 90 << 80 << 3 << true << QSize(281, 82);
    QTest::newRow("3 boxes vertical") << 90 << 80 << 3 << false << QSize(92, 251);
    QTest::newRow("no box horizontal") << 90 << 80 << 0 << true << QSize(8, 82);
    QTest::newRow("no box vertical") << 90 << 80 << 0 << false << QSize(92, 8);
    QTest::newRow("one box") << 60 << 40 << 1 << true << QSize(69, 42);
    QTest::newRow("60 boxes horizontal") << 90 << 80 << 60 << true << QSize(91 * 60 + 8, 82);
    QTest::newRow("60 boxes vertical") << 90 << 80 << 60 << false << QSize(92, 81 * 60 + 8);
}

void tst_StripLayout::stripSize() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, n);
    QFETCH(bool, horizontal);
    QFETCH(QSize, size);
    QCOMPARE(StripSize(Geo(w, h, n, horizontal)), size);
}

void tst_StripLayout::boxRect_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("k");
    QTest::addColumn<StripRect>("rect");
    QTest::newRow("h box 1") << true << 1 << StripRect{8, 1, 98, 81};
    QTest::newRow("h box 2 spans x 99..188") << true << 2 << StripRect{99, 1, 189, 81};
    QTest::newRow("h box 3") << true << 3 << StripRect{190, 1, 280, 81};
    QTest::newRow("v box 1") << false << 1 << StripRect{1, 8, 91, 88};
    QTest::newRow("v box 3 spans y 170..249") << false << 3 << StripRect{1, 170, 91, 250};
}

void tst_StripLayout::boxRect() {
    QFETCH(bool, horizontal);
    QFETCH(int, k);
    QFETCH(StripRect, rect);
    const StripRect r = BoxRect(Geo(90, 80, 3, horizontal), k);
    QCOMPARE(r, rect);
    QCOMPARE(r.Width(), 90);
    QCOMPARE(r.Height(), 80);
}

void tst_StripLayout::boxesTileTheStrip_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("horizontal") << true;
    QTest::newRow("vertical") << false;
}

// Every box ends one pixel before the next begins (the separator), and the last one ends one
// pixel before the strip's far frame.
void tst_StripLayout::boxesTileTheStrip() {
    QFETCH(bool, horizontal);
    const StripGeometry g = Geo(37, 23, 7, horizontal);
    const QSize size = StripSize(g);
    for (int k = 1; k < g.NumBox; ++k) {
        const StripRect a = BoxRect(g, k);
        const StripRect b = BoxRect(g, k + 1);
        if (horizontal)
            QCOMPARE(b.Left, a.Right + 1);
        else
            QCOMPARE(b.Top, a.Bottom + 1);
    }
    const StripRect last = BoxRect(g, g.NumBox);
    QCOMPARE(last.Right, size.width() - 1);
    QCOMPARE(last.Bottom, size.height() - 1);
}

void tst_StripLayout::boxFromPoint_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("box");
    QTest::newRow("x 98 is box 2 (its separator)") << true << 3 << 98 << 40 << 2;
    QTest::newRow("x 6 is the grip") << true << 3 << 6 << 40 << 0;
    QTest::newRow("x 280 (far frame) is box 3") << true << 3 << 280 << 40 << 3;
    QTest::newRow("x 0 is the grip") << true << 3 << 0 << 40 << 0;
    QTest::newRow("x 7 (first separator) is box 1") << true << 3 << 7 << 40 << 1;
    QTest::newRow("x 97 last pixel of box 1") << true << 3 << 97 << 40 << 1;
    QTest::newRow("x 188 last pixel of box 2") << true << 3 << 188 << 40 << 2;
    QTest::newRow("x 189 separator before box 3") << true << 3 << 189 << 40 << 3;
    QTest::newRow("far outside clamps to last") << true << 3 << 5000 << 40 << 3;
    QTest::newRow("y ignored horizontally") << true << 3 << 150 << 5000 << 2;
    QTest::newRow("NumBox 0 gives grip") << true << 0 << 150 << 40 << 0;
    QTest::newRow("NumBox 0 vertical gives grip") << false << 0 << 40 << 150 << 0;
    QTest::newRow("v y 6 is grip") << false << 3 << 40 << 6 << 0;
    QTest::newRow("v y 169 separator before box 3") << false << 3 << 40 << 169 << 3;
    QTest::newRow("v y 88 separator before box 2") << false << 3 << 40 << 88 << 2;
    QTest::newRow("v y 250 far frame") << false << 3 << 40 << 250 << 3;
    QTest::newRow("v x ignored") << false << 3 << 5000 << 100 << 2;
    QTest::newRow("negative is the grip") << true << 3 << -20 << 40 << 0;
}

void tst_StripLayout::boxFromPoint() {
    QFETCH(bool, horizontal);
    QFETCH(int, n);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, box);
    QCOMPARE(BoxFromPoint(Geo(90, 80, n, horizontal), x, y), box);
}

void tst_StripLayout::geometryBounds_data() {
    QTest::addColumn<int>("xBox");
    QTest::addColumn<int>("yBox");
    QTest::addColumn<int>("numBox");
    QTest::addColumn<QSize>("size");
    QTest::newRow("negative sides") << -5 << -80 << 3 << QSize(3 * 1 + 8, 2);
    QTest::newRow("huge sides") << 100000 << 2147483647 << 1 << QSize(4097 + 8, 4098);
    QTest::newRow("largest int everywhere")
        << 2147483647 << 2147483647 << 2147483647 << QSize(4097 * 60 + 8, 4098);
    QTest::newRow("negative count") << 90 << 80 << -3 << QSize(8, 82);
}

// Sizes read unchecked from the configuration file never overflow the strip's arithmetic.
void tst_StripLayout::geometryBounds() {
    QFETCH(int, xBox);
    QFETCH(int, yBox);
    QFETCH(int, numBox);
    QFETCH(QSize, size);
    CGlobalSettings s;
    s.XBox = xBox;
    s.YBox = yBox;
    s.WinPos = 1;
    const StripGeometry g = StripGeometry::From(s, numBox);
    QCOMPARE(StripSize(g), size);
    if (g.NumBox > 0)
        QCOMPARE(BoxRect(g, g.NumBox).Right, size.width() - 1);
}

void tst_StripLayout::geometryFromSettings() {
    CGlobalSettings s;
    s.XBox = 90;
    s.YBox = 80;
    s.WinPos = 5; // any non-zero value is horizontal
    StripGeometry g = StripGeometry::From(s, 3);
    QCOMPARE(g.XBox, 90);
    QCOMPARE(g.YBox, 80);
    QCOMPARE(g.NumBox, 3);
    QVERIFY(g.Horizontal);
    s.WinPos = 0;
    QVERIFY(!StripGeometry::From(s, 3).Horizontal);
}

void tst_StripLayout::textBand_data() {
    QTest::addColumn<bool>("reply");
    QTest::addColumn<bool>("status");
    QTest::addColumn<bool>("ipMethod");
    QTest::addColumn<int>("p");
    QTest::newRow("all") << true << true << true << 41;
    QTest::newRow("reply only") << true << false << false << 41;
    QTest::newRow("status and address") << false << true << true << 32;
    QTest::newRow("status only") << false << true << false << 32;
    QTest::newRow("address only") << false << false << true << 22;
    QTest::newRow("none") << false << false << false << 1;
}

void tst_StripLayout::textBand() {
    QFETCH(bool, reply);
    QFETCH(bool, status);
    QFETCH(bool, ipMethod);
    QFETCH(int, p);
    QCOMPARE(TextBandHeight(reply, status, ipMethod), p);
    // The picture area starts P pixels below the box's top and ends 14 above its bottom.
    const StripRect box = BoxRect(Geo(90, 80, 3, true), 2);
    const StripRect area = PictureAreaRect(box, p);
    QCOMPARE(area.Top - box.Top, p);
    QCOMPARE(box.Bottom - area.Bottom, 14);
    QCOMPARE(area.Left, box.Left);
    QCOMPARE(area.Right, box.Right);
}

void tst_StripLayout::zones() {
    const StripRect box = BoxRect(Geo(90, 80, 3, true), 2); // 99,1 .. 189,81
    QCOMPARE(AddressLineRect(box), (StripRect{99, 0, 189, 12}));
    QCOMPARE(MethodLineRect(box), (StripRect{99, 10, 189, 22}));
    QCOMPARE(StatusLineRect(box), (StripRect{99, 20, 189, 32}));
    QCOMPARE(ReplyLineRect(box), (StripRect{99, 30, 189, 42}));
    QCOMPARE(ErrorBandRect(box), (StripRect{99, 53, 189, 81}));
    QCOMPARE(TitleBandRect(box), (StripRect{99, 68, 189, 81}));
    QCOMPARE(PictureAreaRect(box, 41), (StripRect{99, 42, 189, 67}));
    QCOMPARE(PictureAreaRect(box, 41).Height(), 25);
}

void tst_StripLayout::pictureSize_data() {
    QTest::addColumn<bool>("icon");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("areaH");
    QTest::addColumn<QSize>("drawn");
    // Area 90 wide; 25 high is a 90 x 80 box with every line shown.
    QTest::newRow("square icon 32 fills 25") << true << 32 << 32 << 25 << QSize(25, 25);
    QTest::newRow("icon 48x32 cut to 48x25") << true << 48 << 32 << 25 << QSize(48, 25);
    QTest::newRow("small square icon grows") << true << 16 << 16 << 25 << QSize(25, 25);
    QTest::newRow("square icon in tall area takes width") << true << 32 << 32 << 200 << QSize(90, 90);
    QTest::newRow("wide icon cut to width") << true << 128 << 16 << 25 << QSize(90, 16);
    QTest::newRow("small non-square icon keeps size") << true << 20 << 10 << 25 << QSize(20, 10);
    QTest::newRow("bitmap 100x100 copies 90x25") << false << 100 << 100 << 25 << QSize(90, 25);
    QTest::newRow("bitmap smaller than area") << false << 40 << 20 << 25 << QSize(40, 20);
    QTest::newRow("square bitmap is not grown") << false << 16 << 16 << 25 << QSize(16, 16);
    QTest::newRow("zero-high area") << true << 32 << 32 << 0 << QSize(0, 0);
    QTest::newRow("negative area") << false << 32 << 32 << -5 << QSize(32, -5);
}

void tst_StripLayout::pictureSize() {
    QFETCH(bool, icon);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, areaH);
    QFETCH(QSize, drawn);
    const StripRect area{99, 42, 189, 42 + areaH};
    QCOMPARE(icon ? IconDrawnSize(w, h, area) : BitmapDrawnSize(w, h, area), drawn);
}

void tst_StripLayout::placement_data() {
    QTest::addColumn<StripRect>("area");
    QTest::addColumn<QSize>("drawn");
    QTest::addColumn<StripRect>("placed");
    QTest::newRow("25x25 centred in box 2")
        << StripRect{99, 42, 189, 67} << QSize(25, 25) << StripRect{132, 42, 157, 67};
    QTest::newRow("48x25 centred") << StripRect{99, 42, 189, 67} << QSize(48, 25)
                                   << StripRect{120, 42, 168, 67};
    QTest::newRow("odd sizes round toward zero")
        << StripRect{8, 42, 98, 67} << QSize(31, 11) << StripRect{38, 49, 69, 60};
    // (−7 + 3) / 2 is −2 toward zero, not −3.
    QTest::newRow("negative centre rounds toward zero")
        << StripRect{-7, -7, 3, 3} << QSize(4, 4) << StripRect{-4, -4, 0, 0};
}

void tst_StripLayout::placement() {
    QFETCH(StripRect, area);
    QFETCH(QSize, drawn);
    QFETCH(StripRect, placed);
    QCOMPARE(PicturePlacement(area, drawn), placed);
}

void tst_StripLayout::lineTexts_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("reply");
    QTest::addColumn<QString>("statusLine");
    QTest::addColumn<QString>("replyLine");
    QTest::newRow("ping up") << 2 << 1 << 12 << "Status: Up"
                             << "Reply: 12 ms";
    QTest::newRow("tcp open") << 2 << 2 << 0 << "Status: Open"
                              << "Reply: 0 ms";
    QTest::newRow("ping down") << 1 << 1 << -1 << "Status: Down"
                               << "Reply: Timeout";
    QTest::newRow("tcp down") << 1 << 2 << 3000 << "Status: Down"
                              << "Reply: Timeout";
    QTest::newRow("tcp close shows connect time") << 7 << 2 << 4 << "Status: Close"
                                                  << "Reply: 4 ms";
    QTest::newRow("ping close has no status word") << 7 << 1 << 4 << ""
                                                   << "Reply: 4 ms";
    QTest::newRow("reply -1 is unsigned") << 2 << 1 << -1 << "Status: Up"
                                          << "Reply: 4294967295 ms";
    QTest::newRow("neterror no lines") << 4 << 1 << 5 << ""
                                       << "";
    QTest::newRow("iperror no lines") << 5 << 2 << 5 << ""
                                      << "";
    QTest::newRow("checking no lines") << 6 << 1 << 5 << ""
                                       << "";
    QTest::newRow("nostatus no lines") << 0 << 1 << 5 << ""
                                       << "";
}

void tst_StripLayout::lineTexts() {
    QFETCH(int, status);
    QFETCH(int, method);
    QFETCH(int, reply);
    QFETCH(QString, statusLine);
    QFETCH(QString, replyLine);
    QCOMPARE(StatusLineText(static_cast<MonitorStatus>(status), method), statusLine);
    QCOMPARE(ReplyText(static_cast<MonitorStatus>(status), reply), replyLine);
}

void tst_StripLayout::methodText_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("ping") << 1 << 80 << "Method: Ping";
    QTest::newRow("tcp") << 2 << 8080 << "Method: TCP 8080";
    QTest::newRow("tcp port 0") << 2 << 0 << "Method: TCP 0";
    QTest::newRow("unknown method") << 0 << 80 << "";
    QTest::newRow("method 3") << 3 << 80 << "";
}

void tst_StripLayout::methodText() {
    QFETCH(int, method);
    QFETCH(int, port);
    QFETCH(QString, text);
    QCOMPARE(MethodText(method, port), text);
}

void tst_StripLayout::centreFits() {
    QVERIFY(CentreFits(89, 90));
    QVERIFY(CentreFits(90, 90));
    QVERIFY(!CentreFits(91, 90));
}

void tst_StripLayout::selectionMark_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("k");
    QTest::addColumn<StripRect>("mark");
    QTest::newRow("h box 2") << true << 2 << StripRect{99, 1, 188, 80};
    QTest::newRow("h box 1") << true << 1 << StripRect{8, 1, 97, 80};
    QTest::newRow("v box 2") << false << 2 << StripRect{1, 89, 90, 168};
    QTest::newRow("v box 3") << false << 3 << StripRect{1, 170, 90, 249};
}

void tst_StripLayout::selectionMark() {
    QFETCH(bool, horizontal);
    QFETCH(int, k);
    QFETCH(StripRect, mark);
    QCOMPARE(SelectionMarkRect(Geo(90, 80, 3, horizontal), k), mark);
}

QTEST_APPLESS_MAIN(tst_StripLayout)
#include "tst_StripLayout.moc"
