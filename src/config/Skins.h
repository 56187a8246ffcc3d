#pragma once

#include "config/IniFile.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// The look a skin stores: four colours (0x00BBGGRR) and two picture file names.
struct CSkin {
    std::uint32_t OnLineBoxColor = 0;
    std::uint32_t OffLineBoxColor = 0;
    std::uint32_t OnLineTextColor = 0;
    std::uint32_t OffLineTextColor = 0;
    QString OnLinePicFile;
    QString OffLinePicFile;
};

inline const QString SkinSection = QStringLiteral("skin");
inline const QString DefaultSkinName = QStringLiteral("Default");
inline const QString CustomSkinName = QStringLiteral("Custom");
inline const QString SkinDeleteImpossibleText = QStringLiteral("Is impossible delete this Skin!");

// A name that can be a plain file name in the skins folder: not empty, not "." or "..", no "/" or
// "\\", no control character, and short enough for a file name once ".ini" is added.
bool IsValidSkinName(const QString& name);

// skinsFolder + name + ".ini", or "" for a name that IsValidSkinName refuses.
QString SkinFilePath(const QString& skinsFolder, const QString& name);

// Names of the regular files "*.ini" in the folder, without the extension, sorted; files whose
// name is not a valid skin name are left out.
QStringList ListSkins(const QString& skinsFolder);

// Whether a skin file of that name exists (Delete's enabled state while typing).
bool SkinExists(const QString& skinsFolder, const QString& name);

// Reads the six keys of section "skin" from an already bound file (the Default skin file of the
// main window, for Add Monitor).
CSkin ReadSkin(const CIniFile& skinFile);

// Binds skinFile to the skin's file and reads it. A refused name leaves skinFile unbound (empty
// path) and yields black colours and no pictures, like a missing file.
CSkin LoadSkin(CIniFile& skinFile, const QString& skinsFolder, const QString& name);

// Binds skinFile to the skin's file and writes OnLinePicFile, OffLinePicFile, OffLineBoxColor,
// OnLineBoxColor, OnLineTextColor, OffLineTextColor in that order. False for a refused name or a
// refused write.
bool SaveSkin(CIniFile& skinFile, const QString& skinsFolder, const QString& name, const CSkin& skin);

// Names that the Delete button must not remove: "Default", "Custom" and "" (compared exactly).
bool IsProtectedSkinName(const QString& name);

// What the Delete button shows first: for a protected name the refusal text (Allowed false), else
// the question "Do you want to delete Skin: <name>?" (Allowed true).
struct CSkinDeletePrompt {
    bool Allowed = false;
    QString Message;
};
CSkinDeletePrompt SkinDeletePrompt(const QString& name);

// After Yes: removes skinsFolder + name + ".ini" and nothing else. False when the name is protected
// or refused, or the file could not be removed.
bool DeleteSkin(const QString& skinsFolder, const QString& name);
