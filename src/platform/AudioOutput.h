#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Wave output of the process through the desktop's sound server. Without a server every call
// fails quickly and quietly.

// Process volume, 0 to 65535 on both channels; mute silences the output. It scales every sample
// played from then on, also of a sound that is already playing.
void SetProcessVolume(std::uint32_t volume, bool mute);
// The level that scales the samples now: 0 when muted, else the volume.
std::uint32_t EffectiveProcessVolume();

// Multiplies every sample by level / 65535.
void ScaleSamples(float* samples, std::size_t count, std::uint32_t level);

// Decodes a WAV file and plays it on the process's one WAV stream, taking over the sound that
// plays there. Returns at once; false when the file can't be decoded or the stream's thread can't
// be made. Playing goes on after the caller's thread has ended.
bool PlayWavFileAsync(const QString& path);

// Plays interleaved 16-bit samples on a stream of their own, so that several play at once, and
// returns when they have been played. False when no stream could be opened.
bool PlayPcmAndWait(const std::vector<std::int16_t>& samples, int sampleRate, int channels);
