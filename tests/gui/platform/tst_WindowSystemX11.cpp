// The strip on a real X11 desktop: an Xvfb server with the IceWM window manager, both started
// here, and the window states the window manager ends up holding.
#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "mainwnd/StavoryDlg.h"
#include "platform/WindowSystem.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/XSession.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <xcb/xcb.h>

namespace {

// The display the session below runs on, for xprop.
QString SessionDisplay;

QString XProp(WId window, const char* property) {
    QProcess xprop;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", SessionDisplay);
    xprop.setProcessEnvironment(env);
    xprop.start("xprop", {"-id", QString::number(window), QString::fromLatin1(property)});
    xprop.waitForFinished(5000);
    return QString::fromLocal8Bit(xprop.readAllStandardOutput()).trimmed();
}

bool HasState(WId window, const char* state) {
    return XProp(window, "_NET_WM_STATE").contains(state);
}

bool SetRootWorkArea(const QString& values) {
    QProcess xprop;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", SessionDisplay);
    xprop.setProcessEnvironment(env);
    xprop.start("xprop", {"-root", "-format", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", values});
    return xprop.waitForFinished(5000) && xprop.exitCode() == 0;
}

// Unmaps a window from a connection of its own, as a window manager that withdraws it would:
// the toolkit still holds it for shown.
bool UnmapBehindTheToolkit(WId window) {
    xcb_connection_t* c = xcb_connect(qPrintable(SessionDisplay), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_void_cookie_t cookie = xcb_unmap_window_checked(c, static_cast<xcb_window_t>(window));
    xcb_generic_error_t* error = xcb_request_check(c, cookie);
    free(error);
    xcb_disconnect(c);
    return error == nullptr;
}

// Waits until the window manager shows what was asked for (it works asynchronously).
bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 50; ++i) {
        if (condition())
            return true;
        QTest::qWait(100);
    }
    return condition();
}

} // namespace

class X11WindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stackingOfAMappedWindow_data();
    void stackingOfAMappedWindow();
    void statesSetBeforeTheWindowIsMapped();
    void skipTaskbarOfAMappedWindow();
    void workAreaIsThePanelFreeScreen();
    void stripStates_data();
    void stripStates();
    void withdrawnStripComesBack();
    void workAreaChangePlacesTheStrip();

private:
    // Starts the strip on a fresh data folder after its first start, with settings written on
    // top; true once the strip is on screen.
    bool StartStrip(const std::function<bool(CIniFile& config, CIniFile& mainIni)>& settings);

    std::unique_ptr<QWidget> Window;
    std::unique_ptr<QTemporaryDir> Dir;
    CDataPaths Paths;
    std::unique_ptr<CStavoryDlg> Dlg;
};

bool X11WindowTest::StartStrip(const std::function<bool(CIniFile& config, CIniFile& mainIni)>& settings) {
    Dir = std::make_unique<QTemporaryDir>();
    Paths = MakeDataPaths(Dir->filePath("Pylarix"), Dir->filePath("program"));
    CreateDataFolders(Paths);
    CIniFile config(Paths.ConfigPath);
    CIniFile mainIni(Paths.MainIniPath);
    if (!WriteFirstStart(config, mainIni) || !settings(config, mainIni))
        return false;
    Dlg = std::make_unique<CStavoryDlg>(Paths);
    Dlg->WorkerStarter = [](CMonitorBox&) {};
    Dlg->Initialise();
    return QTest::qWaitForWindowExposed(Dlg.get());
}

void X11WindowTest::init() {
    Window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    Window->resize(99, 82);
    Window->move(100, 100);
}

void X11WindowTest::cleanup() {
    Window.reset();
    Dlg.reset();
    Dir.reset();
}

void X11WindowTest::stackingOfAMappedWindow_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("above");
    QTest::addColumn<bool>("below");
    QTest::newRow("always top") << int(StackingLevel::Above) << true << false;
    QTest::newRow("normal") << int(StackingLevel::Normal) << false << false;
    QTest::newRow("always bottom") << int(StackingLevel::Below) << false << true;
}

void X11WindowTest::stackingOfAMappedWindow() {
    QFETCH(int, level);
    QFETCH(bool, above);
    QFETCH(bool, below);
    Window->show();
    QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
    const WId id = Window->winId();
    // From the opposite layer, so that every row changes something.
    DesktopWindowSystem().SetStacking(Window->windowHandle(),
                                      below ? StackingLevel::Above : StackingLevel::Below);
    QVERIFY(WaitFor([&] { return HasState(id, below ? "_NET_WM_STATE_ABOVE" : "_NET_WM_STATE_BELOW"); }));
    DesktopWindowSystem().SetStacking(Window->windowHandle(), static_cast<StackingLevel>(level));
    QVERIFY2(WaitFor([&] {
                 return HasState(id, "_NET_WM_STATE_ABOVE") == above &&
                        HasState(id, "_NET_WM_STATE_BELOW") == below;
             }),
             qPrintable(XProp(id, "_NET_WM_STATE")));
}

void X11WindowTest::statesSetBeforeTheWindowIsMapped() {
    // Set while the window is withdrawn, as the strip does before it is shown again.
    const WId id = Window->winId();
    DesktopWindowSystem().SetStacking(Window->windowHandle(), StackingLevel::Below);
    DesktopWindowSystem().SetSkipTaskbar(Window->windowHandle(), true);
    Window->show();
    QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
    QCOMPARE(Window->windowHandle()->winId(), id);
    QVERIFY2(WaitFor([&] {
                 return HasState(id, "_NET_WM_STATE_BELOW") && HasState(id, "_NET_WM_STATE_SKIP_TASKBAR");
             }),
             qPrintable(XProp(id, "_NET_WM_STATE")));
}

void X11WindowTest::skipTaskbarOfAMappedWindow() {
    Window->show();
    QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
    const WId id = Window->winId();
    DesktopWindowSystem().SetSkipTaskbar(Window->windowHandle(), true);
    QVERIFY2(WaitFor([&] {
                 return HasState(id, "_NET_WM_STATE_SKIP_TASKBAR") &&
                        HasState(id, "_NET_WM_STATE_SKIP_PAGER");
             }),
             qPrintable(XProp(id, "_NET_WM_STATE")));
    DesktopWindowSystem().SetSkipTaskbar(Window->windowHandle(), false);
    QVERIFY2(WaitFor([&] {
                 return !HasState(id, "_NET_WM_STATE_SKIP_TASKBAR") &&
                        !HasState(id, "_NET_WM_STATE_SKIP_PAGER");
             }),
             qPrintable(XProp(id, "_NET_WM_STATE")));
}

void X11WindowTest::workAreaIsThePanelFreeScreen() {
    // IceWM's taskbar runs along the bottom of the 1024 x 768 screen.
    QVERIFY(WaitFor([] {
        const QRect wa = DesktopWindowSystem().WorkArea();
        return wa.width() == 1024 && wa.height() < 768 && wa.height() > 600;
    }));
    const QRect wa = DesktopWindowSystem().WorkArea();
    QCOMPARE(ExclusiveRight(wa), 1024);
    QCOMPARE(ExclusiveBottom(wa), wa.y() + wa.height());
}

void X11WindowTest::stripStates_data() {
    QTest::addColumn<int>("winBeh");
    QTest::addColumn<int>("hideTaskBarButton");
    QTest::addColumn<int>("transparent");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("absent");
    QTest::newRow("always top") << 0 << 0 << 255 << "_NET_WM_STATE_ABOVE"
                                << "_NET_WM_STATE_SKIP_TASKBAR";
    QTest::newRow("always bottom") << 2 << 0 << 255 << "_NET_WM_STATE_BELOW"
                                   << "_NET_WM_STATE_ABOVE";
    QTest::newRow("no taskbar button") << 1 << 1 << 120 << "_NET_WM_STATE_SKIP_TASKBAR"
                                       << "_NET_WM_STATE_BELOW";
}

void X11WindowTest::stripStates() {
    QFETCH(int, winBeh);
    QFETCH(int, hideTaskBarButton);
    QFETCH(int, transparent);
    QFETCH(QString, state);
    QFETCH(QString, absent);
    QVERIFY(StartStrip([&](CIniFile& config, CIniFile& mainIni) {
        return config.WriteInt(MainSection, "WinBeh", winBeh) &&
               config.WriteInt(MainSection, "Transparent", transparent) &&
               mainIni.WriteInt(MainSection, "HideTaskBarButton", hideTaskBarButton);
    }));
    const WId id = Dlg->winId();
    QCOMPARE(Dlg->windowHandle()->winId(), id);
    QVERIFY2(WaitFor([&] { return HasState(id, qPrintable(state)); }),
             qPrintable(XProp(id, "_NET_WM_STATE")));
    QVERIFY(!HasState(id, qPrintable(absent)));
    // Hidden to the tray and back: the states are there again.
    QTest::mouseClick(Dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QVERIFY(WaitFor([&] { return !Dlg->isVisible(); }));
    Dlg->OnTrayNotify(134, 0x203);
    QVERIFY(QTest::qWaitForWindowExposed(Dlg.get()));
    QVERIFY2(WaitFor([&] { return HasState(id, qPrintable(state)); }),
             qPrintable(XProp(id, "_NET_WM_STATE")));
    const QString opacity = XProp(id, "_NET_WM_WINDOW_OPACITY");
    if (transparent < 255)
        QVERIFY2(opacity.endsWith(QLatin1String("= 2694881440")), qPrintable(opacity)); // 160 / 255
    // Centred in the work area the window manager leaves.
    const QRect wa = DesktopWindowSystem().WorkArea();
    QCOMPARE(Dlg->pos(), QPoint(ExclusiveRight(wa) / 2 - 99 / 2, ExclusiveBottom(wa) / 2 - 82 / 2));
}

void X11WindowTest::withdrawnStripComesBack() {
    // A window manager that handles a quick hide and show late withdraws the strip after the
    // toolkit has shown it again; the strip must come back on screen with its states.
    QVERIFY(
        StartStrip([](CIniFile& config, CIniFile&) { return config.WriteInt(MainSection, "WinBeh", 2); }));
    const WId id = Dlg->winId();
    QVERIFY(WaitFor([&] { return HasState(id, "_NET_WM_STATE_BELOW"); }));

    QVERIFY(UnmapBehindTheToolkit(id));
    QVERIFY2(WaitFor([&] { return !Dlg->windowHandle()->isExposed(); }), "the strip was not taken off");
    QVERIFY(Dlg->isVisible());
    QVERIFY2(WaitFor([&] {
                 return Dlg->windowHandle()->isExposed() && !XProp(id, "WM_STATE").contains("not found") &&
                        HasState(id, "_NET_WM_STATE_BELOW");
             }),
             qPrintable(XProp(id, "WM_STATE") + " / " + XProp(id, "_NET_WM_STATE")));
}

void X11WindowTest::workAreaChangePlacesTheStrip() {
    QVERIFY(StartStrip([](CIniFile& config, CIniFile&) {
        return config.WriteInt(MainSection, "FirstStart", 0) && config.WriteInt(MainSection, "PosX", 900) &&
               config.WriteInt(MainSection, "PosY", 300);
    }));
    QVERIFY(WaitFor([&] { return Dlg->pos() == QPoint(900, 300); }));
    const QRect before = DesktopWindowSystem().WorkArea();

    // The desktop's work area shrinks to 950 wide: the strip's left edge is then 50 pixels from
    // its right edge and moves to 99 pixels from it.
    QVERIFY(SetRootWorkArea("0,0,950,700,0,0,950,700,0,0,950,700,0,0,950,700"));
    QVERIFY2(WaitFor([&] { return Dlg->pos() == QPoint(851, 300); }),
             qPrintable(QStringLiteral("%1,%2").arg(Dlg->pos().x()).arg(Dlg->pos().y())));
    QVERIFY(WaitFor([&] { return CIniFile(Paths.ConfigPath).ReadInt(MainSection, "PosX") == 851; }));
    QCOMPARE(CIniFile(Paths.ConfigPath).ReadInt(MainSection, "PosY"), 300);

    const QString old = QStringLiteral("%1,%2,%3,%4")
                            .arg(before.x())
                            .arg(before.y())
                            .arg(before.width())
                            .arg(before.height());
    QVERIFY(SetRootWorkArea(QStringList(4, old).join(',')));
}

// The desktop session is started before the application, which then connects to it.
int main(int argc, char** argv) {
    CXSession session;
    if (!session.Start(true))
        return 1;
    SessionDisplay = session.Display();
    InstallPlatform(LinuxPlatform());
    QApplication app(argc, argv);
    X11WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_WindowSystemX11.moc"
