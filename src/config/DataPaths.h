#pragma once

#include <QString>

// Where the program keeps its files. Folder paths end with "/".
struct CDataPaths {
    QString ProgramFolder; // holds Help.html and the Sound folder
    QString DataFolder;    // no trailing "/"
    QString ConfigPath;
    QString MainIniPath;
    QString DefaultSkinPath;
    QString PicturesFolder;
    QString SkinsFolder;
    QString LogsFolder;
    // The desktop's autostart entry of the program and the program file it starts; empty when
    // the process has none (start at login then reads as unknown and writes nothing).
    QString AutostartEntryPath;
    QString ProgramFilePath;
};

// The user's configuration folder: $XDG_CONFIG_HOME when that is an absolute path, else
// ~/.config.
QString ConfigHomeFromEnvironment(const QString& xdgConfigHome, const QString& home);

// DataFolder is $APPDATA/Pylarix when APPDATA is set and not empty, else $XDG_CONFIG_HOME/Pylarix
// when that is an absolute path, else ~/.config/Pylarix.
QString DataFolderFromEnvironment(const QString& appData, const QString& xdgConfigHome, const QString& home);

// Composes every path from the data folder and the program folder.
CDataPaths MakeDataPaths(const QString& dataFolder, const QString& programFolder);

// The folder of Help.html and Sound/: beside the executable when they are there (build tree),
// else the installed share/pylarix folder next to the executable's bin folder.
QString ProgramFolderFor(const QString& executableDir);

// Creates DataFolder with every missing folder above it, then Pictures, Skins and Logs, each only
// when nothing exists at its path.
void CreateDataFolders(const CDataPaths& paths);
