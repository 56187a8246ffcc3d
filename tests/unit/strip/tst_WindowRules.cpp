#include "strip/WindowRules.h"
#include "support/StripTestUtil.h"

#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(StripRect)
Q_DECLARE_METATYPE(GripAction)
Q_DECLARE_METATYPE(std::optional<QPoint>)

namespace {
// A 1024 x 768 screen with a 28-pixel panel at the bottom.
constexpr StripRect Screen{0, 0, 1024, 740};
const QSize Horizontal3(281, 82); // three 90 x 80 boxes side by side
const QSize Vertical3(92, 251);   // the same boxes stacked
} // namespace

class tst_WindowRules : public QObject {
    Q_OBJECT
private slots:
    void gripAction_data();
    void gripAction();
    void switchedWinPos();
    void snap_data();
    void snap();
    void savePosition();
    void placeInWorkArea_data();
    void placeInWorkArea();
    void keepStripOnScreen_data();
    void keepStripOnScreen();
    void extremeValues();
    void withAndWithoutTray_data();
    void withAndWithoutTray();
    void neverOutOfReach();
};

void tst_WindowRules::gripAction_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<GripAction>("action");
    // Horizontal strip: along the band is y, across is x.
    QTest::newRow("h cross top") << true << 3 << 1 << GripAction::Hide;
    QTest::newRow("h cross bottom") << true << 6 << 5 << GripAction::Hide;
    QTest::newRow("h line at 6") << true << 3 << 6 << GripAction::None;
    QTest::newRow("h dash first") << true << 1 << 7 << GripAction::Minimise;
    QTest::newRow("h dash last") << true << 3 << 11 << GripAction::Minimise;
    QTest::newRow("h line at 12") << true << 3 << 12 << GripAction::None;
    QTest::newRow("h C first") << true << 3 << 13 << GripAction::SwitchLayout;
    QTest::newRow("h C at 18") << true << 3 << 18 << GripAction::SwitchLayout;
    QTest::newRow("h gripper at 19") << true << 3 << 19 << GripAction::Drag;
    QTest::newRow("h gripper far down") << true << 4 << 70 << GripAction::Drag;
    QTest::newRow("h top frame") << true << 3 << 0 << GripAction::None;
    QTest::newRow("h left frame") << true << 0 << 3 << GripAction::None;
    QTest::newRow("h first separator") << true << 7 << 3 << GripAction::None;
    QTest::newRow("h inside box 1") << true << 40 << 3 << GripAction::None;
    QTest::newRow("h vertical coordinates are not the C") << true << 15 << 3 << GripAction::None;
    // Vertical strip: along is x, across is y; the C ends at 17.
    QTest::newRow("v cross") << false << 3 << 3 << GripAction::Hide;
    QTest::newRow("v dash") << false << 9 << 2 << GripAction::Minimise;
    QTest::newRow("v C") << false << 13 << 6 << GripAction::SwitchLayout;
    QTest::newRow("v C at 17") << false << 17 << 1 << GripAction::SwitchLayout;
    QTest::newRow("v 18 does nothing") << false << 18 << 3 << GripAction::None;
    QTest::newRow("v gripper at 19") << false << 19 << 3 << GripAction::Drag;
    QTest::newRow("v line at 12") << false << 12 << 3 << GripAction::None;
    QTest::newRow("v below band") << false << 3 << 7 << GripAction::None;
    QTest::newRow("v horizontal coordinates are not the C") << false << 3 << 15 << GripAction::None;
}

void tst_WindowRules::gripAction() {
    QFETCH(bool, horizontal);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(GripAction, action);
    QCOMPARE(GripActionAt(horizontal, x, y), action);
}

void tst_WindowRules::switchedWinPos() {
    QCOMPARE(SwitchedWinPos(0), 1);
    QCOMPARE(SwitchedWinPos(1), 0);
    QCOMPARE(SwitchedWinPos(7), 0);
}

void tst_WindowRules::snap_data() {
    QTest::addColumn<StripRect>("workArea");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QPoint>("proposed");
    QTest::addColumn<QPoint>("snapped");
    QTest::newRow("h free move") << Screen << true << QPoint(300, 300) << QPoint(300, 300);
    QTest::newRow("h 7 short of right snaps flush") << Screen << true << QPoint(736, 300) << QPoint(743, 300);
    QTest::newRow("h 12 short of right stays") << Screen << true << QPoint(731, 300) << QPoint(731, 300);
    QTest::newRow("h 7 past right snaps back") << Screen << true << QPoint(750, 300) << QPoint(743, 300);
    QTest::newRow("h far right stops 99 from edge")
        << Screen << true << QPoint(2000, 300) << QPoint(925, 300);
    QTest::newRow("h past the bottom sits on it") << Screen << true << QPoint(300, 700) << QPoint(300, 658);
    QTest::newRow("h far below sits on bottom") << Screen << true << QPoint(300, 5000) << QPoint(300, 658);
    QTest::newRow("h 8 above bottom snaps") << Screen << true << QPoint(300, 650) << QPoint(300, 658);
    QTest::newRow("h 18 above bottom stays") << Screen << true << QPoint(300, 640) << QPoint(300, 640);
    QTest::newRow("top within 10 snaps") << Screen << true << QPoint(300, 9) << QPoint(300, 0);
    QTest::newRow("top at 10 stays") << Screen << true << QPoint(300, 10) << QPoint(300, 10);
    QTest::newRow("above top comes back") << Screen << true << QPoint(300, -50) << QPoint(300, 0);
    QTest::newRow("left within 10 snaps") << Screen << true << QPoint(9, 300) << QPoint(0, 300);
    QTest::newRow("left of screen comes back") << Screen << true << QPoint(-300, 300) << QPoint(0, 300);
    QTest::newRow("left at 10 stays") << Screen << true << QPoint(10, 300) << QPoint(10, 300);
    QTest::newRow("corner top-left") << Screen << true << QPoint(-5, -5) << QPoint(0, 0);
    QTest::newRow("offset work area top-left")
        << StripRect{100, 30, 1124, 770} << true << QPoint(105, 35) << QPoint(100, 30);
    QTest::newRow("v 9 above bottom snaps") << Screen << false << QPoint(300, 480) << QPoint(300, 489);
    QTest::newRow("v 9 below bottom snaps back") << Screen << false << QPoint(300, 498) << QPoint(300, 489);
    QTest::newRow("v well past bottom is not pulled up")
        << Screen << false << QPoint(300, 600) << QPoint(300, 600);
    QTest::newRow("v keeps grip and first box") << Screen << false << QPoint(300, 700) << QPoint(300, 651);
    QTest::newRow("v never past the right edge") << Screen << false << QPoint(2000, 300) << QPoint(932, 300);
    QTest::newRow("v 3 past right snaps") << Screen << false << QPoint(935, 300) << QPoint(932, 300);
    // Work area smaller than the grip and first box: keeping them reachable wins.
    QTest::newRow("h tiny work area") << StripRect{0, 0, 50, 50} << true << QPoint(10, 10) << QPoint(-49, 0);
    QTest::newRow("v tiny work area")
        << StripRect{0, 0, 50, 50} << false << QPoint(10, 10) << QPoint(-42, -39);
}

void tst_WindowRules::snap() {
    QFETCH(StripRect, workArea);
    QFETCH(bool, horizontal);
    QFETCH(QPoint, proposed);
    QFETCH(QPoint, snapped);
    QCOMPARE(SnapPosition(workArea, proposed, horizontal ? Horizontal3 : Vertical3, horizontal, 90, 80),
             snapped);
}

void tst_WindowRules::savePosition() {
    QVERIFY(SavesPosition(0, 0));
    QVERIFY(SavesPosition(300, 200));
    QVERIFY(!SavesPosition(-1, 200));
    QVERIFY(!SavesPosition(300, -1));
}

void tst_WindowRules::placeInWorkArea_data() {
    QTest::addColumn<StripRect>("workArea");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<QPoint>("placed");
    QTest::newRow("h inside stays") << Screen << true << QPoint(100, 100) << QPoint(100, 100);
    QTest::newRow("h left edge 50 from right goes to 99")
        << Screen << true << QPoint(974, 100) << QPoint(925, 100);
    QTest::newRow("h exactly 99 from right stays") << Screen << true << QPoint(925, 100) << QPoint(925, 100);
    QTest::newRow("h too low comes up") << Screen << true << QPoint(100, 700) << QPoint(100, 658);
    QTest::newRow("h off both edges")
        << StripRect{0, 0, 800, 600} << true << QPoint(1500, 900) << QPoint(701, 518);
    QTest::newRow("h strip longer than screen only needs its start")
        << Screen << true << QPoint(800, 100) << QPoint(800, 100);
    QTest::newRow("v off right") << Screen << false << QPoint(1000, 100) << QPoint(932, 100);
    QTest::newRow("v first box below bottom") << Screen << false << QPoint(100, 700) << QPoint(100, 651);
    QTest::newRow("v rest of strip may hang below")
        << Screen << false << QPoint(100, 600) << QPoint(100, 600);
}

void tst_WindowRules::placeInWorkArea() {
    QFETCH(StripRect, workArea);
    QFETCH(bool, horizontal);
    QFETCH(QPoint, topLeft);
    QFETCH(QPoint, placed);
    QCOMPARE(PlaceInWorkArea(workArea, topLeft, horizontal, 90, 80), placed);
}

void tst_WindowRules::keepStripOnScreen_data() {
    QTest::addColumn<StripRect>("workArea");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<StripRect>("window");
    QTest::addColumn<std::optional<QPoint>>("move");
    QTest::newRow("h grown past right edge")
        << Screen << true << StripRect{900, 100, 1272, 182} << std::optional<QPoint>(QPoint(652, 100));
    QTest::newRow("h flush with right edge")
        << Screen << true << StripRect{652, 100, 1024, 182} << std::optional<QPoint>();
    QTest::newRow("h inside") << Screen << true << StripRect{100, 100, 472, 182} << std::optional<QPoint>();
    QTest::newRow("h wider than work area stays")
        << Screen << true << StripRect{0, 100, 1100, 182} << std::optional<QPoint>();
    QTest::newRow("h offset work area fits")
        << StripRect{100, 0, 1124, 740} << true << StripRect{500, 10, 1500, 92}
        << std::optional<QPoint>(QPoint(124, 10));
    QTest::newRow("h offset work area too narrow")
        << StripRect{100, 0, 1124, 740} << true << StripRect{500, 10, 1530, 92} << std::optional<QPoint>();
    QTest::newRow("v grown past bottom")
        << Screen << false << StripRect{100, 600, 192, 932} << std::optional<QPoint>(QPoint(100, 408));
    QTest::newRow("v inside") << Screen << false << StripRect{100, 100, 192, 432} << std::optional<QPoint>();
    QTest::newRow("v taller than work area stays")
        << Screen << false << StripRect{100, 0, 192, 800} << std::optional<QPoint>();
    QTest::newRow("v past the right edge is not its business")
        << Screen << false << StripRect{1000, 100, 1092, 432} << std::optional<QPoint>();
}

void tst_WindowRules::keepStripOnScreen() {
    QFETCH(StripRect, workArea);
    QFETCH(bool, horizontal);
    QFETCH(StripRect, window);
    QFETCH(std::optional<QPoint>, move);
    QCOMPARE(KeepStripOnScreen(workArea, window, QSize(window.Width(), window.Height()), horizontal), move);
}

// Box sizes and positions from an unchecked configuration file: the rules stay in range and
// keep their meaning (the sanitizer build checks there is no overflow on the way).
void tst_WindowRules::extremeValues() {
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    QCOMPARE(SnapPosition(Screen, QPoint(Max, Min), QSize(Max, Max), true, Max, Max),
             QPoint(1024 - Max - 9, 0));
    QCOMPARE(SnapPosition(Screen, QPoint(Min, Max), QSize(Max, Max), false, Min, Min), QPoint(0, Max));
    QCOMPARE(PlaceInWorkArea(Screen, QPoint(Min, Max), true, Max, Max), QPoint(Min, 740 - Max - 2));
    QCOMPARE(PlaceInWorkArea(Screen, QPoint(Max, Max), false, Min, Min), QPoint(Max, Max));
    QCOMPARE(KeepStripOnScreen(StripRect{Min, Min, Max, Max}, StripRect{0, 0, 10, 10}, QSize(Max, Max), true),
             std::optional<QPoint>());
    QCOMPARE(KeepStripOnScreen(StripRect{0, 0, Max, Max}, StripRect{Min, 0, Max, Max}, QSize(10, Max), false),
             std::optional<QPoint>());
}

void tst_WindowRules::withAndWithoutTray_data() {
    QTest::addColumn<bool>("tray");
    QTest::addColumn<int>("hideTaskBarButton");
    QTest::addColumn<bool>("crossHides");
    QTest::addColumn<bool>("dashHides");
    QTest::addColumn<bool>("balloon");
    QTest::addColumn<bool>("skipTaskbar");
    QTest::addColumn<bool>("gripMenu");
    QTest::newRow("tray, taskbar button") << true << 0 << true << false << true << false << false;
    QTest::newRow("tray, no taskbar button") << true << 1 << true << true << true << true << false;
    QTest::newRow("tray, 2 hides but keeps the button")
        << true << 2 << true << true << true << false << false;
    QTest::newRow("no tray, taskbar button") << false << 0 << false << false << false << false << true;
    QTest::newRow("no tray, button kept though set off")
        << false << 1 << false << false << false << false << true;
}

void tst_WindowRules::withAndWithoutTray() {
    QFETCH(bool, tray);
    QFETCH(int, hideTaskBarButton);
    QFETCH(bool, crossHides);
    QFETCH(bool, dashHides);
    QFETCH(bool, balloon);
    QFETCH(bool, skipTaskbar);
    QFETCH(bool, gripMenu);
    QCOMPARE(HideZoneEffect(tray) == StripAway::Hide, crossHides);
    QCOMPARE(MinimiseZoneEffect(hideTaskBarButton, tray) == StripAway::Hide, dashHides);
    QCOMPARE(ShowsHideBalloon(1, tray), balloon);
    QVERIFY(!ShowsHideBalloon(0, tray));
    QCOMPARE(SkipsTaskbar(LoadHidesTaskbarButton(hideTaskBarButton), tray), skipTaskbar);
    QCOMPARE(GripMenuHoldsTrayCommands(tray), gripMenu);
}

void tst_WindowRules::neverOutOfReach() {
    // A strip taken away comes back from the tray icon or from its taskbar button: it is never
    // hidden without a tray, nor minimised without a taskbar button.
    for (bool tray : {false, true})
        for (int setting : {0, 1, 2}) {
            const bool button = !SkipsTaskbar(LoadHidesTaskbarButton(setting), tray);
            for (StripAway away : {HideZoneEffect(tray), MinimiseZoneEffect(setting, tray)}) {
                const QString where = QStringLiteral("tray %1, HideTaskBarButton %2").arg(tray).arg(setting);
                if (away == StripAway::Hide)
                    QVERIFY2(tray, qPrintable("hidden without a tray: " + where));
                else
                    QVERIFY2(button, qPrintable("minimised without a taskbar button: " + where));
            }
        }
}

QTEST_APPLESS_MAIN(tst_WindowRules)
#include "tst_WindowRules.moc"
