#include "config/Skins.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString IniSuffix = QStringLiteral(".ini");

// Longest file name most Linux file systems take, in bytes.
constexpr qsizetype MaxFileNameBytes = 255;

} // namespace

bool IsValidSkinName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control || c.unicode() == 0x7F)
            return false;
    }
    return (name + IniSuffix).toUtf8().size() <= MaxFileNameBytes;
}

QString SkinFilePath(const QString& skinsFolder, const QString& name) {
    return IsValidSkinName(name) ? skinsFolder + name + IniSuffix : QString();
}

QStringList ListSkins(const QString& skinsFolder) {
    QStringList names;
    const QDir dir(skinsFolder);
    const QFileInfoList entries = dir.entryInfoList(
        {QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden | QDir::CaseSensitive, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString file = entry.fileName();
        if (!file.endsWith(IniSuffix))
            continue;
        const QString name = file.left(file.size() - IniSuffix.size());
        if (IsValidSkinName(name))
            names << name;
    }
    return names;
}

bool SkinExists(const QString& skinsFolder, const QString& name) {
    const QString path = SkinFilePath(skinsFolder, name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

CSkin ReadSkin(const CIniFile& skinFile) {
    CSkin skin;
    skin.OnLineBoxColor = skinFile.ReadUIntDefault(SkinSection, QStringLiteral("OnLineBoxColor"), 0);
    skin.OffLineBoxColor = skinFile.ReadUIntDefault(SkinSection, QStringLiteral("OffLineBoxColor"), 0);
    skin.OnLineTextColor = skinFile.ReadUIntDefault(SkinSection, QStringLiteral("OnLineTextColor"), 0);
    skin.OffLineTextColor = skinFile.ReadUIntDefault(SkinSection, QStringLiteral("OffLineTextColor"), 0);
    skin.OnLinePicFile = skinFile.ReadString(SkinSection, QStringLiteral("OnLinePicFile"));
    skin.OffLinePicFile = skinFile.ReadString(SkinSection, QStringLiteral("OffLinePicFile"));
    return skin;
}

CSkin LoadSkin(CIniFile& skinFile, const QString& skinsFolder, const QString& name) {
    skinFile.SetPath(SkinFilePath(skinsFolder, name));
    if (skinFile.Path.isEmpty())
        return CSkin();
    return ReadSkin(skinFile);
}

bool SaveSkin(CIniFile& skinFile, const QString& skinsFolder, const QString& name, const CSkin& skin) {
    const QString path = SkinFilePath(skinsFolder, name);
    if (path.isEmpty())
        return false;
    skinFile.SetPath(path);
    CIniFile::Batch b(skinFile);
    b.WriteString(SkinSection, QStringLiteral("OnLinePicFile"), skin.OnLinePicFile);
    b.WriteString(SkinSection, QStringLiteral("OffLinePicFile"), skin.OffLinePicFile);
    b.WriteUInt(SkinSection, QStringLiteral("OffLineBoxColor"), skin.OffLineBoxColor);
    b.WriteUInt(SkinSection, QStringLiteral("OnLineBoxColor"), skin.OnLineBoxColor);
    b.WriteUInt(SkinSection, QStringLiteral("OnLineTextColor"), skin.OnLineTextColor);
    b.WriteUInt(SkinSection, QStringLiteral("OffLineTextColor"), skin.OffLineTextColor);
    return b.Commit();
}

bool IsProtectedSkinName(const QString& name) {
    return name.isEmpty() || name == DefaultSkinName || name == CustomSkinName;
}

CSkinDeletePrompt SkinDeletePrompt(const QString& name) {
    if (IsProtectedSkinName(name))
        return {false, SkinDeleteImpossibleText};
    return {true, QStringLiteral("Do you want to delete Skin: %1?").arg(name)};
}

bool DeleteSkin(const QString& skinsFolder, const QString& name) {
    if (IsProtectedSkinName(name))
        return false;
    const QString path = SkinFilePath(skinsFolder, name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    return QFile::remove(path);
}
