#include "app/SessionPlatform.h"

#include <QTest>

class TestSessionPlatform : public QObject {
    Q_OBJECT
private slots:
    void platformForSession_data();
    void platformForSession();
    void choiceGoesIntoTheEnvironment_data();
    void choiceGoesIntoTheEnvironment();
};

void TestSessionPlatform::platformForSession_data() {
    QTest::addColumn<QString>("qpa");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("expected");
    QTest::newRow("wayland display and XWayland") << ""
                                                  << "wayland-0"
                                                  << ""
                                                  << ":0"
                                                  << "xcb";
    QTest::newRow("wayland session type only") << ""
                                               << ""
                                               << "wayland"
                                               << ":1"
                                               << "xcb";
    QTest::newRow("session type in capitals") << ""
                                              << ""
                                              << "Wayland"
                                              << ":1"
                                              << "xcb";
    QTest::newRow("both") << ""
                          << "wayland-1"
                          << "wayland"
                          << ":0"
                          << "xcb";
    QTest::newRow("user chose wayland") << "wayland"
                                        << "wayland-0"
                                        << "wayland"
                                        << ":0"
                                        << "";
    QTest::newRow("user chose offscreen") << "offscreen"
                                          << "wayland-0"
                                          << ""
                                          << ":0"
                                          << "";
    QTest::newRow("x11 session") << ""
                                 << ""
                                 << "x11"
                                 << ":0"
                                 << "";
    QTest::newRow("no session type, X display") << ""
                                                << ""
                                                << ""
                                                << ":0"
                                                << "";
    QTest::newRow("tty session") << ""
                                 << ""
                                 << "tty"
                                 << ""
                                 << "";
    QTest::newRow("wayland without XWayland") << ""
                                              << "wayland-0"
                                              << "wayland"
                                              << ""
                                              << "";
}

void TestSessionPlatform::platformForSession() {
    QFETCH(QString, qpa);
    QFETCH(QString, waylandDisplay);
    QFETCH(QString, sessionType);
    QFETCH(QString, display);
    QFETCH(QString, expected);
    QCOMPARE(PlatformForSession(qpa, waylandDisplay, sessionType, display), expected);
}

void TestSessionPlatform::choiceGoesIntoTheEnvironment_data() {
    QTest::addColumn<QByteArray>("qpa"); // "<unset>" for none
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("unset becomes xcb") << QByteArray("<unset>") << QByteArray("xcb");
    QTest::newRow("empty becomes xcb") << QByteArray("") << QByteArray("xcb");
    QTest::newRow("user's choice kept") << QByteArray("wayland") << QByteArray("wayland");
}

void TestSessionPlatform::choiceGoesIntoTheEnvironment() {
    QFETCH(QByteArray, qpa);
    QFETCH(QByteArray, expected);
    if (qpa == "<unset>")
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", qpa);
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    qunsetenv("XDG_SESSION_TYPE");
    qputenv("DISPLAY", ":5");
    ChooseSessionPlatform();
    QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
}

QTEST_GUILESS_MAIN(TestSessionPlatform)
#include "tst_SessionPlatform.moc"
