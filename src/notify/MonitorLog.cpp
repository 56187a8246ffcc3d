#include "notify/MonitorLog.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString MonitorLogFileName(const QString& ipAdress, std::int32_t verifyMetod, std::int32_t port) {
    QString name = ipAdress;
    name.replace(QLatin1Char(':'), QLatin1Char('-'));
    name.replace(QLatin1Char('%'), QLatin1Char('s'));
    // The address is user input: keep the name a plain file name inside the logs folder.
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    name.replace(QLatin1Char('\0'), QLatin1Char('_'));
    name.replace(QStringLiteral(".."), QStringLiteral("__"));
    if (verifyMetod == MethodPing)
        return name + QStringLiteral("_Ping.log");
    if (verifyMetod == MethodTcp)
        return name + QStringLiteral("_TCP_%1.log").arg(port);
    return {};
}

QString MonitorLogLine(MonitorStatus status, std::int32_t verifyMetod, const QString& ipAdress,
                       std::int32_t port, const QDateTime& now) {
    const QDate d = now.date();
    const QTime t = now.time();
    const QString stamp = QString::asprintf("%d/%d/%d %d:%d:%d ", d.day(), d.month(), d.year(), t.hour(),
                                            t.minute(), t.second());
    const QString ip = QStringLiteral("IP=") + ipAdress;
    const QString portText = QStringLiteral(" Port=") + QString::number(port);
    QString event;
    switch (status) {
    case MonitorStatus::NETERROR:
        event = QStringLiteral("Net Error");
        break;
    case MonitorStatus::IPERROR:
        event = ip + QStringLiteral(" IP Error");
        break;
    case MonitorStatus::Up:
        if (verifyMetod == MethodPing)
            event = ip + QStringLiteral(" is Up");
        else if (verifyMetod == MethodTcp)
            event = ip + portText + QStringLiteral(" is Open");
        break;
    case MonitorStatus::Down:
        if (verifyMetod == MethodPing)
            event = ip + QStringLiteral(" is Down");
        else if (verifyMetod == MethodTcp)
            event = ip + portText + QStringLiteral(" is Down");
        break;
    case MonitorStatus::Close:
        if (verifyMetod == MethodTcp)
            event = ip + portText + QStringLiteral(" is Close");
        break;
    case MonitorStatus::CHECKING:
    case MonitorStatus::NoStatus:
        break;
    }
    if (event.isEmpty())
        return {};
    return stamp + event + QStringLiteral("\r\n");
}

bool AppendMonitorLog(const QString& logsFolder, MonitorStatus status, std::int32_t verifyMetod,
                      const QString& ipAdress, std::int32_t port, const QDateTime& now) {
    const QString name = MonitorLogFileName(ipAdress, verifyMetod, port);
    if (name.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(logsFolder + name);
    // Non-blocking: a FIFO in the file's place would stall the main thread and every waiting worker.
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Not shared while open: a file another writer holds is skipped.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    const QByteArray line = MonitorLogLine(status, verifyMetod, ipAdress, port, now).toUtf8();
    bool ok = true;
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.constData() + done, static_cast<size_t>(line.size() - done));
        if (n <= 0) {
            ok = false;
            break;
        }
        done += n;
    }
    ::close(fd);
    return ok;
}
