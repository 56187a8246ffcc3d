#pragma once

#include "platform/SpeechEngine.h"

// Speech with the eSpeak NG library, played through the process's audio output.
class CSpeechEngineEspeak final : public ISpeechEngine {
public:
    bool SynthesizeSpeech(const QString& text, std::vector<std::int16_t>& samples, int& sampleRate) override;
    bool SpeakTextAndWait(const QString& text) override;
};
