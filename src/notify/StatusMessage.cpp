#include "notify/StatusMessage.h"

#include <QApplication>
#include <QMessageBox>

QString StatusMessageText(const CStatusMessageRecord& record, const QDateTime& now) {
    const char* status = nullptr;
    const bool tcp = record.VerifyMetod == MethodTcp;
    if (record.VerifyMetod == MethodPing) {
        switch (record.Status) {
        case MonitorStatus::Up:
            status = "IP is Up";
            break;
        case MonitorStatus::Down:
            status = "IP is Down";
            break;
        case MonitorStatus::NETERROR:
            status = "NET ERROR";
            break;
        case MonitorStatus::IPERROR:
            status = "IP ERROR";
            break;
        default:
            break;
        }
    } else if (tcp) {
        switch (record.Status) {
        case MonitorStatus::Open:
            status = "Port is Open";
            break;
        case MonitorStatus::Close:
            status = "Port is Close";
            break;
        case MonitorStatus::Down:
            status = "IP is Down";
            break;
        case MonitorStatus::NETERROR:
            status = "NET ERROR";
            break;
        case MonitorStatus::IPERROR:
            status = "IP ERROR";
            break;
        default:
            break;
        }
    }
    if (!status)
        return {};
    const QDate d = now.date();
    const QTime t = now.time();
    QString text = QString::asprintf("Date=%d/%d/%d\nTime=%d:%d:%d\nText=", d.day(), d.month(), d.year(),
                                     t.hour(), t.minute(), t.second());
    text += record.Text + QStringLiteral("\nIP=") + record.IPAdress + QLatin1Char('\n');
    if (tcp)
        text += QStringLiteral("Port=%1\n").arg(record.Port);
    text += QStringLiteral("Status=") + QLatin1String(status) + QStringLiteral("\r\n");
    return text;
}

void ShowStatusMessage(const CStatusMessageRecord& record) {
    // Without a widget application (a headless tool, a test) there is nowhere to show it.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Pylarix"),
                                StatusMessageText(record, QDateTime::currentDateTime()), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setObjectName(QStringLiteral("PylarixStatusMessage"));
    box->show();
    // QMessageBox sets its own window flags when it is first shown; the hint goes on afterwards
    // (changing flags hides a window, hence the second show).
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->show();
}
