#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Text to speech with the eSpeak NG engine. The engine is not re-entrant: synthesis is
// serialized, playing is not.

// Synthesizes the text to mono 16-bit samples. False when the engine is not available.
bool SynthesizeSpeech(const QString& text, std::vector<std::int16_t>& samples, int& sampleRate);

// Synthesizes the text and plays it on a stream of its own; returns once it has been spoken.
bool SpeakTextAndWait(const QString& text);
