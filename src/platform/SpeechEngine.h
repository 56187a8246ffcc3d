#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Text to speech. The engine is not re-entrant: synthesis is serialized, playing is not.
class ISpeechEngine {
public:
    virtual ~ISpeechEngine() = default;
    // Synthesizes the text to mono 16-bit samples. False when the engine is not available.
    virtual bool SynthesizeSpeech(const QString& text, std::vector<std::int16_t>& samples,
                                  int& sampleRate) = 0;
    // Synthesizes the text and plays it on a stream of its own; returns once it has been spoken.
    virtual bool SpeakTextAndWait(const QString& text) = 0;
};

// The process's speech engine (platform/Platform.h installs it; the null one until then).
ISpeechEngine& SystemSpeechEngine();
