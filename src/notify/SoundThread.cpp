#include "notify/SoundThread.h"

#include "platform/AudioOutput.h"
#include "platform/SpeechEngine.h"

#include <system_error>
#include <thread>

QString BuiltInSoundFile(std::int32_t status) {
    switch (status) {
    case static_cast<std::int32_t>(MonitorStatus::Up):
        return QStringLiteral("/Sound/Up.wav");
    case static_cast<std::int32_t>(MonitorStatus::Down):
    case static_cast<std::int32_t>(MonitorStatus::Close):
        return QStringLiteral("/Sound/Down.wav");
    case static_cast<std::int32_t>(MonitorStatus::NETERROR):
    case static_cast<std::int32_t>(MonitorStatus::IPERROR):
        return QStringLiteral("/Sound/CompError.wav");
    case VolumeTestSound:
        return QStringLiteral("/Sound/VolumeTest.wav");
    default:
        return {};
    }
}

QString CSoundThread::SoundFileName() const {
    if (UseSoundPath == 1)
        return SoundPath;
    if (UseSoundPath != 0)
        return {};
    const QString file = BuiltInSoundFile(Status);
    if (file.isEmpty())
        return {};
    QString folder = ProgramFolder;
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder + file;
}

QString CSoundThread::TextToSpeak() const {
    QString text = SpeechText;
    text.replace(QStringLiteral("%text"), BoxText);
    return text;
}

void CSoundThread::InitInstance() const {
    if (Speak != 0) {
        const QString text = TextToSpeak();
        if (!text.isEmpty())
            SystemSpeechEngine().SpeakTextAndWait(text);
        return;
    }
    const QString name = SoundFileName();
    if (!name.isEmpty())
        SystemAudioOutput().PlayWavFileAsync(name);
}

void StartSoundThread(CSoundThread sound, std::function<void()> finished) {
    try {
        std::thread([sound = std::move(sound), finished = std::move(finished)] {
            sound.InitInstance();
            if (finished)
                finished();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the sound is dropped like one that can't be played.
    }
}
