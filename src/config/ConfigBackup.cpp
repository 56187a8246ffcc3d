#include "config/ConfigBackup.h"

#include "config/ConfigFile.h"
#include "platform/Files.h"

#include <QFileInfo>

bool CopyFileReplacing(const QString& sourcePath, const QString& targetPath, QString* errorText) {
    bool readable = true;
    const std::optional<QByteArray> data = ReadWholeFile(sourcePath, &readable);
    if (!data) {
        // Only the reason is wanted here; the file was already found unreadable.
        if (errorText)
            *errorText = UnreadableFileReason(sourcePath);
        return false;
    }
    return WriteFileAtomically(targetPath, *data, errorText);
}

CConfigCommandOutcome BackupConfig(CIniFile& configFile, const QString& targetPath) {
    EnsureConfigMarker(configFile);
    CConfigCommandOutcome outcome;
    QString error;
    if (!CopyFileReplacing(configFile.Path, targetPath, &error))
        outcome.Message = error;
    return outcome;
}

CConfigCommandOutcome RestoreConfig(const QString& sourcePath, const QString& configPath) {
    CConfigCommandOutcome outcome;
    if (sourcePath.isEmpty() || !QFileInfo::exists(sourcePath))
        return outcome;
    const CIniFile source(sourcePath);
    if (source.ReadString(MainSection, ConfigMarkerKey) != ConfigMarkerValue) {
        outcome.Message = RestoreNotValidText;
        return outcome;
    }
    QString error;
    if (!CopyFileReplacing(sourcePath, configPath, &error))
        outcome.Message = error;
    outcome.Reload = true;
    return outcome;
}

CConfigCommandOutcome ResetConfig(const QString& configPath) {
    CConfigCommandOutcome outcome;
    if (!RemoveFile(configPath)) {
        outcome.Message = ResetDeleteFailedText;
        return outcome;
    }
    outcome.Reload = true;
    return outcome;
}
