#include "strip/FontFit.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(std::function<double(int)>)

class TestFontFit : public QObject {
    Q_OBJECT
private slots:
    void stretch_data();
    void stretch();
};

void TestFontFit::stretch_data() {
    using Measure = std::function<double(int)>;
    QTest::addColumn<double>("target");
    QTest::addColumn<Measure>("averageAt");
    QTest::addColumn<int>("expected");
    const auto linear = [](double atNormal) {
        return Measure([atNormal](int s) { return atNormal * s / 100; });
    };
    QTest::newRow("wide face narrowed") << 5.0 << linear(6.0) << 83;
    QTest::newRow("small font narrowed") << 4.0 << linear(5.062) << 79;
    QTest::newRow("narrow face widened") << 4.0 << linear(3.5) << 114;
    QTest::newRow("face already at the width") << 5.0 << linear(5.0) << 100;
    QTest::newRow("very wide face stops at half") << 4.0 << linear(20.0) << 50;
    QTest::newRow("very narrow face stops at double") << 5.0 << linear(1.0) << 200;
    // Hinting moves the width in steps: the guess (87) lies on a step too wide, the best one is
    // eight stretches below.
    QTest::newRow("guess on a wrong step")
        << 5.0 << Measure([](int s) { return s >= 80 ? 5.734 : 4.9; }) << 79;
    // Equal steps on both sides of the guess: the nearer one wins, the narrower on a tie.
    QTest::newRow("tie around the guess") << 5.0 << Measure([](int s) {
        return s == 100 ? 6.0 : s > 83 ? 5.5 : s < 83 ? 4.5 : 6.0;
    }) << 82;
    QTest::newRow("nothing measured") << 5.0 << Measure([](int) { return 0.0; }) << 100;
    QTest::newRow("no target") << 0.0 << linear(6.0) << 100;
}

void TestFontFit::stretch() {
    QFETCH(double, target);
    QFETCH(std::function<double(int)>, averageAt);
    QFETCH(int, expected);
    QCOMPARE(StretchForAverageWidth(target, averageAt), expected);
}

QTEST_GUILESS_MAIN(TestFontFit)
#include "tst_FontFit.moc"
