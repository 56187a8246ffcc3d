#include "monitor/MonitorKeys.h"

namespace {

using K = MonitorKeyKind;
using B = CMonitorBox;

} // namespace

const std::vector<CMonitorKey>& MonitorKeys() {
    static const std::vector<CMonitorKey> keys = {
        {QStringLiteral("Text"), &B::Text, K::String},
        {QStringLiteral("PicTypeOnLine"), &B::PicTypeOnLine, K::PictureType},
        {QStringLiteral("PicTypeOffLine"), &B::PicTypeOffLine, K::PictureType},
        {QStringLiteral("OnLineBoxColor"), &B::OnLineBoxColor, K::Colour},
        {QStringLiteral("OffLineBoxColor"), &B::OffLineBoxColor, K::Colour},
        {QStringLiteral("OnLineTextColor"), &B::OnLineTextColor, K::Colour},
        {QStringLiteral("OffLineTextColor"), &B::OffLineTextColor, K::Colour},
        {QStringLiteral("OnLinePicFile"), &B::OnLinePicFile, K::String},
        {QStringLiteral("OffLinePicFile"), &B::OffLinePicFile, K::String},
        {QStringLiteral("IPAdress"), &B::IPAdress, K::String},
        {QStringLiteral("IPv"), &B::IPv, K::Unsigned},
        {QStringLiteral("Port"), &B::Port, K::Unsigned},
        {QStringLiteral("VerifyMetod"), &B::VerifyMetod, K::Unsigned},
        {QStringLiteral("Sound"), &B::Sound, K::LowByte},
        {QStringLiteral("Logging"), &B::Logging, K::Int},
        {QStringLiteral("MsgBox"), &B::MsgBox, K::Int},
        {QStringLiteral("UpPath"), &B::UpPath, K::String},
        {QStringLiteral("DownPath"), &B::DownPath, K::String},
        {QStringLiteral("OpenPath"), &B::OpenPath, K::String},
        {QStringLiteral("ClosePath"), &B::ClosePath, K::String},
        {QStringLiteral("TcpDownPath"), &B::TcpDownPath, K::String},
        {QStringLiteral("CustomSoundCheck"), &B::CustomSoundCheck, K::Int},
        {QStringLiteral("UpTextString"), &B::UpTextString, K::String},
        {QStringLiteral("DownTextString"), &B::DownTextString, K::String},
        {QStringLiteral("OpenTextString"), &B::OpenTextString, K::String},
        {QStringLiteral("CloseTextString"), &B::CloseTextString, K::String},
        {QStringLiteral("TDownTextString"), &B::TDownTextString, K::String},
        {QStringLiteral("SpeechTextCheck"), &B::SpeechTextCheck, K::Int},
        {QStringLiteral("ExecFilePath"), &B::ExecFilePath, K::String},
        {QStringLiteral("ExecFileParam"), &B::ExecFileParam, K::String},
        {QStringLiteral("ExecFileStatusCheck"), &B::ExecFileStatusCheck, K::Unsigned},
        {QStringLiteral("ExecFileCheck"), &B::ExecFileCheck, K::Unsigned},
    };
    return keys;
}

const QString& MonitorKeyName(MonitorField field) {
    static const QString none;
    for (const CMonitorKey& key : MonitorKeys()) {
        if (key.Field == field)
            return key.Name;
    }
    return none;
}
