#include "config/GlobalKeys.h"

#include "monitor/SharedTiming.h"

namespace {

using K = GlobalKeyKind;
using G = CGlobalSettings;

} // namespace

const std::vector<CGlobalKey>& GlobalKeys() {
    static const std::vector<CGlobalKey> keys = {
        {FirstStartKey, std::monostate{}, K::Int},
        {QStringLiteral("XBox"), &G::XBox, K::Int, false, 8},
        {QStringLiteral("YBox"), &G::YBox, K::Int, false, 9},
        {NumBoxKey, std::monostate{}, K::Int},
        {QStringLiteral("PosX"), &G::PosX, K::Int},
        {QStringLiteral("PosY"), &G::PosY, K::Int},
        {QStringLiteral("WinPos"), &G::WinPos, K::Int},
        {QStringLiteral("WinBeh"), &G::WinBeh, K::Int},
        {QStringLiteral("Transparent"), &G::Transparent, K::LowByte, false, 12},
        {QStringLiteral("VerifyTime"), &VerifyTime, K::UInt, false, 10, true},
        {QStringLiteral("TimeOut"), &TimeOut, K::UInt, false, 11, true},
        {QStringLiteral("ShowOnLineOffLineTime"), &G::ShowOnLineOffLineTime, K::LowByte, false, 13},
        {QStringLiteral("DCOBEFE"), &G::DCOBEFE, K::Int, false, 5},
        {QStringLiteral("DCOBEFPath"), &G::DCOBEFPath, K::String, false, 6},
        {QStringLiteral("DCOBEFParameters"), &G::DCOBEFParameters, K::String, false, 7},
        {QStringLiteral("ErrorDefaultSound"), &G::ErrorDefaultSound, K::Int, false, 3, true},
        {QStringLiteral("PlayErrorDefSoundPath"), &G::PlayErrorDefSoundPath, K::String, false, 4},
        {QStringLiteral("HideTaskBarButton"), &G::HideTaskBarButton, K::Int, true, 1, true},
        {QStringLiteral("ErrorSound"), &G::ErrorSound, K::Int, false, 2},
        {QStringLiteral("EnableLog"), &G::EnableLog, K::Int, false, 14},
        {QStringLiteral("ErrorMsgBox"), &G::ErrorMsgBox, K::Int, false, 15},
        {QStringLiteral("ShowUpDownTime"), &G::ShowReplyTime, K::Negated, false, 16},
        {QStringLiteral("ShowIPandMethodX"), &G::ShowIPandMethod, K::Negated, false, 17},
        {QStringLiteral("ShowStatusX"), &G::ShowStatus, K::Negated, false, 18},
        {QStringLiteral("ErrorTextSpeechSound"), &G::ErrorTextSpeechSound, K::Int, false, 19},
        {QStringLiteral("ErrorTextSpeechText"), &G::ErrorTextSpeechText, K::String, false, 20},
        {QStringLiteral("Volume"), &G::Volume, K::Volume, false, 22, true},
        {QStringLiteral("VolumeMute"), &G::VolumeMute, K::Int, false, 21},
    };
    return keys;
}

const QString& GlobalKeyName(GlobalField field) {
    static const QString none;
    if (std::holds_alternative<std::monostate>(field))
        return none;
    for (const CGlobalKey& key : GlobalKeys()) {
        if (key.Field == field)
            return key.Name;
    }
    return none;
}
