#include "notify/Placeholders.h"

#include "platform/ShellStart.h"

static QString MethodWord(std::int32_t verifyMetod) {
    if (verifyMetod == MethodPing)
        return QStringLiteral("Ping");
    if (verifyMetod == MethodTcp)
        return QStringLiteral("TCP");
    return {};
}

QString ExpandPlaceholders(const QString& text, const CStatusRecord& record, StatusWords words) {
    QString out = text;
    out.replace(QStringLiteral("%ip"), record.IPAdress);
    if (words != StatusWords::LeftAsTyped) {
        const bool withChecking = words == StatusWords::WithChecking;
        out.replace(QStringLiteral("%status"),
                    QString::fromLatin1(StatusWord(record.Status, record.VerifyMetod, withChecking)));
    }
    out.replace(QStringLiteral("%method"), MethodWord(record.VerifyMetod));
    out.replace(QStringLiteral("%port"), QString::number(record.Port));
    QString text2 = record.Text;
    text2.replace(QLatin1Char(' '), QLatin1Char('-'));
    out.replace(QStringLiteral("%text"), text2);
    return out;
}

CShellCommand StatusFileCommand(const QString& execFilePath, const QString& execFileParam,
                                const CStatusRecord& record) {
    return {execFilePath, ExpandPlaceholders(execFileParam, record, StatusWords::WithoutChecking)};
}

CShellCommand DoubleClickFileCommand(const QString& dcobefPath, const QString& dcobefParameters,
                                     const CStatusRecord& record) {
    QString file = dcobefPath;
    file.replace(QStringLiteral("%ip"), record.IPAdress);
    return {file, ExpandPlaceholders(dcobefParameters, record, StatusWords::WithChecking)};
}

CShellCommand TestFileCommand(const QString& execFilePath, const QString& execFileParam,
                              const QString& ipAdress, std::int32_t verifyMetod, std::int32_t port,
                              const QString& text) {
    const CStatusRecord record{ipAdress, MonitorStatus::NoStatus, verifyMetod, port, text};
    return {execFilePath, ExpandPlaceholders(execFileParam, record, StatusWords::LeftAsTyped)};
}

void RunStatusFile(const CShellCommand& command) {
    SystemShellStart().ShellOpenDetached(command.File, command.Parameters);
}

void RunDoubleClickFile(const CShellCommand& command) {
    SystemShellStart().ShellOpenDetached(command.File, command.Parameters);
}
