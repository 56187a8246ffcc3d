#pragma once

#include "config/GlobalSettings.h"
#include "notify/SoundThread.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

// The fields of the global properties dialog. Each carries the main window's setting of the same
// name, except StartWithWindows, which lives in the desktop's autostart entry.
struct CPropertiesFields {
    std::uint32_t XBox = 90;
    std::uint32_t YBox = 80;
    std::uint32_t VerifyTime = 3;
    std::uint32_t TimeOut = 3000;
    std::uint8_t Transparent = 255;
    std::int32_t ShowReplyTime = 1;
    std::int32_t ShowStatus = 1;
    std::int32_t ShowIPandMethod = 1;
    std::uint8_t ShowOnLineOffLineTime = 1;
    std::int32_t StartWithWindows = 0;
    std::int32_t HideTaskBarButton = 0;
    std::int32_t EnableLog = 0;
    std::int32_t DCOBEFE = 0;
    QString DCOBEFPath;
    QString DCOBEFParameters;
    std::int32_t ErrorDefaultSound = 0;
    QString PlayErrorDefSoundPath;
    std::int32_t ErrorTextSpeechSound = 0;
    QString ErrorTextSpeechText;
    std::int32_t ErrorSound = 0;
    std::int32_t ErrorMsgBox = 0;
    std::int32_t VolumeMute = 0;
    std::uint32_t Volume = 65535;
};

// Which of the dependent controls take input.
struct CPropertiesEnables {
    bool DoubleClickCommand = false; // application, its "..." and the parameters
    bool ErrorSoundPath = false;
    bool ErrorSoundBrowse = false;
    bool ErrorSpeechText = false;
    bool ShowStatus = true;
    bool ShowIPandMethod = true;

    friend bool operator==(const CPropertiesEnables&, const CPropertiesEnables&) = default;
};

// The properties command fills the dialog from these; StartWithWindows keeps its value.
void CopySettingsToFields(const CGlobalSettings& settings, std::uint32_t verifyTime, std::uint32_t timeOut,
                          CPropertiesFields& fields);
// Applying copies these back; HideTaskBarButton, VerifyTime and TimeOut are the caller's.
void CopyFieldsToSettings(const CPropertiesFields& fields, CGlobalSettings& settings);

// The four number edits and their spins.
enum class PropertiesSpin { XBox, YBox, VerifyTime, TimeOut };

struct CSpinRange {
    std::uint32_t Low = 0;
    std::uint32_t High = 0;
    std::uint32_t Step = 1;
};

CSpinRange SpinRangeOf(PropertiesSpin spin);
// One click on a spin: one step up or down, kept within the range (a hand-edited value outside
// it comes back into the range at its first click).
std::uint32_t SpinClick(std::uint32_t value, const CSpinRange& range, bool up);

// The dependent controls as the dialog opens: both error sounds set keeps only the spoken one,
// and the box lines stack (reply time forces status, status forces check method and address).
void ApplyOpeningRules(CPropertiesFields& fields, CPropertiesEnables& enables);

// The check boxes whose click changes other controls; the field already holds the new state.
enum class PropertiesCheck { Enable, CustomSound, TextSpeak, ShowReplyTime, ShowStatus };
void ApplyCheckClick(PropertiesCheck check, CPropertiesFields& fields, CPropertiesEnables& enables);

// Default: sizes, interval, time-out, opacity, lines, sounds and volume back to the first-start
// values, start at login set; the double-click application and its parameters stay.
void ApplyDefault(CPropertiesFields& fields, CPropertiesEnables& enables);

// The dialog's sound tests.
enum class PropertiesSoundTest {
    ErrorSoundFile,    // "T" beside the error sound file
    ErrorSpeech,       // "T" beside the spoken error text
    ErrorNotification, // "T" of the IP and NET error sound, as the notification plays it
    Volume,            // "T" of the volume
};
CSoundThread PropertiesTestSound(PropertiesSoundTest test, const CPropertiesFields& fields,
                                 const QString& programFolder);

// The text of the message box test.
QString ErrorMessageTestText(const QDateTime& now);
