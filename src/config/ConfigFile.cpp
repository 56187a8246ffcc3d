#include "config/ConfigFile.h"

#include "config/GlobalKeys.h"
#include "monitor/MonitorKeys.h"
#include "monitor/SharedTiming.h"

#include <type_traits>

#include <algorithm>
#include <limits>

namespace {

// The net message keys, read when their dialogs open.
const QString NetUserNameKey = QStringLiteral("NetUserName");
const QString SendNetMsgCommKey = QStringLiteral("SendNetMsgComm");
const QString SendNetMsgParamKey = QStringLiteral("SendNetMsgParam");

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The configuration file's first-start keys of "main" up to the point where Main.ini is written,
// then the rest, then "Box 0".
void FirstStartMainHead(CIniFile::Batch& b) {
    const QString& m = MainSection;
    b.WriteString(m, ConfigMarkerKey, ConfigMarkerValue);
    b.WriteInt(m, FirstStartKey, 1);
    b.WriteInt(m, NumBoxKey, 1);
    b.WriteInt(m, QStringLiteral("XBox"), 90);
    b.WriteInt(m, QStringLiteral("YBox"), 80);
    b.WriteInt(m, QStringLiteral("PosX"), 300);
    b.WriteInt(m, QStringLiteral("PosY"), 300);
    b.WriteInt(m, QStringLiteral("WinPos"), 1);
    b.WriteInt(m, QStringLiteral("WinBeh"), 1);
    b.WriteInt(m, QStringLiteral("VerifyTime"), 3);
    b.WriteInt(m, QStringLiteral("TimeOut"), 3000);
    b.WriteInt(m, QStringLiteral("Transparent"), 255);
    b.WriteInt(m, QStringLiteral("ShowOnLineOffLineTime"), 1);
    b.WriteInt(m, QStringLiteral("DCOBEFE"), 0);
    b.WriteString(m, QStringLiteral("DCOBEFPath"), QString());
    b.WriteString(m, QStringLiteral("DCOBEFParameters"), QString());
    b.WriteInt(m, QStringLiteral("ErrorDefaultSound"), 0);
    b.WriteString(m, QStringLiteral("PlayErrorDefSoundPath"), QString());
    b.WriteInt(m, QStringLiteral("ErrorTextSpeechSound"), 0);
    b.WriteString(m, QStringLiteral("ErrorTextSpeechText"), QStringLiteral("%text Error"));
}

void FirstStartMainTail(CIniFile::Batch& b) {
    const QString& m = MainSection;
    b.WriteInt(m, QStringLiteral("ErrorSound"), 0);
    b.WriteInt(m, QStringLiteral("EnableLog"), 0);
    b.WriteInt(m, QStringLiteral("ErrorMsgBox"), 0);
    b.WriteInt(m, QStringLiteral("ShowUpDownTime"), 0);
    b.WriteInt(m, QStringLiteral("ShowStatusX"), 0);
    b.WriteInt(m, QStringLiteral("ShowVMethodIPX"), 0);
    b.WriteInt(m, QStringLiteral("ShowIPandMethodX"), 0);
    b.WriteInt(m, QStringLiteral("VolumeMute"), 0);
    b.WriteInt(m, QStringLiteral("Volume"), 65535);
}

void FirstStartBox0(CIniFile::Batch& b) {
    const QString s = BoxSectionName(0);
    b.WriteString(s, QStringLiteral("Text"), QStringLiteral("LOCAL"));
    b.WriteInt(s, QStringLiteral("PicTypeOnLine"), 1);
    b.WriteInt(s, QStringLiteral("PicTypeOffLine"), 1);
    b.WriteString(s, QStringLiteral("OnLinePicFile"), QStringLiteral("1274607096_Desktop.ico"));
    b.WriteString(s, QStringLiteral("OffLinePicFile"), QStringLiteral("1274607096_Desktop_bw.ico"));
    b.WriteInt(s, QStringLiteral("OnLineBoxColor"), 16699845);
    b.WriteInt(s, QStringLiteral("OffLineBoxColor"), 7960953);
    b.WriteUInt(s, QStringLiteral("OnLineTextColor"), 0);
    b.WriteInt(s, QStringLiteral("OffLineTextColor"), 16777215);
    b.WriteString(s, QStringLiteral("IPAdress"), QStringLiteral("127.0.0.1"));
    b.WriteInt(s, QStringLiteral("IPv"), 0);
    b.WriteString(s, QStringLiteral("Port"), QStringLiteral("80"));
    b.WriteInt(s, QStringLiteral("VerifyMetod"), 1);
    b.WriteInt(s, QStringLiteral("Logging"), 0);
    b.WriteInt(s, QStringLiteral("MsgBox"), 0);
    for (const char* key : {"UpPath", "DownPath", "OpenPath", "ClosePath", "TcpDownPath"})
        b.WriteString(s, QString::fromLatin1(key), QString());
    b.WriteInt(s, QStringLiteral("CustomSoundCheck"), 0);
    b.WriteString(s, QStringLiteral("UpTextString"), QStringLiteral("%text is Up"));
    b.WriteString(s, QStringLiteral("DownTextString"), QStringLiteral("%text is Down"));
    b.WriteString(s, QStringLiteral("OpenTextString"), QStringLiteral("%text is Open"));
    b.WriteString(s, QStringLiteral("CloseTextString"), QStringLiteral("%text is Close"));
    b.WriteString(s, QStringLiteral("TDownTextString"), QStringLiteral("%text is Down"));
    b.WriteInt(s, QStringLiteral("SpeechTextCheck"), 0);
    b.WriteString(s, QStringLiteral("ExecFilePath"), QString());
    b.WriteString(s, QStringLiteral("ExecFileParam"), QString());
    b.WriteInt(s, QStringLiteral("ExecFileStatusCheck"), 0);
    b.WriteInt(s, QStringLiteral("ExecFileCheck"), 0);
}

// Writes one key of a monitor with the write its kind takes, on a file or a batch.
template <typename Writer>
void WriteMonitorKeyTo(Writer& w, const QString& section, const CMonitorKey& key, const CMonitorBox& box) {
    std::visit(
        [&](auto field) {
            const auto& value = box.*field;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>)
                w.WriteString(section, key.Name, value);
            else if (key.Kind == MonitorKeyKind::PictureType)
                w.WriteInt(section, key.Name, static_cast<std::int32_t>(value));
            else
                w.WriteUInt(section, key.Name, static_cast<std::uint32_t>(value));
        },
        key.Field);
}

void WriteBoxSection(CIniFile::Batch& b, int index, const CMonitorBox& box) {
    const QString s = BoxSectionName(index);
    for (const CMonitorKey& key : MonitorKeys())
        WriteMonitorKeyTo(b, s, key, box);
}

// The value a number key reads as, before it is narrowed to its field.
template <typename Reader>
std::int64_t ReadMonitorNumber(const Reader& f, const QString& section, const CMonitorKey& key) {
    switch (key.Kind) {
    case MonitorKeyKind::Int:
        return f.ReadInt(section, key.Name);
    case MonitorKeyKind::LowByte:
        return f.ReadInt(section, key.Name) & 0xFF;
    case MonitorKeyKind::Colour:
        return f.ReadUIntDefault(section, key.Name, 0);
    case MonitorKeyKind::Unsigned:
    case MonitorKeyKind::PictureType:
    case MonitorKeyKind::String:
        break;
    }
    return f.ReadUInt(section, key.Name);
}

// The value a key of "main" reads as, for the number kinds.
template <typename Reader>
std::int64_t ReadGlobalNumber(const Reader& f, const QString& section, const CGlobalKey& key) {
    switch (key.Kind) {
    case GlobalKeyKind::UInt:
        return f.ReadUInt(section, key.Name);
    case GlobalKeyKind::LowByte:
        return f.ReadInt(section, key.Name) & 0xFF;
    case GlobalKeyKind::Negated:
        return f.ReadInt(section, key.Name) == 0;
    case GlobalKeyKind::Volume:
        return f.ReadUIntDefault(section, key.Name, 65535);
    case GlobalKeyKind::Int:
    case GlobalKeyKind::String:
        break;
    }
    return f.ReadInt(section, key.Name);
}

template <typename Reader>
void ReadGlobalKey(const Reader& f, const CGlobalKey& key, CGlobalSettings& settings) {
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, std::monostate>) {
                return;
            } else if constexpr (std::is_same_v<Field, std::atomic<std::uint32_t>*>) {
                field->store(static_cast<std::uint32_t>(ReadGlobalNumber(f, MainSection, key)));
            } else {
                auto& value = settings.*field;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, QString>)
                    value = f.ReadString(MainSection, key.Name);
                else
                    value = static_cast<T>(ReadGlobalNumber(f, MainSection, key));
            }
        },
        key.Field);
}

} // namespace

void WriteMonitorKey(CIniFile& file, const QString& section, const CMonitorKey& key, const CMonitorBox& box) {
    WriteMonitorKeyTo(file, section, key, box);
}

QString BoxSectionName(int index) {
    return QStringLiteral("Box %1").arg(index);
}

bool WriteFirstStart(CIniFile& configFile, CIniFile& mainIniFile) {
    CIniFile::Batch config(configFile);
    FirstStartMainHead(config);
    const bool mainIni = mainIniFile.WriteInt(MainSection, QStringLiteral("HideTaskBarButton"), 0);
    FirstStartMainTail(config);
    FirstStartBox0(config);
    const bool stored = config.Commit();
    return stored && mainIni;
}

QPoint FirstStartPosition(const QRect& workArea, std::int32_t xBox, std::int32_t yBox, std::int32_t numBox) {
    const std::int64_t right = std::int64_t{workArea.x()} + workArea.width();
    const std::int64_t bottom = std::int64_t{workArea.y()} + workArea.height();
    const std::int64_t width = (std::int64_t{xBox} + 1) * numBox + 8;
    const std::int64_t height = std::int64_t{yBox} + 2;
    // Each quotient is formed as the 32-bit program would see its operands.
    const std::int64_t posX = std::int64_t{Clamp32(right)} / 2 - std::int64_t{Clamp32(width)} / 2;
    const std::int64_t posY = std::int64_t{Clamp32(bottom)} / 2 - std::int64_t{Clamp32(height)} / 2;
    return QPoint(Clamp32(posX), Clamp32(posY));
}

namespace {

template <typename Reader>
void ReadMonitorSectionFrom(const Reader& f, int index, const QString& picturesFolder, CMonitorBox& box) {
    const QString s = BoxSectionName(index);
    for (const CMonitorKey& key : MonitorKeys()) {
        std::visit(
            [&](auto field) {
                auto& value = box.*field;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, QString>)
                    value = f.ReadString(s, key.Name);
                else
                    value = static_cast<T>(ReadMonitorNumber(f, s, key));
            },
            key.Field);
    }
    box.OnLinePicPath = picturesFolder + box.OnLinePicFile;
    box.OffLinePicPath = picturesFolder + box.OffLinePicFile;
}

} // namespace

void ReadMonitorSection(const CIniFile& f, int index, const QString& picturesFolder, CMonitorBox& box) {
    ReadMonitorSectionFrom(f, index, picturesFolder, box);
}

void ReadMonitorSection(const CIniFile::Snapshot& f, int index, const QString& picturesFolder,
                        CMonitorBox& box) {
    ReadMonitorSectionFrom(f, index, picturesFolder, box);
}

void LoadConfig(CIniFile& configFile, CIniFile& mainIniFile, const CDataPaths& paths, const QRect& workArea,
                IReportSink* mainWindow, CGlobalSettings& settings, CMonitorTable& table,
                const CConfigLoadHooks& hooks) {
    configFile.SetPath(paths.ConfigPath);
    if (!configFile.Exists())
        WriteFirstStart(configFile, mainIniFile);

    const CIniFile::Snapshot f(configFile);
    const QString& m = MainSection;
    const std::int32_t firstStart = f.ReadInt(m, FirstStartKey);
    // The table has 60 slots; more sections than that are not loaded.
    const std::int32_t numBox = std::clamp(f.ReadInt(m, NumBoxKey), 0, MaxMonitors);
    for (const CGlobalKey& key : GlobalKeys()) {
        if (key.InMainIni)
            ReadGlobalKey(mainIniFile, key, settings);
        else
            ReadGlobalKey(f, key, settings);
    }

    if (settings.HideTaskBarButton == 1 && hooks.HideTaskBarButton)
        hooks.HideTaskBarButton();

    if (firstStart != 0) {
        const QPoint pos = FirstStartPosition(workArea, settings.XBox, settings.YBox, numBox);
        settings.PosX = pos.x();
        settings.PosY = pos.y();
        CIniFile::Batch b(configFile);
        b.WriteInt(m, GlobalKeyName(&CGlobalSettings::PosX), settings.PosX);
        b.WriteInt(m, GlobalKeyName(&CGlobalSettings::PosY), settings.PosY);
        b.WriteInt(m, FirstStartKey, 0);
        b.Commit();
    }

    table.NumBox = numBox;
    for (int i = 0; i < numBox; ++i) {
        table.Slots[static_cast<size_t>(i)] = std::make_unique<CMonitorBox>(mainWindow, i);
        ReadMonitorSection(f, i, paths.PicturesFolder, *table.Slots[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < numBox; ++i)
        if (hooks.LoadPictures)
            hooks.LoadPictures(i);
    for (int i = 0; i < numBox; ++i) {
        table.Slots[static_cast<size_t>(i)]->Status = MonitorStatus::NoStatus;
        if (hooks.ApplyChecking)
            hooks.ApplyChecking(i);
    }
}

bool SaveBoxes(CIniFile& configFile, const CMonitorTable& table) {
    CIniFile::Batch b(configFile);
    b.WriteInt(MainSection, NumBoxKey, table.NumBox);
    for (int i = 0; i < table.NumBox && i < MaxMonitors; ++i)
        if (const CMonitorBox* box = table.Slots[static_cast<size_t>(i)].get())
            WriteBoxSection(b, i, *box);
    return b.Commit();
}

bool WritePosition(CIniFile& configFile, std::int32_t posX, std::int32_t posY) {
    CIniFile::Batch b(configFile);
    b.WriteInt(MainSection, GlobalKeyName(&CGlobalSettings::PosX), posX);
    b.WriteInt(MainSection, GlobalKeyName(&CGlobalSettings::PosY), posY);
    return b.Commit();
}

bool WriteWinPos(CIniFile& configFile, std::int32_t winPos) {
    return configFile.WriteInt(MainSection, GlobalKeyName(&CGlobalSettings::WinPos), winPos);
}

bool WriteWinBeh(CIniFile& configFile, std::int32_t winBeh) {
    return configFile.WriteInt(MainSection, GlobalKeyName(&CGlobalSettings::WinBeh), winBeh);
}

bool WriteGlobalProperties(CIniFile& configFile, CIniFile& mainIniFile, const CGlobalSettings& g,
                           std::uint32_t verifyTime, std::uint32_t timeOut) {
    std::vector<const CGlobalKey*> applied;
    for (const CGlobalKey& key : GlobalKeys())
        if (key.ApplyOrder > 0)
            applied.push_back(&key);
    std::sort(applied.begin(), applied.end(),
              [](const CGlobalKey* a, const CGlobalKey* b) { return a->ApplyOrder < b->ApplyOrder; });

    bool mainIni = true;
    CIniFile::Batch b(configFile);
    for (const CGlobalKey* key : applied) {
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, std::monostate>) {
                    return;
                } else if constexpr (std::is_same_v<Field, QString CGlobalSettings::*>) {
                    b.WriteString(MainSection, key->Name, g.*field);
                } else {
                    std::int64_t value = 0;
                    if constexpr (std::is_same_v<Field, std::atomic<std::uint32_t>*>)
                        value = field == &VerifyTime ? verifyTime : timeOut;
                    else if (key->Kind == GlobalKeyKind::Negated)
                        value = g.*field ? 0 : 1;
                    else
                        value = g.*field;
                    if (key->InMainIni)
                        mainIni =
                            mainIniFile.WriteUInt(MainSection, key->Name, static_cast<std::uint32_t>(value));
                    else if (key->WrittenUnsigned)
                        b.WriteUInt(MainSection, key->Name, static_cast<std::uint32_t>(value));
                    else
                        b.WriteInt(MainSection, key->Name, static_cast<std::int32_t>(value));
                }
            },
            key->Field);
    }
    const bool config = b.Commit();
    return mainIni && config;
}

bool EnsureConfigMarker(CIniFile& configFile) {
    if (configFile.ReadString(MainSection, ConfigMarkerKey) == ConfigMarkerValue)
        return true;
    return configFile.WriteString(MainSection, ConfigMarkerKey, ConfigMarkerValue);
}

bool WriteNetUserName(CIniFile& configFile, const QString& userName) {
    return configFile.WriteString(MainSection, NetUserNameKey, userName);
}

bool WriteNetMsgCommand(CIniFile& configFile, const QString& command, const QString& parameters) {
    CIniFile::Batch b(configFile);
    b.WriteString(MainSection, SendNetMsgCommKey, command);
    b.WriteString(MainSection, SendNetMsgParamKey, parameters);
    return b.Commit();
}

QString ReadNetUserName(const CIniFile& configFile) {
    return configFile.ReadString(MainSection, NetUserNameKey);
}

QString ReadNetMsgCommand(const CIniFile& configFile) {
    return configFile.ReadString(MainSection, SendNetMsgCommKey);
}

QString ReadNetMsgParameters(const CIniFile& configFile) {
    return configFile.ReadString(MainSection, SendNetMsgParamKey);
}
