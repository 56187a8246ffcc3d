#pragma once

#include "types/MonitorStatus.h"

#include <QString>
#include <cstdint>
#include <functional>

// Status value that asks for the volume test sound.
constexpr std::int32_t VolumeTestSound = 100;

// One sound or one spoken text, played on a thread of its own. The caller fills a copy and
// starts it; the thread reads only its own fields.
class CSoundThread {
public:
    std::int32_t Status = 2;
    QString SoundPath;
    std::int32_t UseSoundPath = 0;
    std::int32_t Speak = 0;
    QString SpeechText;
    QString BoxText;
    // Folder of the built-in Sound folder (CDataPaths::ProgramFolder).
    QString ProgramFolder;

    // The file to play: SoundPath when UseSoundPath is 1, the built-in file for Status when it is
    // 0, else empty.
    QString SoundFileName() const;
    // SpeechText with every "%text" replaced by BoxText.
    QString TextToSpeak() const;

    // The thread's work: speaks and waits until spoken, or starts the WAV and returns at once.
    // Failures end it quietly.
    void InitInstance() const;
};

// The built-in file for a status ("/Sound/Up.wav", ...), empty when there is none.
QString BuiltInSoundFile(std::int32_t status);

// Starts the sound on a detached thread of its own; finished (if set) is called on that thread
// when it ends. When no thread can be made the sound is dropped and finished is not called.
void StartSoundThread(CSoundThread sound, std::function<void()> finished = {});
