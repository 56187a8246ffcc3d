#include "notify/NetMessage.h"

#include "config/ConfigFile.h"
#include "platform/ShellStart.h"

CNetMessageSettings ReadNetMessageSettings(const CIniFile& ini) {
    return {ReadNetMsgCommand(ini), ReadNetMsgParameters(ini)};
}

void WriteNetMessageSettings(CIniFile& ini, const CNetMessageSettings& settings) {
    WriteNetMsgCommand(ini, settings.SendNetMsgComm, settings.SendNetMsgParam);
}

QString NetUserNameToShow(const CIniFile& ini) {
    const QString stored = ReadNetUserName(ini);
    return stored.isEmpty() ? QStringLiteral("console") : stored;
}

void StoreNetUserName(CIniFile& ini, const QString& userName) {
    WriteNetUserName(ini, userName);
}

QString NormalizedNetMessage(const QString& message) {
    return message == QStringLiteral(" ") ? QString() : message;
}

bool CanSendNetMessage(const QString& message) {
    return !NormalizedNetMessage(message).isEmpty();
}

QString ExpandNetMessageParameters(const QString& templ, const QString& ipAdress, const QString& userName,
                                   const QString& message) {
    QString out = templ;
    out.replace(QStringLiteral("%ip"), ipAdress);
    out.replace(QStringLiteral("%user"), userName);
    out.replace(QStringLiteral("%message"), message);
    return out;
}

QString SendNetMessage(const CNetMessageSettings& settings, const QString& ipAdress, const QString& userName,
                       const QString& message) {
    if (message.isEmpty())
        return {};
    const QString parameters =
        ExpandNetMessageParameters(settings.SendNetMsgParam, ipAdress, userName, message);
    return SystemShellStart().ShellOpen(settings.SendNetMsgComm, parameters) ? QString()
                                                                             : NetMessageStartFailed;
}
