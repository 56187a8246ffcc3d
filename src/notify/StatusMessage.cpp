#include "notify/StatusMessage.h"

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

QString StatusMessageHead(const QString& text, const QString& ipAdress, const QDateTime& now) {
    const QDate d = now.date();
    const QTime t = now.time();
    return QString::asprintf("Date=%d/%d/%d\nTime=%d:%d:%d\nText=", d.day(), d.month(), d.year(), t.hour(),
                             t.minute(), t.second()) +
           text + QStringLiteral("\nIP=") + ipAdress + QLatin1Char('\n');
}

QString StatusMessageText(const CStatusRecord& record, const QDateTime& now) {
    const bool tcp = record.VerifyMetod == MethodTcp;
    const char* status = StatusPhrase(record.Status, record.VerifyMetod);
    if (!status)
        return {};
    QString text = StatusMessageHead(record.Text, record.IPAdress, now);
    if (tcp)
        text += QStringLiteral("Port=%1\n").arg(record.Port);
    text += QStringLiteral("Status=") + QLatin1String(status) + QStringLiteral("\r\n");
    return text;
}
