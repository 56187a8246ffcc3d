#include "config/ConfigBackup.h"

#include "config/AtomicFile.h"
#include "config/ConfigFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

bool CopyFileReplacing(const QString& sourcePath, const QString& targetPath, QString* errorText) {
    bool readable = true;
    const std::optional<QByteArray> data = ReadWholeFile(sourcePath, &readable);
    if (!data) {
        if (errorText) {
            // Only the reason is wanted here; the file was already found unreadable.
            struct stat st {};
            int error = EINVAL;
            if (::stat(QFile::encodeName(sourcePath).constData(), &st) != 0)
                error = errno;
            else if (S_ISDIR(st.st_mode))
                error = EISDIR;
            else if (S_ISREG(st.st_mode) && ::access(QFile::encodeName(sourcePath).constData(), R_OK) != 0)
                error = errno;
            *errorText = SystemErrorText(error);
        }
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
    const QByteArray native = QFile::encodeName(configPath);
    if (::unlink(native.constData()) != 0 && errno != ENOENT) {
        outcome.Message = ResetDeleteFailedText;
        return outcome;
    }
    outcome.Reload = true;
    return outcome;
}
