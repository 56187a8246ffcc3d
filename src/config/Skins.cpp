#include "config/Skins.h"

#include "monitor/MonitorKeys.h"

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
    skin.OnLineBoxColor =
        skinFile.ReadUIntDefault(SkinSection, MonitorKeyName(&CMonitorBox::OnLineBoxColor), 0);
    skin.OffLineBoxColor =
        skinFile.ReadUIntDefault(SkinSection, MonitorKeyName(&CMonitorBox::OffLineBoxColor), 0);
    skin.OnLineTextColor =
        skinFile.ReadUIntDefault(SkinSection, MonitorKeyName(&CMonitorBox::OnLineTextColor), 0);
    skin.OffLineTextColor =
        skinFile.ReadUIntDefault(SkinSection, MonitorKeyName(&CMonitorBox::OffLineTextColor), 0);
    skin.OnLinePicFile = skinFile.ReadString(SkinSection, MonitorKeyName(&CMonitorBox::OnLinePicFile));
    skin.OffLinePicFile = skinFile.ReadString(SkinSection, MonitorKeyName(&CMonitorBox::OffLinePicFile));
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
    b.WriteString(SkinSection, MonitorKeyName(&CMonitorBox::OnLinePicFile), skin.OnLinePicFile);
    b.WriteString(SkinSection, MonitorKeyName(&CMonitorBox::OffLinePicFile), skin.OffLinePicFile);
    b.WriteUInt(SkinSection, MonitorKeyName(&CMonitorBox::OffLineBoxColor), skin.OffLineBoxColor);
    b.WriteUInt(SkinSection, MonitorKeyName(&CMonitorBox::OnLineBoxColor), skin.OnLineBoxColor);
    b.WriteUInt(SkinSection, MonitorKeyName(&CMonitorBox::OnLineTextColor), skin.OnLineTextColor);
    b.WriteUInt(SkinSection, MonitorKeyName(&CMonitorBox::OffLineTextColor), skin.OffLineTextColor);
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
