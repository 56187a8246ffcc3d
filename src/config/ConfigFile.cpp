#include "config/ConfigFile.h"

#include "monitor/SharedTiming.h"

#include <algorithm>
#include <limits>

namespace {

const QString NumBoxKey = QStringLiteral("NumBox");

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The configuration file's first-start keys of "main" up to the point where Main.ini is written,
// then the rest, then "Box 0".
void FirstStartMainHead(CIniFile::Batch& b) {
    const QString& m = MainSection;
    b.WriteString(m, ConfigMarkerKey, ConfigMarkerValue);
    b.WriteInt(m, QStringLiteral("FirstStart"), 1);
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

void WriteBoxSection(CIniFile::Batch& b, int index, const CMonitorBox& box) {
    const QString s = BoxSectionName(index);
    const auto u = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
    b.WriteString(s, QStringLiteral("Text"), box.Text);
    b.WriteInt(s, QStringLiteral("PicTypeOnLine"), box.PicTypeOnLine);
    b.WriteInt(s, QStringLiteral("PicTypeOffLine"), box.PicTypeOffLine);
    b.WriteUInt(s, QStringLiteral("OnLineBoxColor"), box.OnLineBoxColor);
    b.WriteUInt(s, QStringLiteral("OffLineBoxColor"), box.OffLineBoxColor);
    b.WriteUInt(s, QStringLiteral("OnLineTextColor"), box.OnLineTextColor);
    b.WriteUInt(s, QStringLiteral("OffLineTextColor"), box.OffLineTextColor);
    b.WriteString(s, QStringLiteral("OnLinePicFile"), box.OnLinePicFile);
    b.WriteString(s, QStringLiteral("OffLinePicFile"), box.OffLinePicFile);
    b.WriteString(s, QStringLiteral("IPAdress"), box.IPAdress);
    b.WriteUInt(s, QStringLiteral("IPv"), u(box.IPv));
    b.WriteUInt(s, QStringLiteral("Port"), u(box.Port));
    b.WriteUInt(s, QStringLiteral("VerifyMetod"), u(box.VerifyMetod));
    b.WriteUInt(s, QStringLiteral("Sound"), box.Sound);
    b.WriteUInt(s, QStringLiteral("Logging"), u(box.Logging));
    b.WriteUInt(s, QStringLiteral("MsgBox"), u(box.MsgBox));
    b.WriteString(s, QStringLiteral("UpPath"), box.UpPath);
    b.WriteString(s, QStringLiteral("DownPath"), box.DownPath);
    b.WriteString(s, QStringLiteral("OpenPath"), box.OpenPath);
    b.WriteString(s, QStringLiteral("ClosePath"), box.ClosePath);
    b.WriteString(s, QStringLiteral("TcpDownPath"), box.TcpDownPath);
    b.WriteUInt(s, QStringLiteral("CustomSoundCheck"), u(box.CustomSoundCheck));
    b.WriteString(s, QStringLiteral("UpTextString"), box.UpTextString);
    b.WriteString(s, QStringLiteral("DownTextString"), box.DownTextString);
    b.WriteString(s, QStringLiteral("OpenTextString"), box.OpenTextString);
    b.WriteString(s, QStringLiteral("CloseTextString"), box.CloseTextString);
    b.WriteString(s, QStringLiteral("TDownTextString"), box.TDownTextString);
    b.WriteUInt(s, QStringLiteral("SpeechTextCheck"), u(box.SpeechTextCheck));
    b.WriteString(s, QStringLiteral("ExecFilePath"), box.ExecFilePath);
    b.WriteString(s, QStringLiteral("ExecFileParam"), box.ExecFileParam);
    b.WriteUInt(s, QStringLiteral("ExecFileStatusCheck"), u(box.ExecFileStatusCheck));
    b.WriteUInt(s, QStringLiteral("ExecFileCheck"), u(box.ExecFileCheck));
}

} // namespace

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
    const auto i32 = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
    box.Text = f.ReadString(s, QStringLiteral("Text"));
    box.PicTypeOnLine = i32(f.ReadUInt(s, QStringLiteral("PicTypeOnLine")));
    box.PicTypeOffLine = i32(f.ReadUInt(s, QStringLiteral("PicTypeOffLine")));
    box.OnLinePicFile = f.ReadString(s, QStringLiteral("OnLinePicFile"));
    box.OffLinePicFile = f.ReadString(s, QStringLiteral("OffLinePicFile"));
    box.OnLinePicPath = picturesFolder + box.OnLinePicFile;
    box.OffLinePicPath = picturesFolder + box.OffLinePicFile;
    box.OnLineBoxColor = f.ReadUIntDefault(s, QStringLiteral("OnLineBoxColor"), 0);
    box.OffLineBoxColor = f.ReadUIntDefault(s, QStringLiteral("OffLineBoxColor"), 0);
    box.OnLineTextColor = f.ReadUIntDefault(s, QStringLiteral("OnLineTextColor"), 0);
    box.OffLineTextColor = f.ReadUIntDefault(s, QStringLiteral("OffLineTextColor"), 0);
    box.IPAdress = f.ReadString(s, QStringLiteral("IPAdress"));
    box.IPv = i32(f.ReadUInt(s, QStringLiteral("IPv")));
    box.Port = i32(f.ReadUInt(s, QStringLiteral("Port")));
    box.VerifyMetod = i32(f.ReadUInt(s, QStringLiteral("VerifyMetod")));
    box.Sound = static_cast<std::uint8_t>(f.ReadInt(s, QStringLiteral("Sound")) & 0xFF);
    box.Logging = f.ReadInt(s, QStringLiteral("Logging"));
    box.MsgBox = f.ReadInt(s, QStringLiteral("MsgBox"));
    box.UpPath = f.ReadString(s, QStringLiteral("UpPath"));
    box.DownPath = f.ReadString(s, QStringLiteral("DownPath"));
    box.OpenPath = f.ReadString(s, QStringLiteral("OpenPath"));
    box.ClosePath = f.ReadString(s, QStringLiteral("ClosePath"));
    box.TcpDownPath = f.ReadString(s, QStringLiteral("TcpDownPath"));
    box.CustomSoundCheck = f.ReadInt(s, QStringLiteral("CustomSoundCheck"));
    box.UpTextString = f.ReadString(s, QStringLiteral("UpTextString"));
    box.DownTextString = f.ReadString(s, QStringLiteral("DownTextString"));
    box.OpenTextString = f.ReadString(s, QStringLiteral("OpenTextString"));
    box.CloseTextString = f.ReadString(s, QStringLiteral("CloseTextString"));
    box.TDownTextString = f.ReadString(s, QStringLiteral("TDownTextString"));
    box.SpeechTextCheck = f.ReadInt(s, QStringLiteral("SpeechTextCheck"));
    box.ExecFilePath = f.ReadString(s, QStringLiteral("ExecFilePath"));
    box.ExecFileParam = f.ReadString(s, QStringLiteral("ExecFileParam"));
    box.ExecFileStatusCheck = i32(f.ReadUInt(s, QStringLiteral("ExecFileStatusCheck")));
    box.ExecFileCheck = i32(f.ReadUInt(s, QStringLiteral("ExecFileCheck")));
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
    const std::int32_t firstStart = f.ReadInt(m, QStringLiteral("FirstStart"));
    settings.XBox = f.ReadInt(m, QStringLiteral("XBox"));
    settings.YBox = f.ReadInt(m, QStringLiteral("YBox"));
    // The table has 60 slots; more sections than that are not loaded.
    const std::int32_t numBox = std::clamp(f.ReadInt(m, NumBoxKey), 0, MaxMonitors);
    settings.PosX = f.ReadInt(m, QStringLiteral("PosX"));
    settings.PosY = f.ReadInt(m, QStringLiteral("PosY"));
    settings.WinPos = f.ReadInt(m, QStringLiteral("WinPos"));
    settings.WinBeh = f.ReadInt(m, QStringLiteral("WinBeh"));
    settings.Transparent = static_cast<std::uint8_t>(f.ReadInt(m, QStringLiteral("Transparent")) & 0xFF);
    VerifyTime.store(f.ReadUInt(m, QStringLiteral("VerifyTime")));
    TimeOut.store(f.ReadUInt(m, QStringLiteral("TimeOut")));
    settings.ShowOnLineOffLineTime =
        static_cast<std::uint8_t>(f.ReadInt(m, QStringLiteral("ShowOnLineOffLineTime")) & 0xFF);
    settings.DCOBEFE = f.ReadInt(m, QStringLiteral("DCOBEFE"));
    settings.DCOBEFPath = f.ReadString(m, QStringLiteral("DCOBEFPath"));
    settings.DCOBEFParameters = f.ReadString(m, QStringLiteral("DCOBEFParameters"));
    settings.ErrorDefaultSound = f.ReadInt(m, QStringLiteral("ErrorDefaultSound"));
    settings.PlayErrorDefSoundPath = f.ReadString(m, QStringLiteral("PlayErrorDefSoundPath"));
    settings.HideTaskBarButton = mainIniFile.ReadInt(m, QStringLiteral("HideTaskBarButton"));
    settings.ErrorSound = f.ReadInt(m, QStringLiteral("ErrorSound"));
    settings.EnableLog = f.ReadInt(m, QStringLiteral("EnableLog"));
    settings.ErrorMsgBox = f.ReadInt(m, QStringLiteral("ErrorMsgBox"));
    settings.ShowReplyTime = f.ReadInt(m, QStringLiteral("ShowUpDownTime")) == 0;
    settings.ShowIPandMethod = f.ReadInt(m, QStringLiteral("ShowIPandMethodX")) == 0;
    settings.ShowStatus = f.ReadInt(m, QStringLiteral("ShowStatusX")) == 0;
    settings.ErrorTextSpeechSound = f.ReadInt(m, QStringLiteral("ErrorTextSpeechSound"));
    settings.ErrorTextSpeechText = f.ReadString(m, QStringLiteral("ErrorTextSpeechText"));
    settings.Volume = f.ReadUIntDefault(m, QStringLiteral("Volume"), 65535);
    settings.VolumeMute = f.ReadInt(m, QStringLiteral("VolumeMute"));

    if (settings.HideTaskBarButton == 1 && hooks.HideTaskBarButton)
        hooks.HideTaskBarButton();

    if (firstStart != 0) {
        const QPoint pos = FirstStartPosition(workArea, settings.XBox, settings.YBox, numBox);
        settings.PosX = pos.x();
        settings.PosY = pos.y();
        CIniFile::Batch b(configFile);
        b.WriteInt(m, QStringLiteral("PosX"), settings.PosX);
        b.WriteInt(m, QStringLiteral("PosY"), settings.PosY);
        b.WriteInt(m, QStringLiteral("FirstStart"), 0);
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
    b.WriteInt(MainSection, QStringLiteral("PosX"), posX);
    b.WriteInt(MainSection, QStringLiteral("PosY"), posY);
    return b.Commit();
}

bool WriteWinPos(CIniFile& configFile, std::int32_t winPos) {
    return configFile.WriteInt(MainSection, QStringLiteral("WinPos"), winPos);
}

bool WriteWinBeh(CIniFile& configFile, std::int32_t winBeh) {
    return configFile.WriteInt(MainSection, QStringLiteral("WinBeh"), winBeh);
}

bool WriteGlobalProperties(CIniFile& configFile, CIniFile& mainIniFile, const CGlobalSettings& g,
                           std::uint32_t verifyTime, std::uint32_t timeOut) {
    const bool mainIni = mainIniFile.WriteUInt(MainSection, QStringLiteral("HideTaskBarButton"),
                                               static_cast<std::uint32_t>(g.HideTaskBarButton));
    CIniFile::Batch b(configFile);
    const QString& m = MainSection;
    b.WriteInt(m, QStringLiteral("ErrorSound"), g.ErrorSound);
    b.WriteUInt(m, QStringLiteral("ErrorDefaultSound"), static_cast<std::uint32_t>(g.ErrorDefaultSound));
    b.WriteString(m, QStringLiteral("PlayErrorDefSoundPath"), g.PlayErrorDefSoundPath);
    b.WriteInt(m, QStringLiteral("DCOBEFE"), g.DCOBEFE);
    b.WriteString(m, QStringLiteral("DCOBEFPath"), g.DCOBEFPath);
    b.WriteString(m, QStringLiteral("DCOBEFParameters"), g.DCOBEFParameters);
    b.WriteInt(m, QStringLiteral("XBox"), g.XBox);
    b.WriteInt(m, QStringLiteral("YBox"), g.YBox);
    b.WriteUInt(m, QStringLiteral("VerifyTime"), verifyTime);
    b.WriteUInt(m, QStringLiteral("TimeOut"), timeOut);
    b.WriteInt(m, QStringLiteral("Transparent"), g.Transparent);
    b.WriteInt(m, QStringLiteral("ShowOnLineOffLineTime"), g.ShowOnLineOffLineTime);
    b.WriteInt(m, QStringLiteral("EnableLog"), g.EnableLog);
    b.WriteInt(m, QStringLiteral("ErrorMsgBox"), g.ErrorMsgBox);
    b.WriteInt(m, QStringLiteral("ShowUpDownTime"), g.ShowReplyTime ? 0 : 1);
    b.WriteInt(m, QStringLiteral("ShowIPandMethodX"), g.ShowIPandMethod ? 0 : 1);
    b.WriteInt(m, QStringLiteral("ShowStatusX"), g.ShowStatus ? 0 : 1);
    b.WriteInt(m, QStringLiteral("ErrorTextSpeechSound"), g.ErrorTextSpeechSound);
    b.WriteString(m, QStringLiteral("ErrorTextSpeechText"), g.ErrorTextSpeechText);
    b.WriteInt(m, QStringLiteral("VolumeMute"), g.VolumeMute);
    b.WriteUInt(m, QStringLiteral("Volume"), g.Volume);
    const bool config = b.Commit();
    return mainIni && config;
}

bool EnsureConfigMarker(CIniFile& configFile) {
    if (configFile.ReadString(MainSection, ConfigMarkerKey) == ConfigMarkerValue)
        return true;
    return configFile.WriteString(MainSection, ConfigMarkerKey, ConfigMarkerValue);
}

bool WriteNetUserName(CIniFile& configFile, const QString& userName) {
    return configFile.WriteString(MainSection, QStringLiteral("NetUserName"), userName);
}

bool WriteNetMsgCommand(CIniFile& configFile, const QString& command, const QString& parameters) {
    CIniFile::Batch b(configFile);
    b.WriteString(MainSection, QStringLiteral("SendNetMsgComm"), command);
    b.WriteString(MainSection, QStringLiteral("SendNetMsgParam"), parameters);
    return b.Commit();
}

QString ReadNetUserName(const CIniFile& configFile) {
    return configFile.ReadString(MainSection, QStringLiteral("NetUserName"));
}

QString ReadNetMsgCommand(const CIniFile& configFile) {
    return configFile.ReadString(MainSection, QStringLiteral("SendNetMsgComm"));
}

QString ReadNetMsgParameters(const CIniFile& configFile) {
    return configFile.ReadString(MainSection, QStringLiteral("SendNetMsgParam"));
}
