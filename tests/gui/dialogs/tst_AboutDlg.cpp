#include "dialogs/AboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class AboutDlgTest : public QObject {
    Q_OBJECT
private slots:
    void texts();
    void titleIsBold();
    void linksOpen_data();
    void linksOpen();
    void okCloses();
};

void AboutDlgTest::texts() {
    CAboutDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("About"));
    QCOMPARE(dlg.TitleLabel()->text(), QStringLiteral("Pylarix"));
    QCOMPARE(dlg.VersionLabel()->text(), QStringLiteral("Version 1.3.26.0"));
    QCOMPARE(dlg.MakerLabel()->text(), QStringLiteral("Kelvade"));
    QVERIFY(dlg.HomePageLink()->text().startsWith(QStringLiteral("Home Page: <a href=")));
    QVERIFY(dlg.MailLink()->text().startsWith(QStringLiteral("Mail: <a href=")));
    QCOMPARE(dlg.OkButton()->text(), QStringLiteral("OK"));
    QVERIFY(!dlg.OkButton()->icon().isNull());
    QVERIFY(!dlg.windowIcon().isNull());
}

void AboutDlgTest::titleIsBold() {
    CAboutDlg dlg;
    QCOMPARE(dlg.TitleLabel()->font().weight(), QFont::Bold);
    QVERIFY(dlg.VersionLabel()->font().weight() < QFont::Bold);
}

void AboutDlgTest::linksOpen_data() {
    QTest::addColumn<bool>("home");
    QTest::addColumn<QString>("target");
    QTest::newRow("home page") << true << MakerHomePage;
    QTest::newRow("mail") << false << MakerMail;
}

void AboutDlgTest::linksOpen() {
    QFETCH(bool, home);
    QFETCH(QString, target);
    CAboutDlg dlg;
    QStringList opened;
    dlg.OpenLink = [&](const QString& t) { opened << t; };
    QLabel* link = home ? dlg.HomePageLink() : dlg.MailLink();
    // The label activates the address written in its own text; the dialog hands it to the opener.
    const QRegularExpressionMatch href =
        QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).match(link->text());
    QVERIFY(href.hasMatch());
    QCOMPARE(href.captured(1), target);
    QVERIFY(!link->openExternalLinks());
    emit link->linkActivated(href.captured(1));
    QCOMPARE(opened, QStringList{target});
    // The address is a neutral placeholder, never a real site.
    QVERIFY(target.endsWith(QStringLiteral(".invalid")) || target.endsWith(QStringLiteral(".invalid/")));
}

void AboutDlgTest::okCloses() {
    CAboutDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QSignalSpy accepted(&dlg, &QDialog::accepted);
    dlg.OkButton()->click();
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(AboutDlgTest)
#include "tst_AboutDlg.moc"
