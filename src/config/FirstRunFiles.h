#pragma once

#include "config/DataPaths.h"

#include <QStringList>

// Copies the pictures and skins shipped with the program (the Pictures and Skins folders in
// ProgramFolder) into the user's PicturesFolder and SkinsFolder, each file only when nothing of
// that name is there yet, so a user's own or changed files are never overwritten. A file the user
// removed comes back at the next start. Returns the paths written, in folder order then by name.
QStringList CopyFirstRunFiles(const CDataPaths& paths);
