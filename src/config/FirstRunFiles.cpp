#include "config/FirstRunFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void CopyMissing(const QString& shippedFolder, const QString& userFolder, QStringList& copied) {
    // The user's folder may be missing or be a file (start-up does not replace what it finds).
    if (!QFileInfo(userFolder).isDir())
        return;
    const QFileInfoList shipped = QDir(shippedFolder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : shipped) {
        const QString target = userFolder + file.fileName();
        // A dangling link still holds the name: it is the user's, not a missing file.
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        if (!QFile::copy(file.filePath(), target))
            continue;
        // The copy is the user's to change (Add Skin may overwrite Default.ini), whatever the
        // shipped file's mode.
        QFile::setPermissions(target,
                              QFile::permissions(target) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        copied << target;
    }
}

} // namespace

QStringList CopyFirstRunFiles(const CDataPaths& paths) {
    QStringList copied;
    const QDir shipped(paths.ProgramFolder);
    CopyMissing(shipped.filePath("Pictures"), paths.PicturesFolder, copied);
    CopyMissing(shipped.filePath("Skins"), paths.SkinsFolder, copied);
    return copied;
}
