#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Wave output of the process through the desktop's sound server. Without a server every call
// fails quickly and quietly.
class IAudioOutput {
public:
    virtual ~IAudioOutput() = default;
    // Process volume, 0 to 65535 on both channels; mute silences the output. It scales every
    // sample played from then on, also of a sound that is already playing.
    virtual void SetProcessVolume(std::uint32_t volume, bool mute) = 0;
    // The level that scales the samples now: 0 when muted, else the volume.
    virtual std::uint32_t EffectiveProcessVolume() const = 0;
    // Decodes a WAV file and plays it on the process's one WAV stream, taking over the sound
    // that plays there. Returns at once; false when the file can't be decoded or the stream's
    // thread can't be made. Playing goes on after the caller's thread has ended.
    virtual bool PlayWavFileAsync(const QString& path) = 0;
    // Plays interleaved 16-bit samples on a stream of their own, so that several play at once,
    // and returns when they have been played. False when no stream could be opened.
    virtual bool PlayPcmAndWait(const std::vector<std::int16_t>& samples, int sampleRate, int channels) = 0;
};

// The process's audio output (platform/Platform.h installs it; the null one until then).
IAudioOutput& SystemAudioOutput();
