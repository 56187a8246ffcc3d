#pragma once

#include "config/IniFile.h"

#include <QString>

inline const QString RestoreNotValidText = QStringLiteral("Restored config file is not valid.");
inline const QString ResetQuestionText = QStringLiteral("Do you want to reset config file?");
inline const QString ResetDeleteFailedText = QStringLiteral("Can't delete Pylarix.ini file.");

// The result of one of the three commands for the main window: a message to show (empty: none)
// and whether it must destroy the monitors and run LoadAndStart again.
struct CConfigCommandOutcome {
    QString Message;
    bool Reload = false;
};

// Backup to targetPath (the user has chosen it): the marker is written into the live file first
// when it is not exactly "Pylarix", then the live file is copied over targetPath. A failed copy
// gives the system's text for the error; targetPath is then left as it was.
CConfigCommandOutcome BackupConfig(CIniFile& configFile, const QString& targetPath);

// Restore from sourcePath: nothing at all when no file exists there; "Restored config file is not
// valid." (live file untouched) unless its "main" section has App exactly "Pylarix"; else the file
// is copied over configPath and the main window reloads (also after a failed copy, with the
// system's error text, as the unchanged live file is then reloaded).
CConfigCommandOutcome RestoreConfig(const QString& sourcePath, const QString& configPath);

// Reset (after Yes): deletes configPath and asks for a reload, which writes the first start. A
// file that cannot be deleted gives "Can't delete Pylarix.ini file." and no reload. A file that
// is already gone counts as deleted.
CConfigCommandOutcome ResetConfig(const QString& configPath);

// Copies sourcePath over targetPath through a temporary file beside the target and a rename, so
// the target holds the old or the new content at any moment. On failure returns false, leaves the
// target as it was and sets errorText to the system's text for the error.
bool CopyFileReplacing(const QString& sourcePath, const QString& targetPath, QString* errorText);
