#include "notify/StatusMessage.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// The closing "Status=" phrase; null for a combination that has no text.
const char* StatusPhrase(MonitorStatus status, std::int32_t verifyMetod) {
    const bool tcp = verifyMetod == MethodTcp;
    if (!tcp && verifyMetod != MethodPing)
        return nullptr;
    switch (status) {
    case MonitorStatus::Up:
        return tcp ? "Port is Open" : "IP is Up";
    case MonitorStatus::Close:
        return tcp ? "Port is Close" : nullptr;
    case MonitorStatus::Down:
        return "IP is Down";
    case MonitorStatus::NETERROR:
        return "NET ERROR";
    case MonitorStatus::IPERROR:
        return "IP ERROR";
    default:
        return nullptr;
    }
}

} // namespace

QString StatusMessageText(const CStatusMessageRecord& record, const QDateTime& now) {
    const bool tcp = record.VerifyMetod == MethodTcp;
    const char* status = StatusPhrase(record.Status, record.VerifyMetod);
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
