#pragma once

#include <QString>
#include <cstdint>

// The global settings of the main window, as loaded from section "main" of the configuration
// file (and HideTaskBarButton from Main.ini). NumBox lives with the monitor table; VerifyTime and
// TimeOut are process-wide (monitor/SharedTiming.h).
struct CGlobalSettings {
    std::int32_t XBox = 0;
    std::int32_t YBox = 0;
    std::int32_t PosX = 0;
    std::int32_t PosY = 0;
    std::int32_t WinPos = 0;
    std::int32_t WinBeh = 0;
    std::uint8_t Transparent = 0;
    std::uint8_t ShowOnLineOffLineTime = 0;
    std::int32_t DCOBEFE = 0;
    QString DCOBEFPath;
    QString DCOBEFParameters;
    std::int32_t ErrorDefaultSound = 0;
    QString PlayErrorDefSoundPath;
    std::int32_t HideTaskBarButton = 0;
    std::int32_t ErrorSound = 0;
    std::int32_t EnableLog = 0;
    std::int32_t ErrorMsgBox = 0;
    bool ShowReplyTime = false;   // key ShowUpDownTime, stored negated
    bool ShowIPandMethod = false; // key ShowIPandMethodX, stored negated
    bool ShowStatus = false;      // key ShowStatusX, stored negated
    std::int32_t ErrorTextSpeechSound = 0;
    QString ErrorTextSpeechText;
    std::uint32_t Volume = 65535;
    std::int32_t VolumeMute = 0;
};
