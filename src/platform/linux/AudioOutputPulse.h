#pragma once

#include "platform/AudioOutput.h"

#include <cstddef>

// Wave output through the PulseAudio simple API (served by PulseAudio or PipeWire): decoded with
// libsndfile, one stream for WAV files and one per spoken text.
class CAudioOutputPulse final : public IAudioOutput {
public:
    void SetProcessVolume(std::uint32_t volume, bool mute) override;
    std::uint32_t EffectiveProcessVolume() const override;
    bool PlayWavFileAsync(const QString& path) override;
    bool PlayPcmAndWait(const std::vector<std::int16_t>& samples, int sampleRate, int channels) override;
};

// Multiplies every sample by level / 65535.
void ScaleSamples(float* samples, std::size_t count, std::uint32_t level);
