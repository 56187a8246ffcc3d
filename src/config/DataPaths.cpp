#include "config/DataPaths.h"

#include <QDir>
#include <QFileInfo>

QString ConfigHomeFromEnvironment(const QString& xdgConfigHome, const QString& home) {
    // A relative XDG_CONFIG_HOME is invalid and must be ignored, or the folder would follow the
    // working directory.
    if (QDir::isAbsolutePath(xdgConfigHome))
        return xdgConfigHome;
    return home + "/.config";
}

QString DataFolderFromEnvironment(const QString& appData, const QString& xdgConfigHome, const QString& home) {
    if (!appData.isEmpty())
        return appData + "/Pylarix";
    return ConfigHomeFromEnvironment(xdgConfigHome, home) + "/Pylarix";
}

CDataPaths MakeDataPaths(const QString& dataFolder, const QString& programFolder) {
    CDataPaths p;
    p.ProgramFolder = programFolder;
    p.DataFolder = dataFolder;
    p.ConfigPath = dataFolder + "/PylarixA.ini";
    p.MainIniPath = dataFolder + "/Main.ini";
    p.DefaultSkinPath = dataFolder + "/Skins/Default.ini";
    p.PicturesFolder = dataFolder + "/Pictures/";
    p.SkinsFolder = dataFolder + "/Skins/";
    p.LogsFolder = dataFolder + "/Logs/";
    return p;
}

QString ProgramFolderFor(const QString& executableDir) {
    const QDir dir(executableDir);
    if (QFileInfo::exists(dir.filePath("Sound")) || QFileInfo::exists(dir.filePath("Help.html")))
        return dir.absolutePath();
    return QDir::cleanPath(dir.absoluteFilePath("../share/pylarix"));
}

void CreateDataFolders(const CDataPaths& paths) {
    for (const QString& folder :
         {paths.DataFolder, paths.PicturesFolder, paths.SkinsFolder, paths.LogsFolder}) {
        // The whole path: on a fresh account even ~/.config may be missing.
        if (!QFileInfo::exists(folder))
            QDir().mkpath(folder);
    }
}
