#include "strip/GripArt.h"

#include <QTest>

namespace {
const QRgb Ground = qRgb(192, 192, 192);
const QRgb Ink = qRgb(0, 0, 0);
const QRgb Gripper = qRgb(128, 128, 128);

// Pixel of the horizontal form at window coordinates along (a) and across (b) the band; the
// picture is drawn at (1, 1).
QRgb At(const QImage& h, int a, int b) {
    return h.pixel(b - 1, a - 1) & 0xFFFFFF;
}

// Rows of the band (along) from a0 to a1 that hold any ink.
bool HasInk(const QImage& h, int a0, int a1) {
    for (int a = a0; a <= a1; ++a)
        for (int b = 1; b <= GripArt::Thickness; ++b)
            if (At(h, a, b) == (Ink & 0xFFFFFF))
                return true;
    return false;
}
} // namespace

class tst_GripArt : public QObject {
    Q_OBJECT
private slots:
    void sizes();
    void separatorLines_data();
    void separatorLines();
    void glyphsStayInTheirZones_data();
    void glyphsStayInTheirZones();
    void gripper();
    void onlyFourColours();
    void verticalIsTheTurnedPicture();
};

void tst_GripArt::sizes() {
    QCOMPARE(GripArt::Horizontal().size(), QSize(7, 300));
    QCOMPARE(GripArt::Vertical().size(), QSize(300, 7));
}

void tst_GripArt::separatorLines_data() {
    QTest::addColumn<int>("a");
    QTest::newRow("after the cross") << 6;
    QTest::newRow("after the dash") << 12;
    QTest::newRow("after the C") << 19;
}

void tst_GripArt::separatorLines() {
    QFETCH(int, a);
    const QImage h = GripArt::Horizontal();
    for (int b = 1; b <= 7; ++b)
        QCOMPARE(At(h, a, b), Ink & 0xFFFFFF);
}

void tst_GripArt::glyphsStayInTheirZones_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("cross") << 1 << 5;
    QTest::newRow("dash") << 7 << 11;
    QTest::newRow("C") << 13 << 18;
}

// Each glyph has ink inside its zone and leaves the band's far column (under the separator)
// and the glyph's first and last rows of neighbouring zones alone.
void tst_GripArt::glyphsStayInTheirZones() {
    QFETCH(int, from);
    QFETCH(int, to);
    const QImage h = GripArt::Horizontal();
    QVERIFY(HasInk(h, from, to));
    for (int a = from; a <= to; ++a) {
        QCOMPARE(At(h, a, 7), Ground & 0xFFFFFF);
        for (int b = 1; b <= 7; ++b)
            QVERIFY(At(h, a, b) == (Ground & 0xFFFFFF) || At(h, a, b) == (Ink & 0xFFFFFF));
    }
}

void tst_GripArt::gripper() {
    const QImage h = GripArt::Horizontal();
    for (int a = 20; a <= GripArt::Length; ++a)
        for (int b = 1; b <= 7; ++b)
            QCOMPARE(At(h, a, b), (b == 3 || b == 6 ? Gripper : Ground) & 0xFFFFFF);
}

void tst_GripArt::onlyFourColours() {
    const QImage h = GripArt::Horizontal();
    for (int y = 0; y < h.height(); ++y)
        for (int x = 0; x < h.width(); ++x) {
            const QRgb c = h.pixel(x, y) & 0xFFFFFF;
            QVERIFY2(c == (Ground & 0xFFFFFF) || c == (Ink & 0xFFFFFF) || c == (Gripper & 0xFFFFFF),
                     qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

void tst_GripArt::verticalIsTheTurnedPicture() {
    const QImage h = GripArt::Horizontal();
    const QImage v = GripArt::Vertical();
    for (int a = 0; a < GripArt::Length; ++a)
        for (int b = 0; b < GripArt::Thickness; ++b)
            QCOMPARE(v.pixel(a, b), h.pixel(b, a));
}

QTEST_APPLESS_MAIN(tst_GripArt)
#include "tst_GripArt.moc"
