#include "mainwnd/StatusMessageBox.h"

#include "notify/StatusMessage.h"

#include <QApplication>
#include <QMessageBox>

void ShowStatusMessage(const CStatusRecord& record) {
    ShowInformationMessage(StatusMessageText(record, QDateTime::currentDateTime()));
}

void ShowInformationMessage(const QString& text) {
    // Without a widget application (a headless tool, a test) there is nowhere to show it.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Pylarix"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setObjectName(QStringLiteral("PylarixStatusMessage"));
    box->show();
    // QMessageBox sets its own window flags when it is first shown; the hint goes on afterwards
    // (changing flags hides a window, hence the second show).
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->show();
}
