#include "mainwnd/SystemTray.h"

#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

class SystemTrayTest : public QObject {
    Q_OBJECT
private slots:
    void createShownOrHidden_data();
    void createShownOrHidden();
    void balloonTextsAreCut_data();
    void balloonTextsAreCut();
    void deleteRemovesOnce();
    void restartAddsOnlyAVisibleIcon();
    void clicksBecomeNotifications_data();
    void clicksBecomeNotifications();
};

void SystemTrayTest::createShownOrHidden_data() {
    QTest::addColumn<bool>("hidden");
    QTest::newRow("shown") << false;
    QTest::newRow("hidden") << true;
}

void SystemTrayTest::createShownOrHidden() {
    QFETCH(bool, hidden);
    CSystemTray tray;
    QVERIFY(tray.IconHidden());
    QVERIFY(tray.IconRemoved());
    QVERIFY(tray.CreateTrayIcon("Pylarix\nKelvade", QIcon(), 134, hidden, QString(), QString(), 1, 3) != 0);
    QCOMPARE(tray.IconHidden(), hidden);
    QCOMPARE(tray.IconRemoved(), hidden);
    QCOMPARE(tray.Icon()->isVisible(), !hidden);
    QCOMPARE(tray.Icon()->toolTip(), QStringLiteral("Pylarix\nKelvade"));
    QCOMPARE(tray.BalloonCount(), 0);
}

void SystemTrayTest::balloonTextsAreCut_data() {
    QTest::addColumn<int>("textLength");
    QTest::addColumn<int>("titleLength");
    QTest::addColumn<int>("shownText");
    QTest::addColumn<int>("shownTitle");
    QTest::newRow("short") << 10 << 5 << 10 << 5;
    QTest::newRow("at the limits") << 255 << 63 << 255 << 63;
    QTest::newRow("beyond the limits") << 400 << 100 << 255 << 63;
}

void SystemTrayTest::balloonTextsAreCut() {
    QFETCH(int, textLength);
    QFETCH(int, titleLength);
    QFETCH(int, shownText);
    QFETCH(int, shownTitle);
    CSystemTray tray;
    tray.CreateTrayIcon("tip", QIcon(), 134, false, QString(), QString(), 1, 3);
    QVERIFY(tray.ShowTrayBalloon(QString(textLength, 'x'), QString(titleLength, 't'),
                                 CSystemTray::BalloonInfo, 10));
    QCOMPARE(tray.LastBalloonText().size(), shownText);
    QCOMPARE(tray.LastBalloonTitle().size(), shownTitle);
    QCOMPARE(tray.BalloonCount(), 1);
}

void SystemTrayTest::deleteRemovesOnce() {
    CSystemTray tray;
    QVERIFY(tray.DeleteTrayIcon() != 0); // nothing to remove yet
    tray.CreateTrayIcon("tip", QIcon(), 134, false, QString(), QString(), 1, 3);
    QVERIFY(tray.Icon()->isVisible());
    QVERIFY(tray.DeleteTrayIcon() != 0);
    QVERIFY(tray.IconRemoved());
    QVERIFY(tray.IconHidden());
    QVERIFY(!tray.Icon()->isVisible());
    QVERIFY(tray.DeleteTrayIcon() != 0);
    // A removed icon is not brought back by a tray that restarts.
    tray.OnTrayRestarted();
    QVERIFY(!tray.Icon()->isVisible());
}

void SystemTrayTest::restartAddsOnlyAVisibleIcon() {
    CSystemTray shown;
    shown.CreateTrayIcon("tip", QIcon(), 134, false, QString(), QString(), 1, 3);
    shown.OnTrayRestarted();
    QVERIFY(shown.Icon()->isVisible());
    QVERIFY(!shown.IconHidden());
    QCOMPARE(shown.Icon()->toolTip(), QStringLiteral("tip"));

    CSystemTray hidden;
    hidden.CreateTrayIcon("tip", QIcon(), 134, true, QString(), QString(), 1, 3);
    hidden.OnTrayRestarted();
    QVERIFY(!hidden.Icon()->isVisible());
}

void SystemTrayTest::clicksBecomeNotifications_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<QList<uint>>("messages");
    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << QList<uint>{0x201, 0x202};
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << QList<uint>{0x203};
    QTest::newRow("context") << int(QSystemTrayIcon::Context) << QList<uint>{0x205};
    QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << QList<uint>{};
}

void SystemTrayTest::clicksBecomeNotifications() {
    QFETCH(int, reason);
    QFETCH(QList<uint>, messages);
    CSystemTray tray;
    tray.CreateTrayIcon("tip", QIcon(), 134, false, QString(), QString(), 1, 3);
    QSignalSpy spy(&tray, &CSystemTray::TrayNotify);
    emit tray.Icon()->activated(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    QList<uint> got;
    for (const QList<QVariant>& call : spy) {
        QCOMPARE(call.at(0).value<std::uint32_t>(), 134u);
        got << call.at(1).value<std::uint32_t>();
    }
    QCOMPARE(got, messages);
}

QTEST_MAIN(SystemTrayTest)
#include "tst_SystemTray.moc"
