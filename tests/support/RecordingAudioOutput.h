#pragma once

#include "platform/AudioOutput.h"
#include "platform/Platform.h"

#include <QList>
#include <QPair>

// An audio backend that plays nothing and records every process volume asked of it; installed
// as the process's audio output while it lives.
class RecordingAudioOutput : public IAudioOutput {
public:
    RecordingAudioOutput() {
        CPlatformBackend backend;
        backend.Audio = this;
        InstallPlatform(backend);
    }
    ~RecordingAudioOutput() override { InstallPlatform(CPlatformBackend{}); }
    RecordingAudioOutput(const RecordingAudioOutput&) = delete;
    RecordingAudioOutput& operator=(const RecordingAudioOutput&) = delete;

    // (volume, mute) in the order asked.
    QList<QPair<std::uint32_t, bool>> Volumes;

    void SetProcessVolume(std::uint32_t volume, bool mute) override {
        Volumes.append({volume, mute});
        Volume = volume;
        Mute = mute;
    }
    std::uint32_t EffectiveProcessVolume() const override { return Mute ? 0 : Volume; }
    bool PlayWavFileAsync(const QString&) override { return false; }
    bool PlayPcmAndWait(const std::vector<std::int16_t>&, int, int) override { return false; }

private:
    std::uint32_t Volume = 65535;
    bool Mute = false;
};
