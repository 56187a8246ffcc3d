#include "mainwnd/WindowPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

// Each prompt of the program is modal to the window it is given and to nothing else: another
// window of the program (here a stand-in for the tray icon's window) keeps taking real clicks,
// delivered through the window system, while the prompt is open.
class TestWindowPrompts : public QObject {
    Q_OBJECT
private slots:
    void modalToTheOwnerOnly_data();
    void modalToTheOwnerOnly();
};

void TestWindowPrompts::modalToTheOwnerOnly_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("owned");
    for (const char* kind : {"question", "message", "save", "open"}) {
        QTest::newRow(qPrintable(QString("%1 owned by the strip").arg(kind))) << QString(kind) << true;
        QTest::newRow(qPrintable(QString("%1 owned by nobody").arg(kind))) << QString(kind) << false;
    }
}

void TestWindowPrompts::modalToTheOwnerOnly() {
    QFETCH(QString, kind);
    QFETCH(bool, owned);
    QPushButton owner("strip");
    QPushButton bystander("tray icon");
    int ownerClicks = 0, bystanderClicks = 0;
    connect(&owner, &QPushButton::clicked, [&] { ++ownerClicks; });
    connect(&bystander, &QPushButton::clicked, [&] { ++bystanderClicks; });
    owner.setGeometry(10, 10, 100, 30);
    bystander.setGeometry(200, 10, 100, 30);
    owner.show();
    bystander.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QVERIFY(QTest::qWaitForWindowExposed(&bystander));

    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        modality = dialog->windowModality();
        parent = dialog->parentWidget();
        QTest::mouseClick(bystander.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        dialog->reject();
    });
    CWindowPrompts prompts;
    QWidget* given = owned ? &owner : nullptr;
    if (kind == "question")
        QVERIFY(!prompts.AskYesNo(given, "Pylarix", "Are you sure?"));
    else if (kind == "message")
        prompts.ShowMessage(given, "Pylarix", "Done.");
    else if (kind == "save")
        QCOMPARE(prompts.SaveFileName(given, "INI File (*.ini)", "ini"), QString());
    else
        QCOMPARE(prompts.OpenFileName(given, "INI File (*.ini)"), QString());

    QVERIFY2(seen, "no modal dialog was open");
    QCOMPARE(bystanderClicks, 1);
    // The owner itself is what the prompt keeps from being used.
    QCOMPARE(ownerClicks, owned ? 0 : 1);
    QCOMPARE(modality, Qt::WindowModal);
    QCOMPARE(parent, given);
}

QTEST_MAIN(TestWindowPrompts)
#include "tst_WindowPrompts.moc"
