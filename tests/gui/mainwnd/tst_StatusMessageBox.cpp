#include "mainwnd/StatusMessageBox.h"
#include "notify/BoxStatusHandler.h"
#include "notify/NotificationStarter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

// The status message: non-modal boxes on the main thread, any number at once, from a copy.
class TestStatusMessageBox : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void opensNonModalBoxFromCopy();
    void manyOpenAtOnce();
    void closedBoxIsDeleted();

private:
    static QList<QMessageBox*> Boxes();
};

QList<QMessageBox*> TestStatusMessageBox::Boxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}

void TestStatusMessageBox::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        delete w;
}

void TestStatusMessageBox::opensNonModalBoxFromCopy() {
    CMonitorTable table;
    CGlobalSettings settings;
    const CDataPaths paths = MakeDataPaths("/nonexistent/data", "/nonexistent/prog");
    CNotificationStarter starter(&ShowStatusMessage);
    CBoxStatusHandler handler(table, settings, paths, starter);
    table.Slots[0] = std::make_unique<CMonitorBox>(nullptr, 0);
    table.NumBox = 1;
    CMonitorBox& box = *table.Slots[0];
    box.Text = "Web Server";
    box.IPAdress = "10.0.0.5";
    box.VerifyMetod = MethodTcp;
    box.Port = 443;
    box.Status = MonitorStatus::Open;
    box.MsgBox = 4;

    handler.OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::Close, 0), -1);
    // Queued: the report returned before any window exists.
    QVERIFY(Boxes().isEmpty());
    // The record is gone before the box opens.
    table.Slots[0].reset();
    table.NumBox = 0;
    QCoreApplication::processEvents();

    const QList<QMessageBox*> boxes = Boxes();
    QCOMPARE(boxes.size(), 1);
    QMessageBox* shown = boxes.first();
    QCOMPARE(shown->windowTitle(), QString("Pylarix"));
    QCOMPARE(shown->icon(), QMessageBox::Information);
    QVERIFY(shown->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(shown->windowModality(), Qt::NonModal);
    QVERIFY(shown->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    const QString text = shown->text();
    QVERIFY2(text.startsWith("Date="), qPrintable(text));
    QVERIFY2(text.endsWith("\nText=Web Server\nIP=10.0.0.5\nPort=443\nStatus=Port is Close\r\n"),
             qPrintable(text));
}

void TestStatusMessageBox::manyOpenAtOnce() {
    CNotificationStarter starter(&ShowStatusMessage);
    for (int i = 0; i < 5; ++i)
        starter.StartStatusMessage(
            {"10.0.0.1", MonitorStatus::Down, MethodPing, 0, QString("Host %1").arg(i)});
    QCoreApplication::processEvents();
    const QList<QMessageBox*> boxes = Boxes();
    QCOMPARE(boxes.size(), 5);
    QStringList labels;
    for (QMessageBox* b : boxes)
        labels << b->text().section('\n', 2, 2);
    labels.sort();
    QCOMPARE(labels,
             QStringList({"Text=Host 0", "Text=Host 1", "Text=Host 2", "Text=Host 3", "Text=Host 4"}));
}

void TestStatusMessageBox::closedBoxIsDeleted() {
    ShowStatusMessage({"h", MonitorStatus::Up, MethodPing, 0, "A"});
    ShowStatusMessage({"h", MonitorStatus::CHECKING, MethodPing, 0, "B"});
    QList<QMessageBox*> boxes = Boxes();
    QCOMPARE(boxes.size(), 2);
    // Any other combination shows an empty box.
    int empty = 0;
    for (QMessageBox* b : boxes)
        empty += b->text().isEmpty();
    QCOMPARE(empty, 1);
    QPointer<QMessageBox> first = boxes.first();
    first->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(first.isNull());
    QCOMPARE(Boxes().size(), 1);
}

QTEST_MAIN(TestStatusMessageBox)
#include "tst_StatusMessageBox.moc"
