#pragma once

#include "config/IniFile.h"

#include <QString>

// Defaults set by the "Default" button of the net message settings.
inline const QString DefaultSendNetMsgComm = QStringLiteral("cmd");
inline const QString DefaultSendNetMsgParam =
    QStringLiteral("/K echo msg /V /SERVER:%ip %user %message & msg /V /SERVER:%ip %user %message");

// Shown when the command could not be started.
inline const QString NetMessageStartFailed = QStringLiteral("ERROR_FILE_NOT_FOUND.");

struct CNetMessageSettings {
    QString SendNetMsgComm;
    QString SendNetMsgParam;
};

// The keys live in section "main" of the main configuration file.
CNetMessageSettings ReadNetMessageSettings(const CIniFile& ini);
void WriteNetMessageSettings(CIniFile& ini, const CNetMessageSettings& settings);

// The user name the dialog shows: the stored NetUserName, or "console" when that is empty.
QString NetUserNameToShow(const CIniFile& ini);
// Every change of the user edit is stored at once, an empty one too.
void StoreNetUserName(CIniFile& ini, const QString& userName);

// A message of exactly one space is emptied.
QString NormalizedNetMessage(const QString& message);
bool CanSendNetMessage(const QString& message);

// The parameters: "%ip", then "%user", then "%message" replaced.
QString ExpandNetMessageParameters(const QString& templ, const QString& ipAdress, const QString& userName,
                                   const QString& message);

// Starts the command with the expanded parameters through the shell layer. Returns the text to
// show: empty when the start worked, NetMessageStartFailed otherwise. Nothing is started for an
// empty message.
QString SendNetMessage(const CNetMessageSettings& settings, const QString& ipAdress, const QString& userName,
                       const QString& message);
