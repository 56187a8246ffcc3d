#include "dialogs/PropertiesRules.h"

#include "notify/StatusMessage.h"

#include <algorithm>

namespace {

void SetBoxLines(CPropertiesFields& f, CPropertiesEnables& e) {
    if (f.ShowReplyTime) {
        e.ShowIPandMethod = false;
        e.ShowStatus = false;
        f.ShowIPandMethod = 1;
        f.ShowStatus = 1;
    } else {
        e.ShowIPandMethod = false;
        e.ShowStatus = true;
    }
}

void SetStatusLine(CPropertiesFields& f, CPropertiesEnables& e) {
    if (f.ShowStatus) {
        e.ShowIPandMethod = false;
        f.ShowIPandMethod = 1;
    } else {
        e.ShowIPandMethod = true;
    }
}

} // namespace

void CopySettingsToFields(const CGlobalSettings& g, std::uint32_t verifyTime, std::uint32_t timeOut,
                          CPropertiesFields& f) {
    f.XBox = static_cast<std::uint32_t>(g.XBox);
    f.YBox = static_cast<std::uint32_t>(g.YBox);
    f.TimeOut = timeOut;
    f.VerifyTime = verifyTime;
    f.Transparent = g.Transparent;
    f.ShowOnLineOffLineTime = g.ShowOnLineOffLineTime;
    f.DCOBEFE = g.DCOBEFE;
    f.DCOBEFPath = g.DCOBEFPath;
    f.DCOBEFParameters = g.DCOBEFParameters;
    f.ErrorDefaultSound = g.ErrorDefaultSound;
    f.PlayErrorDefSoundPath = g.PlayErrorDefSoundPath;
    f.HideTaskBarButton = g.HideTaskBarButton;
    f.EnableLog = g.EnableLog;
    f.ErrorMsgBox = g.ErrorMsgBox;
    f.ErrorSound = g.ErrorSound;
    f.ShowIPandMethod = g.ShowIPandMethod ? 1 : 0;
    f.ShowReplyTime = g.ShowReplyTime ? 1 : 0;
    f.ShowStatus = g.ShowStatus ? 1 : 0;
    f.ErrorTextSpeechSound = g.ErrorTextSpeechSound;
    f.ErrorTextSpeechText = g.ErrorTextSpeechText;
    f.VolumeMute = g.VolumeMute;
    f.Volume = g.Volume;
}

void CopyFieldsToSettings(const CPropertiesFields& f, CGlobalSettings& g) {
    g.XBox = static_cast<std::int32_t>(f.XBox);
    g.YBox = static_cast<std::int32_t>(f.YBox);
    g.Transparent = f.Transparent;
    g.ShowOnLineOffLineTime = f.ShowOnLineOffLineTime;
    g.ShowReplyTime = f.ShowReplyTime != 0;
    g.DCOBEFE = f.DCOBEFE;
    g.ShowIPandMethod = f.ShowIPandMethod != 0;
    g.ShowStatus = f.ShowStatus != 0;
    g.DCOBEFPath = f.DCOBEFPath;
    g.DCOBEFParameters = f.DCOBEFParameters;
    g.ErrorDefaultSound = f.ErrorDefaultSound;
    g.PlayErrorDefSoundPath = f.PlayErrorDefSoundPath;
    g.ErrorSound = f.ErrorSound;
    g.ErrorTextSpeechSound = f.ErrorTextSpeechSound;
    g.EnableLog = f.EnableLog;
    g.ErrorTextSpeechText = f.ErrorTextSpeechText;
    g.ErrorMsgBox = f.ErrorMsgBox;
    g.VolumeMute = f.VolumeMute;
    g.Volume = f.Volume;
}

CSpinRange SpinRangeOf(PropertiesSpin spin) {
    switch (spin) {
    case PropertiesSpin::XBox:
        return {60, 300, 1};
    case PropertiesSpin::YBox:
        return {60, 100, 1};
    case PropertiesSpin::VerifyTime:
        return {1, 20, 1};
    case PropertiesSpin::TimeOut:
        return {1000, 5000, 500};
    }
    return {};
}

std::uint32_t SpinClick(std::uint32_t value, const CSpinRange& range, bool up) {
    // Wide arithmetic: a hand-edited value near either end of 32 bits must not wrap.
    const std::int64_t moved = static_cast<std::int64_t>(value) + (up ? 1 : -1) * std::int64_t{range.Step};
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(moved, range.Low, range.High));
}

void ApplyOpeningRules(CPropertiesFields& f, CPropertiesEnables& e) {
    e.DoubleClickCommand = f.DCOBEFE != 0;
    if (f.ErrorTextSpeechSound && f.ErrorDefaultSound)
        f.ErrorDefaultSound = 0;
    e.ErrorSoundPath = e.ErrorSoundBrowse = f.ErrorDefaultSound != 0;
    e.ErrorSpeechText = f.ErrorTextSpeechSound != 0;
    SetBoxLines(f, e);
    SetStatusLine(f, e);
}

void ApplyCheckClick(PropertiesCheck check, CPropertiesFields& f, CPropertiesEnables& e) {
    switch (check) {
    case PropertiesCheck::Enable:
        e.DoubleClickCommand = f.DCOBEFE != 0;
        break;
    case PropertiesCheck::CustomSound:
        if (f.ErrorDefaultSound) {
            e.ErrorSoundPath = e.ErrorSoundBrowse = true;
            f.ErrorTextSpeechSound = 0;
            e.ErrorSpeechText = false;
        } else {
            e.ErrorSoundPath = e.ErrorSoundBrowse = false;
        }
        break;
    case PropertiesCheck::TextSpeak:
        if (f.ErrorTextSpeechSound) {
            e.ErrorSoundPath = e.ErrorSoundBrowse = false;
            e.ErrorSpeechText = true;
            f.ErrorDefaultSound = 0;
        } else {
            e.ErrorSoundPath = f.ErrorDefaultSound != 0;
            e.ErrorSpeechText = false;
            e.ErrorSoundBrowse = false;
        }
        break;
    case PropertiesCheck::ShowReplyTime:
        SetBoxLines(f, e);
        break;
    case PropertiesCheck::ShowStatus:
        SetStatusLine(f, e);
        break;
    }
}

void ApplyDefault(CPropertiesFields& f, CPropertiesEnables& e) {
    f.VerifyTime = 3;
    f.TimeOut = 3000;
    f.XBox = 90;
    f.YBox = 80;
    f.Transparent = 255;
    f.ShowOnLineOffLineTime = 1;
    f.DCOBEFE = 0;
    e.DoubleClickCommand = false;
    f.HideTaskBarButton = 0;
    f.StartWithWindows = 1;
    f.ErrorMsgBox = 0;
    f.ErrorSound = 0;
    f.EnableLog = 0;
    f.ErrorDefaultSound = 0;
    f.ErrorTextSpeechSound = 0;
    e.ErrorSoundPath = e.ErrorSoundBrowse = e.ErrorSpeechText = false;
    f.ShowReplyTime = f.ShowStatus = f.ShowIPandMethod = 1;
    e.ShowIPandMethod = e.ShowStatus = false;
    f.ErrorTextSpeechText = QStringLiteral("%text Error");
    f.PlayErrorDefSoundPath.clear();
    f.Volume = 65535;
    f.VolumeMute = 0;
}

CSoundThread PropertiesTestSound(PropertiesSoundTest test, const CPropertiesFields& f,
                                 const QString& programFolder) {
    CSoundThread sound;
    sound.ProgramFolder = programFolder;
    sound.Status = static_cast<std::int32_t>(MonitorStatus::IPERROR);
    sound.BoxText = QStringLiteral("Box Text");
    switch (test) {
    case PropertiesSoundTest::ErrorSoundFile:
        sound.SoundPath = f.PlayErrorDefSoundPath;
        sound.UseSoundPath = 1;
        sound.Speak = 0;
        sound.BoxText.clear();
        break;
    case PropertiesSoundTest::ErrorSpeech:
        sound.Speak = 1;
        sound.SpeechText = f.ErrorTextSpeechText;
        break;
    case PropertiesSoundTest::ErrorNotification:
        sound.SoundPath = f.PlayErrorDefSoundPath;
        sound.UseSoundPath = f.ErrorDefaultSound;
        sound.Speak = f.ErrorTextSpeechSound;
        sound.SpeechText = f.ErrorTextSpeechText;
        break;
    case PropertiesSoundTest::Volume:
        sound.Status = VolumeTestSound;
        sound.UseSoundPath = 0;
        sound.Speak = 0;
        sound.BoxText.clear();
        break;
    }
    return sound;
}

QString ErrorMessageTestText(const QDateTime& now) {
    return StatusMessageHead(QStringLiteral("localhost"), QStringLiteral("127.0.0.1"), now) +
           QStringLiteral("Status=IP ERROR.");
}
