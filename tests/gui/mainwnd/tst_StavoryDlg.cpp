#include "support/FakeProbes.h"
#include "support/FakeWindowSystem.h"
#include "support/RecordingAudioOutput.h"
#include "support/ScriptedPrompts.h"

#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "dialogs/PropertiesDlg.h"
#include "mainwnd/StavoryDlg.h"
#include "mainwnd/SystemTray.h"
#include "mainwnd/WindowPrompts.h"
#include "monitor/SharedTiming.h"
#include "platform/WindowSystem.h"

#include "strip/ProgramArt.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <deque>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class StavoryDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstStart();
    void loadSizesAndPlaces_data();
    void loadSizesAndPlaces();
    void opacity_data();
    void opacity();
    void workersStartInOrderAfterPlacing();
    void layoutSwitchByTheC();
    void hideShowsBalloonOnce();
    void minimise_data();
    void minimise();
    void keysAndCloseKeepRunning();
    void positionSaving_data();
    void positionSaving();
    void dragSnaps_data();
    void dragSnaps();
    void placeOnWorkAreaChange();
    void stackingCommands_data();
    void stackingCommands();
    void stackingAtStart();
    void trayMenuItemsAndMarks();
    void trayClicksBringTheStripBack();
    void trayRightClickRules();
    void helpAndLogs_data();
    void helpAndLogs();
    void backup();
    void restoreReloads();
    void restoreRefused_data();
    void restoreRefused();
    void reset_data();
    void reset();
    void exitAsksAndWritesNothing_data();
    void exitAsksAndWritesNothing();
    void propertiesOpacityLive();
    void propertiesOkResizesAndSaves();
    void propertiesApplyHidesTaskbarButton_data();
    void propertiesApplyHidesTaskbarButton();
    void propertiesLowTransparentRaisedAtLoad();
    void propertiesCancelKeepsTheVolume();
    void propertiesIntervalReachesRunningWorkers();
    void noTrayKeepsTheStripInReach_data();
    void noTrayKeepsTheStripInReach();
    void aboutBoxLeavesTheStripAnswering();

private:
    // Runs the Properties command; whileOpen works the dialog and ends it (left open, it is
    // cancelled so that a failed check cannot hang the run).
    void RunProperties(const std::function<void(CPropertiesDlg&)>& whileOpen);
    // Writes a configuration before the start: the first-start file with these changes in "main".
    void WriteConfig(const QList<QPair<QString, int>>& main);
    CStavoryDlg& Start();
    void ClickAt(QPoint p);

    std::unique_ptr<QTemporaryDir> Dir;
    CDataPaths Paths;
    FakeWindowSystem Desktop;
    ScriptedPrompts* Prompts = nullptr;
    std::unique_ptr<CStavoryDlg> Dlg;
    QList<int> Started;
    std::function<void(CMonitorBox&)> OnStart;
    // Whether the desktop has a tray, as the tray icon's probe finds it.
    bool TrayOnDesktop = true;
};

void StavoryDlgTest::init() {
    Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(Dir->isValid());
    Paths = MakeDataPaths(Dir->filePath("Pylarix"), Dir->filePath("program"));
    CreateDataFolders(Paths);
    Desktop = FakeWindowSystem();
    Started.clear();
    OnStart = nullptr;
    TrayOnDesktop = true;
}

void StavoryDlgTest::cleanup() {
    Desktop.OnSkipTaskbar = nullptr;
    Dlg.reset();
    Prompts = nullptr;
    Dir.reset();
}

void StavoryDlgTest::WriteConfig(const QList<QPair<QString, int>>& main) {
    CIniFile config(Paths.ConfigPath);
    CIniFile mainIni(Paths.MainIniPath);
    QVERIFY(WriteFirstStart(config, mainIni));
    QVERIFY(config.WriteInt(MainSection, "FirstStart", 0));
    for (const auto& [key, value] : main) {
        if (key == QLatin1String("HideTaskBarButton"))
            QVERIFY(mainIni.WriteInt(MainSection, key, value));
        else
            QVERIFY(config.WriteInt(MainSection, key, value));
    }
}

CStavoryDlg& StavoryDlgTest::Start() {
    auto prompts = std::make_unique<ScriptedPrompts>();
    Prompts = prompts.get();
    Dlg = std::make_unique<CStavoryDlg>(Paths, std::move(prompts), &Desktop);
    Prompts->Window = Dlg.get();
    Dlg->Tray()->PresenceProbe = [this] { return TrayOnDesktop; };
    Dlg->WorkerStarter = [this](CMonitorBox& box) {
        Started << box.BoxIndex;
        if (OnStart)
            OnStart(box);
    };
    Dlg->Initialise();
    return *Dlg;
}

void StavoryDlgTest::ClickAt(QPoint p) {
    QTest::mouseClick(Dlg.get(), Qt::LeftButton, Qt::NoModifier, p);
}

void StavoryDlgTest::firstStart() {
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Pylarix Boxs"));
    QVERIFY(!dlg.windowIcon().isNull());
    QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.size(), QSize(99, 82));
    // Centred in the 1024 x 768 work area: 512 - 99/2, 384 - 82/2.
    QCOMPARE(dlg.pos(), QPoint(463, 343));
    CIniFile config(Paths.ConfigPath);
    QCOMPARE(config.ReadString(MainSection, "App"), QStringLiteral("Pylarix"));
    QCOMPARE(config.ReadInt(MainSection, "FirstStart"), 0);
    QCOMPARE(config.ReadInt(MainSection, "PosX"), 463);
    QCOMPARE(config.ReadInt(MainSection, "PosY"), 343);
    QCOMPARE(CIniFile(Paths.MainIniPath).ReadString(MainSection, "HideTaskBarButton"), QStringLiteral("0"));
    QCOMPARE(dlg.Table().NumBox, 1);
    QCOMPARE(dlg.Table().At(0)->Text, QStringLiteral("LOCAL"));
    QCOMPARE(dlg.Table().At(0)->Status, MonitorStatus::CHECKING);
    QCOMPARE(Started, QList<int>{0});
    QVERIFY(dlg.Tray());
    QCOMPARE(dlg.Tray()->Tip(), QStringLiteral("Pylarix\nKelvade"));
    QCOMPARE(dlg.Tray()->Icon()->toolTip(), QStringLiteral("Pylarix\nKelvade"));
    QCOMPARE(dlg.Tray()->Id(), 134u);
    QVERIFY(!dlg.Tray()->IconHidden());
    QVERIFY(dlg.Tray()->Icon()->isVisible());
    QVERIFY(!dlg.Tray()->Icon()->icon().isNull());
    QCOMPARE(Desktop.Stacking.last(), StackingLevel::Normal);
    QVERIFY(Desktop.SkipTaskbar.isEmpty());
    QCOMPARE(dlg.windowOpacity(), 1.0);
}

void StavoryDlgTest::loadSizesAndPlaces_data() {
    QTest::addColumn<int>("winPos");
    QTest::addColumn<int>("numBox");
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("placed");

    QTest::newRow("three side by side") << 1 << 3 << QPoint(100, 120) << QSize(281, 82) << QPoint(100, 120);
    QTest::newRow("three stacked") << 0 << 3 << QPoint(100, 120) << QSize(92, 251) << QPoint(100, 120);
    QTest::newRow("no monitor") << 1 << 0 << QPoint(100, 120) << QSize(8, 82) << QPoint(100, 120);
    // Off the work area's right edge: the grip and first box are brought back.
    QTest::newRow("beyond the right edge")
        << 1 << 3 << QPoint(1000, 120) << QSize(281, 82) << QPoint(925, 120);
    QTest::newRow("below the bottom, stacked")
        << 0 << 3 << QPoint(100, 760) << QSize(92, 251) << QPoint(100, 679);
    QTest::newRow("near the top left snaps") << 1 << 1 << QPoint(6, 4) << QSize(99, 82) << QPoint(0, 0);
}

void StavoryDlgTest::loadSizesAndPlaces() {
    QFETCH(int, winPos);
    QFETCH(int, numBox);
    QFETCH(QPoint, stored);
    QFETCH(QSize, size);
    QFETCH(QPoint, placed);
    WriteConfig({{"WinPos", winPos}, {"NumBox", numBox}, {"PosX", stored.x()}, {"PosY", stored.y()}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.Table().NumBox, numBox);
    QCOMPARE(dlg.size(), size);
    QCOMPARE(dlg.pos(), placed);
    CIniFile config(Paths.ConfigPath);
    QCOMPARE(config.ReadInt(MainSection, "PosX"), placed.x());
    QCOMPARE(config.ReadInt(MainSection, "PosY"), placed.y());
}

void StavoryDlgTest::opacity_data() {
    QTest::addColumn<int>("transparent");
    QTest::addColumn<int>("alpha");
    QTest::newRow("120 gives 160") << 120 << 160;
    QTest::newRow("300 keeps 44, gives 160") << 300 << 160;
    QTest::newRow("200") << 200 << 200;
    QTest::newRow("255 opaque") << 255 << 255;
}

void StavoryDlgTest::opacity() {
    QFETCH(int, transparent);
    QFETCH(int, alpha);
    WriteConfig({{"Transparent", transparent}});
    CStavoryDlg& dlg = Start();
    QVERIFY(qAbs(dlg.windowOpacity() - alpha / 255.0) < 0.002);
    // Raised in memory only: the file keeps what the user wrote.
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "Transparent"), transparent);
}

void StavoryDlgTest::workersStartInOrderAfterPlacing() {
    WriteConfig({{"NumBox", 4}, {"PosX", 1000}, {"PosY", 50}});
    QList<QPoint> positions;
    QList<bool> visible;
    OnStart = [&](CMonitorBox&) {
        positions << Dlg->pos();
        visible << Dlg->isVisible();
    };
    CStavoryDlg& dlg = Start();
    QCOMPARE(Started, (QList<int>{0, 1, 2, 3}));
    // Every worker starts with the window already sized, placed into the work area and shown.
    for (const QPoint& p : positions)
        QCOMPARE(p, QPoint(925, 50));
    QCOMPARE(visible, (QList<bool>{true, true, true, true}));
    QCOMPARE(dlg.size(), QSize(372, 82));
}

void StavoryDlgTest::layoutSwitchByTheC() {
    WriteConfig({{"NumBox", 3}, {"PosX", 100}, {"PosY", 120}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.size(), QSize(281, 82));
    ClickAt(QPoint(3, 15)); // the C of a horizontal grip: y 13 to 18
    QCOMPARE(dlg.size(), QSize(92, 251));
    QCOMPARE(dlg.pos(), QPoint(100, 120));
    QCOMPARE(dlg.Settings().WinPos, 0);
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "WinPos"), 0);
    ClickAt(QPoint(18, 3)); // x 18 of a vertical grip is no zone
    QCOMPARE(dlg.size(), QSize(92, 251));
    ClickAt(QPoint(15, 3)); // the C of a vertical grip: x 13 to 17
    QCOMPARE(dlg.size(), QSize(281, 82));
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "WinPos"), 1);
    QVERIFY(dlg.isVisible());
}

void StavoryDlgTest::hideShowsBalloonOnce() {
    CStavoryDlg& dlg = Start();
    QVERIFY(dlg.IsBalloonPending());
    ClickAt(QPoint(3, 3)); // the cross
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.Tray()->BalloonCount(), 1);
    QCOMPARE(
        dlg.Tray()->LastBalloonText(),
        QStringLiteral("Program still working now in background\nmode. Click on icon to show Pylarix.\n\n"
                       "Click Exit button to exit application."));
    QCOMPARE(dlg.Tray()->LastBalloonTitle(), QStringLiteral("Pylarix Notify"));
    dlg.OnShow();
    QVERIFY(dlg.isVisible());
    ClickAt(QPoint(3, 3));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.Tray()->BalloonCount(), 1);
    QVERIFY(!dlg.IsBalloonPending());
}

void StavoryDlgTest::minimise_data() {
    QTest::addColumn<int>("hideTaskBarButton");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("skipTaskbar");
    QTest::newRow("taskbar button: minimised") << 0 << false << false;
    QTest::newRow("no taskbar button: hidden") << 1 << true << true;
    // Any non-zero value hides on minimise; only 1 removes the button at load.
    QTest::newRow("2: hidden, button kept") << 2 << true << false;
}

void StavoryDlgTest::minimise() {
    QFETCH(int, hideTaskBarButton);
    QFETCH(bool, hidden);
    QFETCH(bool, skipTaskbar);
    WriteConfig({{"HideTaskBarButton", hideTaskBarButton}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(Desktop.SkipTaskbar.contains(true), skipTaskbar);
    ClickAt(QPoint(3, 9)); // the dash
    if (hidden) {
        QVERIFY(!dlg.isVisible());
    } else {
        QVERIFY(dlg.isMinimized());
    }
    QCOMPARE(dlg.Tray()->BalloonCount(), 0);
}

void StavoryDlgTest::keysAndCloseKeepRunning() {
    CStavoryDlg& dlg = Start();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(&dlg, Qt::Key_Return);
    QTest::keyClick(&dlg, Qt::Key_Enter);
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.close());
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.Table().NumBox, 1);
    QVERIFY(!dlg.Tray()->IconRemoved());
}

void StavoryDlgTest::positionSaving_data() {
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("saved");
    QTest::newRow("positive") << QPoint(200, 300) << QPoint(200, 300);
    QTest::newRow("zero") << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("negative x not saved") << QPoint(-200, 300) << QPoint(500, 400);
    QTest::newRow("negative y not saved") << QPoint(200, -50) << QPoint(500, 400);
}

void StavoryDlgTest::positionSaving() {
    QFETCH(QPoint, to);
    QFETCH(QPoint, saved);
    // A work area reaching into negative coordinates, as a second screen on the left gives.
    Desktop.Area = QRect(-1000, -1000, 3000, 3000);
    WriteConfig({{"PosX", 500}, {"PosY", 400}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.pos(), QPoint(500, 400));
    dlg.MoveWindowTo(to);
    QCOMPARE(dlg.pos(), to);
    CIniFile config(Paths.ConfigPath);
    QCOMPARE(config.ReadInt(MainSection, "PosX"), saved.x());
    QCOMPARE(config.ReadInt(MainSection, "PosY"), saved.y());
}

void StavoryDlgTest::dragSnaps_data() {
    QTest::addColumn<int>("numBox");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QPoint>("landed");
    // The window starts at (400, 300); the work area is 1024 x 768.
    QTest::newRow("7 short of the right edge snaps flush")
        << 1 << QPoint(1024 - 7 - 99 - 400, 0) << QPoint(1024 - 99, 300);
    QTest::newRow("12 short does not snap") << 1 << QPoint(1024 - 12 - 99 - 400, 0) << QPoint(913, 300);
    QTest::newRow("past the right edge stops with the first box on screen")
        << 3 << QPoint(900, 0) << QPoint(1024 - 99, 300);
    QTest::newRow("down past the bottom stays on the bottom edge")
        << 3 << QPoint(0, 600) << QPoint(400, 768 - 82);
    QTest::newRow("up past the top") << 1 << QPoint(0, -350) << QPoint(400, 0);
    QTest::newRow("free move") << 1 << QPoint(-150, 100) << QPoint(250, 400);
}

void StavoryDlgTest::dragSnaps() {
    QFETCH(int, numBox);
    QFETCH(QPoint, delta);
    QFETCH(QPoint, landed);
    WriteConfig({{"NumBox", numBox}, {"PosX", 400}, {"PosY", 300}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.pos(), QPoint(400, 300));
    const QPoint grip(3, 40); // the gripper, below the three glyphs
    const QPoint global = dlg.pos() + grip;
    QMouseEvent press(QEvent::MouseButtonPress, grip, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &press);
    // The window follows in several steps, each through the snapping.
    for (int step = 1; step <= 4; ++step) {
        const QPoint g = global + delta * step / 4;
        QMouseEvent move(QEvent::MouseMove, g - dlg.pos(), g, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &move);
    }
    const QPoint end = global + delta;
    QMouseEvent release(QEvent::MouseButtonRelease, end - dlg.pos(), end, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&dlg, &release);
    QCOMPARE(dlg.pos(), landed);
    CIniFile config(Paths.ConfigPath);
    QCOMPARE(config.ReadInt(MainSection, "PosX"), landed.x());
    QCOMPARE(config.ReadInt(MainSection, "PosY"), landed.y());
    // After the release the mouse no longer moves the window.
    QMouseEvent after(QEvent::MouseMove, QPoint(3, 40), QPoint(10, 10), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&dlg, &after);
    QCOMPARE(dlg.pos(), landed);
}

void StavoryDlgTest::placeOnWorkAreaChange() {
    WriteConfig({{"PosX", 900}, {"PosY", 300}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.pos(), QPoint(900, 300));
    // A smaller screen leaves the left edge 50 pixels from the work area's right edge.
    Desktop.Area = QRect(0, 0, 950, 700);
    dlg.PlaceInWorkArea();
    QCOMPARE(dlg.pos(), QPoint(950 - 99, 300));
    CIniFile config(Paths.ConfigPath);
    QCOMPARE(config.ReadInt(MainSection, "PosX"), 851);
    QCOMPARE(config.ReadInt(MainSection, "PosY"), 300);
    QCOMPARE(dlg.Settings().PosX, 851);
}

void StavoryDlgTest::stackingCommands_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<StackingLevel>("level");
    QTest::addColumn<int>("winBeh");
    QTest::newRow("always top") << int(TrayCommand::AlwaysTop) << StackingLevel::Above << 0;
    QTest::newRow("normal") << int(TrayCommand::Normal) << StackingLevel::Normal << 1;
    QTest::newRow("always bottom") << int(TrayCommand::AlwaysBottom) << StackingLevel::Below << 2;
}

void StavoryDlgTest::stackingCommands() {
    QFETCH(int, command);
    QFETCH(StackingLevel, level);
    QFETCH(int, winBeh);
    WriteConfig({{"WinBeh", winBeh == 1 ? 2 : 1}});
    CStavoryDlg& dlg = Start();
    Desktop.Stacking.clear();
    dlg.OnCommand(command);
    QVERIFY(!Desktop.Stacking.isEmpty());
    QCOMPARE(Desktop.Stacking.last(), level);
    QCOMPARE(dlg.Settings().WinBeh, winBeh);
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "WinBeh"), winBeh);
    // The layer holds when the strip is shown again.
    dlg.hide();
    Desktop.Stacking.clear();
    dlg.OnShow();
    QVERIFY(Desktop.Stacking.contains(level));
}

void StavoryDlgTest::stackingAtStart() {
    WriteConfig({{"WinBeh", 2}});
    Start();
    QVERIFY(Desktop.Stacking.contains(StackingLevel::Below));
    QVERIFY(!Desktop.Stacking.contains(StackingLevel::Above));
    QCOMPARE(Desktop.Stacking.last(), StackingLevel::Below);
}

void StavoryDlgTest::trayMenuItemsAndMarks() {
    WriteConfig({{"WinBeh", 2}});
    CStavoryDlg& dlg = Start();
    std::unique_ptr<QMenu> menu(dlg.BuildTrayMenu(nullptr));
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(texts, (QStringList{"About...", "Help and Support", "-", "Always Top", "Normal", "Always Bottom",
                                 "-", "Show", "-", "Logs", "-", "Backup Config File", "Restore Config File",
                                 "Reset Config File", "-", "Properties...", "-", "Exit"}));
    const auto imageOf = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    const QImage on = imageOf(ArtIcon(ArtPicture::RadioOn));
    const QImage off = imageOf(ArtIcon(ArtPicture::RadioOff));
    QVERIFY(on != off);
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        if (a->text() == QLatin1String("Always Bottom"))
            QCOMPARE(imageOf(a->icon()), on);
        else if (a->text() == QLatin1String("Always Top") || a->text() == QLatin1String("Normal"))
            QCOMPARE(imageOf(a->icon()), off);
        else
            QVERIFY(imageOf(a->icon()) != on && imageOf(a->icon()) != off);
    }
    // The marks follow the mode chosen later.
    dlg.OnCommand(TrayCommand::AlwaysTop);
    std::unique_ptr<QMenu> again(dlg.BuildTrayMenu(nullptr));
    QCOMPARE(imageOf(again->actions().at(3)->icon()), on);
    QCOMPARE(imageOf(again->actions().at(5)->icon()), off);
}

void StavoryDlgTest::trayClicksBringTheStripBack() {
    CStavoryDlg& dlg = Start();
    ClickAt(QPoint(3, 3));
    QVERIFY(!dlg.isVisible());
    dlg.OnTrayNotify(134, 0x203); // double click
    QVERIFY(dlg.isVisible());
    ClickAt(QPoint(3, 3));
    QVERIFY(!dlg.isVisible());
    emit dlg.Tray()->Icon()->activated(QSystemTrayIcon::Trigger); // one click: down and up
    QVERIFY(dlg.isVisible());
    dlg.showMinimized();
    dlg.OnTrayNotify(134, 0x202);
    QVERIFY(!dlg.isMinimized());
    dlg.hide();
    dlg.OnTrayNotify(134, 0x204); // right down does nothing
    dlg.OnTrayNotify(134, 0x200);
    QVERIFY(!dlg.isVisible());
    // A second start of the program brings a hidden or minimised strip back.
    dlg.OnShowMain();
    QVERIFY(dlg.isVisible());
    dlg.showMinimized();
    dlg.OnShowMain();
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.isMinimized());
}

void StavoryDlgTest::trayRightClickRules() {
    CStavoryDlg& dlg = Start();
    // During the exit question no menu opens.
    QWidget* popupDuringQuestion = reinterpret_cast<QWidget*>(1);
    Prompts->Answers = {"no"};
    Prompts->WhileAsking = [&] {
        dlg.OnTrayNotify(134, 0x205);
        popupDuringQuestion = QApplication::activePopupWidget();
    };
    dlg.OnCommand(TrayCommand::Exit);
    QVERIFY(popupDuringQuestion == nullptr);
    Prompts->WhileAsking = nullptr;
    QVERIFY(!dlg.IsDialogOpen());

    // An open dialog is brought up instead of the menu.
    QWidget dialog;
    dialog.setWindowTitle(QStringLiteral("box properties"));
    dialog.show();
    dialog.showMinimized();
    dlg.SetOwnedDialog(OwnedDialog::BoxProperties, &dialog);
    emit dlg.Tray()->Icon()->activated(QSystemTrayIcon::Context);
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(!dialog.isMinimized());
    dialog.hide();

    // Otherwise the right button's release opens the tray menu.
    emit dlg.Tray()->Icon()->activated(QSystemTrayIcon::Context);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("About..."));
    QCOMPARE(menu->actions().last()->text(), QStringLiteral("Exit"));
    menu->close();
}

void StavoryDlgTest::helpAndLogs_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("opened");
    QTest::newRow("help") << int(TrayCommand::HelpAndSupport) << QStringLiteral("program/Help.html");
    QTest::newRow("logs") << int(TrayCommand::Logs) << QStringLiteral("Pylarix/Logs/");
}

void StavoryDlgTest::helpAndLogs() {
    QFETCH(int, command);
    QFETCH(QString, opened);
    CStavoryDlg& dlg = Start();
    dlg.OnCommand(command);
    QCOMPARE(Prompts->Opened, QStringList{Dir->filePath(opened)});
    QVERIFY(Prompts->Log.isEmpty());
}

void StavoryDlgTest::backup() {
    CStavoryDlg& dlg = Start();
    CIniFile config(Paths.ConfigPath);
    // A marker removed by hand is put back before the copy, so the backup can be restored.
    QVERIFY(config.WriteString(MainSection, "App", "changed"));
    const QString target = Dir->filePath("saved.ini");
    Prompts->Answers = {target};
    dlg.OnCommand(TrayCommand::BackupConfig);
    QCOMPARE(Prompts->Log.size(), 1);
    QCOMPARE(Prompts->Log[0].Kind, QStringLiteral("save"));
    QCOMPARE(Prompts->Log[0].Title, QStringLiteral("INI File (*.ini)"));
    QCOMPARE(Prompts->Log[0].Text, QStringLiteral("ini"));
    QVERIFY(Prompts->Log[0].DialogOpen);
    QVERIFY(!dlg.IsDialogOpen());
    QCOMPARE(config.ReadString(MainSection, "App"), QStringLiteral("Pylarix"));
    QCOMPARE(ReadAll(target), ReadAll(Paths.ConfigPath));

    // Cancelled: nothing is written.
    const QByteArray before = ReadAll(Paths.ConfigPath);
    Prompts->Answers = {QString()};
    dlg.OnCommand(TrayCommand::BackupConfig);
    QCOMPARE(ReadAll(Paths.ConfigPath), before);
    QCOMPARE(Prompts->Log.size(), 2);

    // A copy that fails shows the system's text and leaves the live file alone.
    Prompts->Answers = {Dir->filePath("no/such/folder/saved.ini")};
    dlg.OnCommand(TrayCommand::BackupConfig);
    QCOMPARE(Prompts->Log.size(), 4);
    QCOMPARE(Prompts->Log[3].Kind, QStringLiteral("message"));
    QCOMPARE(Prompts->Log[3].Title, QStringLiteral("Pylarix"));
    QVERIFY(!Prompts->Log[3].Text.isEmpty());
    QVERIFY(Prompts->Log[3].DialogOpen);
    QVERIFY(!dlg.IsDialogOpen());
    QCOMPARE(ReadAll(Paths.ConfigPath), before);
}

void StavoryDlgTest::restoreReloads() {
    WriteConfig({{"HideTaskBarButton", 1}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.Table().NumBox, 1);
    const CMonitorBox* oldRecord = dlg.Table().At(0);
    QVERIFY(oldRecord);

    // A backup of another configuration: three monitors at another place.
    const QString source = Dir->filePath("other.ini");
    {
        CIniFile other(source);
        CIniFile otherMain(Dir->filePath("otherMain.ini"));
        QVERIFY(WriteFirstStart(other, otherMain));
        QVERIFY(other.WriteInt(MainSection, "FirstStart", 0));
        QVERIFY(other.WriteInt(MainSection, "NumBox", 3));
        QVERIFY(other.WriteInt(MainSection, "PosX", 150));
        QVERIFY(other.WriteInt(MainSection, "PosY", 160));
        QVERIFY(other.WriteString(BoxSectionName(2), "Text", "third"));
    }
    Started.clear();
    Prompts->Answers = {source};
    dlg.OnCommand(TrayCommand::RestoreConfig);
    QCOMPARE(Prompts->Log.size(), 1);
    QCOMPARE(Prompts->Log[0].Kind, QStringLiteral("open"));
    QCOMPARE(Prompts->Log[0].Title, QStringLiteral("INI File (*.ini)"));
    QVERIFY(Prompts->Log[0].DialogOpen);
    QVERIFY(!dlg.IsDialogOpen());
    QCOMPARE(dlg.Table().NumBox, 3);
    QCOMPARE(dlg.Table().At(2)->Text, QStringLiteral("third"));
    QCOMPARE(dlg.Table().At(2)->Status, MonitorStatus::CHECKING);
    QCOMPARE(Started, (QList<int>{0, 1, 2}));
    QCOMPARE(dlg.size(), QSize(281, 82));
    QCOMPARE(dlg.pos(), QPoint(150, 160));
    QCOMPARE(ReadAll(Paths.ConfigPath), ReadAll(source));
    // The second file is not part of a backup.
    QCOMPARE(CIniFile(Paths.MainIniPath).ReadInt(MainSection, "HideTaskBarButton"), 1);
}

void StavoryDlgTest::restoreRefused_data() {
    QTest::addColumn<QString>("marker"); // "<none>": no App key
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("message");
    QTest::newRow("marker in other letter case") << "pylarix" << true << true;
    QTest::newRow("no marker") << "<none>" << true << true;
    QTest::newRow("marker with more") << "Pylarix2" << true << true;
    QTest::newRow("no such file") << "Pylarix" << false << false;
    QTest::newRow("cancelled") << "" << false << false;
}

void StavoryDlgTest::restoreRefused() {
    QFETCH(QString, marker);
    QFETCH(bool, fileExists);
    QFETCH(bool, message);
    CStavoryDlg& dlg = Start();
    const CMonitorBox* record = dlg.Table().At(0);
    const QByteArray before = ReadAll(Paths.ConfigPath);
    QString source;
    if (!marker.isEmpty()) {
        source = Dir->filePath("candidate.ini");
        if (fileExists) {
            CIniFile candidate(source);
            QVERIFY(candidate.WriteInt(MainSection, "NumBox", 5));
            if (marker != QLatin1String("<none>"))
                QVERIFY(candidate.WriteString(MainSection, "App", marker));
        }
    }
    Started.clear();
    Prompts->Answers = {source};
    dlg.OnCommand(TrayCommand::RestoreConfig);
    QCOMPARE(Prompts->Log.size(), message ? 2 : 1);
    if (message) {
        QCOMPARE(Prompts->Log[1].Text, QStringLiteral("Restored config file is not valid."));
        QCOMPARE(Prompts->Log[1].Title, QStringLiteral("Pylarix"));
        QVERIFY(Prompts->Log[1].DialogOpen);
    }
    QVERIFY(!dlg.IsDialogOpen());
    // Nothing changed: same records, same file, no worker restarted.
    QCOMPARE(dlg.Table().NumBox, 1);
    QCOMPARE(dlg.Table().At(0), record);
    QCOMPARE(ReadAll(Paths.ConfigPath), before);
    QVERIFY(Started.isEmpty());
}

void StavoryDlgTest::reset_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("reloaded");
    QTest::newRow("yes") << "yes" << true;
    QTest::newRow("no") << "no" << false;
}

void StavoryDlgTest::reset() {
    QFETCH(QString, answer);
    QFETCH(bool, reloaded);
    WriteConfig({{"NumBox", 5}, {"PosX", 20}, {"PosY", 30}, {"HideTaskBarButton", 1}, {"WinBeh", 2}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.Table().NumBox, 5);
    Started.clear();
    Prompts->Answers = {answer};
    dlg.OnCommand(TrayCommand::ResetConfig);
    QCOMPARE(Prompts->Log.size(), 1);
    QCOMPARE(Prompts->Log[0].Kind, QStringLiteral("question"));
    QCOMPARE(Prompts->Log[0].Text, QStringLiteral("Do you want to reset config file?"));
    QVERIFY(Prompts->Log[0].DialogOpen);
    QVERIFY(!dlg.IsDialogOpen());
    if (reloaded) {
        QCOMPARE(dlg.Table().NumBox, 1);
        QCOMPARE(dlg.Table().At(0)->Text, QStringLiteral("LOCAL"));
        QCOMPARE(dlg.Table().At(0)->IPAdress, QStringLiteral("127.0.0.1"));
        QCOMPARE(Started, QList<int>{0});
        QCOMPARE(dlg.size(), QSize(99, 82));
        QCOMPARE(dlg.pos(), QPoint(463, 343));
        QCOMPARE(CIniFile(Paths.MainIniPath).ReadInt(MainSection, "HideTaskBarButton"), 0);
        // The first-start WinBeh 1 is in force at once: the strip leaves the bottom layer.
        QCOMPARE(Desktop.Stacking.last(), StackingLevel::Normal);
    } else {
        QCOMPARE(Desktop.Stacking.last(), StackingLevel::Below);
        QCOMPARE(dlg.Table().NumBox, 5);
        QVERIFY(Started.isEmpty());
        QCOMPARE(dlg.pos(), QPoint(20, 30));
    }
}

void StavoryDlgTest::exitAsksAndWritesNothing_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("no keeps running") << "no";
    QTest::newRow("yes ends") << "yes";
}

void StavoryDlgTest::exitAsksAndWritesNothing() {
    QFETCH(QString, answer);
    WriteConfig({{"NumBox", 2}});
    CStavoryDlg& dlg = Start();
    const QByteArray config = ReadAll(Paths.ConfigPath);
    const QByteArray mainIni = ReadAll(Paths.MainIniPath);
    Prompts->Answers = {answer};
    dlg.OnCommand(TrayCommand::Exit);
    QCOMPARE(Prompts->Log.size(), 1);
    QCOMPARE(Prompts->Log[0].Kind, QStringLiteral("question"));
    QCOMPARE(Prompts->Log[0].Title, QStringLiteral("Pylarix"));
    QCOMPARE(Prompts->Log[0].Text, QStringLiteral("Are you sure want to exit Pylarix?"));
    QVERIFY(Prompts->Log[0].DialogOpen);
    QVERIFY(!Prompts->Log[0].Owned);
    QVERIFY(!dlg.IsDialogOpen());
    if (answer == QLatin1String("yes")) {
        QCOMPARE(dlg.Table().NumBox, 0);
        QVERIFY(dlg.Tray()->IconRemoved());
        QVERIFY(!dlg.Tray()->Icon()->isVisible());
        QVERIFY(!dlg.isVisible());
        // Nothing after the teardown reaches a record or the files.
        dlg.OnTrayNotify(134, 0x203);
        dlg.OnCommand(TrayCommand::AlwaysTop);
    } else {
        QCOMPARE(dlg.Table().NumBox, 2);
        QVERIFY(!dlg.Tray()->IconRemoved());
        QVERIFY(dlg.isVisible());
    }
    Dlg.reset();
    QCOMPARE(ReadAll(Paths.ConfigPath), config);
    QCOMPARE(ReadAll(Paths.MainIniPath), mainIni);
}

void StavoryDlgTest::RunProperties(const std::function<void(CPropertiesDlg&)>& whileOpen) {
    bool ran = false;
    QTimer::singleShot(0, Dlg.get(), [&] {
        CPropertiesDlg* dialog = Dlg->PropertiesDialog();
        QVERIFY(dialog && dialog->isVisible());
        ran = true;
        whileOpen(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    Dlg->OnCommand(TrayCommand::Properties);
    QVERIFY(ran);
}

void StavoryDlgTest::propertiesOpacityLive() {
    WriteConfig({{"Transparent", 220}});
    CStavoryDlg& dlg = Start();
    auto opacity = [&] { return qRound(dlg.windowOpacity() * 255); };
    RunProperties([&](CPropertiesDlg& d) {
        // Modal to the strip only, so that the tray icon keeps answering.
        QCOMPARE(d.windowModality(), Qt::WindowModal);
        QCOMPARE(d.parentWidget(), &dlg);
        QCOMPARE(d.OpacitySlider()->value(), 220);
        // The command again while the dialog runs only brings it forward.
        dlg.OnCommand(TrayCommand::Properties);
        QVERIFY(d.isVisible());
        d.OpacitySlider()->setValue(d.OpacitySlider()->minimum());
        QCOMPARE(opacity(), 160);
        d.CancelButton()->click();
    });
    QCOMPARE(opacity(), 220);
    QCOMPARE(dlg.Settings().Transparent, std::uint8_t{220});
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "Transparent"), 220);

    RunProperties([&](CPropertiesDlg& d) {
        d.OpacitySlider()->setValue(160);
        d.ApplyButton()->click();
        QVERIFY(d.isVisible());
        QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "Transparent"), 160);
        d.CancelButton()->click();
    });
    // Applied before the Cancel: the stored value is now the slider's.
    QCOMPARE(dlg.Settings().Transparent, std::uint8_t{160});
    QCOMPARE(opacity(), 160);
}

void StavoryDlgTest::propertiesOkResizesAndSaves() {
    WriteConfig({{"NumBox", 3}, {"VerifyTime", 3}, {"TimeOut", 3200}});
    CStavoryDlg& dlg = Start();
    const QSize before = dlg.size();
    RunProperties([&](CPropertiesDlg& d) {
        d.Spin(PropertiesSpin::XBox)->stepBy(1);
        d.Spin(PropertiesSpin::VerifyTime)->stepBy(1);
        d.Spin(PropertiesSpin::TimeOut)->stepBy(1);
        d.ShowReplyTimeBox()->click();
        d.OkButton()->click();
    });
    QVERIFY(!dlg.PropertiesDialog()->isVisible());
    QCOMPARE(dlg.size(), QSize(before.width() + 3, before.height()));
    QCOMPARE(dlg.Settings().XBox, 91);
    QCOMPARE(VerifyTime.load(), 4u);
    QCOMPARE(TimeOut.load(), 3700u);
    CIniFile config(Paths.ConfigPath);
    QCOMPARE(config.ReadInt(MainSection, "XBox"), 91);
    QCOMPARE(config.ReadInt(MainSection, "VerifyTime"), 4);
    QCOMPARE(config.ReadInt(MainSection, "TimeOut"), 3700);
    QCOMPARE(config.ReadInt(MainSection, "ShowUpDownTime"), dlg.Settings().ShowReplyTime ? 0 : 1);
    VerifyTime.store(3);
    TimeOut.store(3000);
}

void StavoryDlgTest::propertiesApplyHidesTaskbarButton_data() {
    QTest::addColumn<int>("stored");
    QTest::newRow("shown, then hidden") << 0;
    QTest::newRow("hidden, then shown") << 1;
}

void StavoryDlgTest::propertiesApplyHidesTaskbarButton() {
    QFETCH(int, stored);
    WriteConfig({{"HideTaskBarButton", stored}});
    CStavoryDlg& dlg = Start();
    Desktop.SkipTaskbar.clear();
    // The order of the apply: the settings are copied, then the taskbar state changes, then the
    // files are written.
    QList<int> xBoxSeen;
    QList<int> mainIniSeen;
    Desktop.OnSkipTaskbar = [&](bool) {
        xBoxSeen << dlg.Settings().XBox;
        mainIniSeen << CIniFile(Paths.MainIniPath).ReadInt(MainSection, "HideTaskBarButton");
    };
    RunProperties([&](CPropertiesDlg& d) {
        d.HideTaskBarButtonBox()->click();
        d.Spin(PropertiesSpin::XBox)->stepBy(1);
        d.ApplyButton()->click();
        QCOMPARE(xBoxSeen.value(0), 91);
        QCOMPARE(mainIniSeen.value(0), stored);
        QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "XBox"), 91);
        // At once, while the dialog stays open.
        QCOMPARE(Desktop.SkipTaskbar.value(0, stored != 0), stored == 0);
        QCOMPARE(CIniFile(Paths.MainIniPath).ReadInt(MainSection, "HideTaskBarButton"), stored ? 0 : 1);
        QVERIFY(dlg.isVisible());
        QVERIFY(d.isVisible());
        const int changes = Desktop.SkipTaskbar.count(stored == 0);
        // Applied again unchanged: the taskbar state is left alone.
        d.ApplyButton()->click();
        QCOMPARE(Desktop.SkipTaskbar.count(stored == 0), changes);
        d.CancelButton()->click();
    });
    QCOMPARE(dlg.Settings().HideTaskBarButton, stored ? 0 : 1);
    QCOMPARE(Desktop.SkipTaskbar.last(), stored == 0);
    Desktop.OnSkipTaskbar = nullptr;
}

void StavoryDlgTest::propertiesLowTransparentRaisedAtLoad() {
    WriteConfig({{"Transparent", 100}});
    CStavoryDlg& dlg = Start();
    QCOMPARE(dlg.Settings().Transparent, std::uint8_t{160});
    RunProperties([&](CPropertiesDlg& d) {
        QCOMPARE(d.OpacitySlider()->value(), 160);
        d.CancelButton()->click();
    });
    QCOMPARE(qRound(dlg.windowOpacity() * 255), 160);
    RunProperties([&](CPropertiesDlg& d) { d.OkButton()->click(); });
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "Transparent"), 160);
}

void StavoryDlgTest::propertiesCancelKeepsTheVolume() {
    RecordingAudioOutput audio;
    WriteConfig({{"Volume", 40000}});
    CStavoryDlg& dlg = Start();
    RunProperties([&](CPropertiesDlg& d) {
        d.VolumeSlider()->setValue(1000);
        QCOMPARE(audio.EffectiveProcessVolume(), 1000u);
        d.CancelButton()->click();
    });
    // The sound stays as the slider left it; the setting keeps its stored value.
    QCOMPARE(audio.EffectiveProcessVolume(), 1000u);
    QCOMPARE(dlg.Settings().Volume, 40000u);
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "Volume"), 40000);
}

void StavoryDlgTest::propertiesIntervalReachesRunningWorkers() {
    WriteConfig({{"NumBox", 1}, {"VerifyTime", 2}});
    auto probes = std::make_shared<CFakeProbes>(MonitorStatus::Up, 1);
    OnStart = [probes](CMonitorBox& box) { box.StartWorker(probes); };
    CStavoryDlg& dlg = Start();
    QTRY_COMPARE_WITH_TIMEOUT(probes->CallCount(), std::size_t(1), 5000);
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    const CNetThread* worker = dlg.Table().At(0)->Worker.get();
    // Applied while the worker sleeps its first 2 s: checks follow at 2, 3 and 4 s, not 2, 4, 6.
    RunProperties([&](CPropertiesDlg& d) {
        d.Spin(PropertiesSpin::VerifyTime)->stepBy(-1);
        d.OkButton()->click();
    });
    QCOMPARE(VerifyTime.load(), 1u);
    QTRY_VERIFY_WITH_TIMEOUT(probes->CallCount() >= 4, 8000);
    QVERIFY2(sinceFirst.elapsed() < 5500,
             qPrintable(QString("fourth check after %1 ms").arg(sinceFirst.elapsed())));
    QVERIFY2(sinceFirst.elapsed() > 2500,
             qPrintable(QString("fourth check after %1 ms").arg(sinceFirst.elapsed())));
    // The same worker, not a restarted one.
    QCOMPARE(dlg.Table().At(0)->Worker.get(), worker);
    VerifyTime.store(3);
    TimeOut.store(3000);
}

namespace {

// The context menu the strip opens for a right click at a window point, if any.
QMenu* ContextMenuAt(CStavoryDlg& dlg, QPoint p) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, dlg.mapToGlobal(p));
    QApplication::sendEvent(&dlg, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace

void StavoryDlgTest::noTrayKeepsTheStripInReach_data() {
    QTest::addColumn<int>("hideTaskBarButton");
    QTest::newRow("taskbar button") << 0;
    QTest::newRow("taskbar button set off") << 1;
}

void StavoryDlgTest::noTrayKeepsTheStripInReach() {
    QFETCH(int, hideTaskBarButton);
    WriteConfig({{"HideTaskBarButton", hideTaskBarButton}});
    TrayOnDesktop = false;
    CStavoryDlg& dlg = Start();
    QVERIFY(!dlg.IsTrayPresent());
    // The taskbar button is the way back while there is no tray icon.
    QVERIFY(!Desktop.SkipTaskbar.contains(true));

    // The cross and the dash minimise; no balloon is promised from an icon nobody sees.
    for (QPoint zone : {QPoint(3, 3), QPoint(3, 9)}) {
        ClickAt(zone);
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.isMinimized());
        dlg.OnShow();
        QVERIFY(!dlg.isMinimized());
    }
    QCOMPARE(dlg.Tray()->BalloonCount(), 0);
    QVERIFY(dlg.IsBalloonPending());

    // The grip's menu holds the tray menu, whose commands work from there.
    QCOMPARE(ContextMenuAt(dlg, QPoint(50, 40)), nullptr); // a box, not the grip
    QMenu* menu = ContextMenuAt(dlg, QPoint(3, 40));
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QMenu* trayMenu = menu->actions().constFirst()->menu();
    QVERIFY(trayMenu);
    QCOMPARE(trayMenu->title(), QStringLiteral("Pylarix"));
    QStringList texts, expected;
    for (QAction* action : trayMenu->actions())
        texts << (action->isSeparator() ? QString() : action->text());
    for (const TrayMenuEntry& entry : TrayMenuLayout())
        expected << (entry.Text ? QString::fromLatin1(entry.Text) : QString());
    QCOMPARE(texts, expected);
    for (QAction* action : trayMenu->actions())
        if (action->text() == QLatin1String("Always Bottom"))
            action->trigger();
    menu->close();
    QTRY_COMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "WinBeh"), 2);

    // A tray appears: found by the watch, the icon stands in and the usual rules apply.
    const int skipsBefore = int(Desktop.SkipTaskbar.count(true));
    TrayOnDesktop = true;
    QTRY_VERIFY_WITH_TIMEOUT(dlg.IsTrayPresent(), 3000);
    QCOMPARE(int(Desktop.SkipTaskbar.count(true)) > skipsBefore, hideTaskBarButton == 1);
    QCOMPARE(ContextMenuAt(dlg, QPoint(3, 40)), nullptr);
    ClickAt(QPoint(3, 3));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.Tray()->BalloonCount(), 1);
}

void StavoryDlgTest::aboutBoxLeavesTheStripAnswering() {
    // The about box is modal to no window: while it is open the strip takes its clicks (here the
    // cross, delivered through the window system as a real click is) and the tray's right click
    // brings the box to the front.
    CStavoryDlg& dlg = Start();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    Qt::WindowModality modality = Qt::NonModal;
    bool stripHid = false, broughtBack = false, menuOpened = true, seen = false;
    QTimer::singleShot(0, &dlg, [&] {
        QWidget* about = QApplication::activeModalWidget();
        if (!about)
            return;
        seen = true;
        modality = about->windowModality();
        QTest::mouseClick(dlg.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        stripHid = !dlg.isVisible();
        about->showMinimized();
        dlg.OnTrayNotify(TrayIconId, TrayMouse::RButtonUp);
        broughtBack = !about->isMinimized();
        menuOpened = QApplication::activePopupWidget() != nullptr;
        about->close();
    });
    dlg.OnCommand(TrayCommand::About);
    QVERIFY(seen);
    QVERIFY2(stripHid, "the strip's cross did not answer while the about box was open");
    QVERIFY(broughtBack);
    QVERIFY(!menuOpened);
    QCOMPARE(modality, Qt::WindowModal);
}

QTEST_MAIN(StavoryDlgTest)
#include "tst_StavoryDlg.moc"
