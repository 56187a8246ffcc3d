#include "platform/linux/SpeechEngineEspeak.h"

#include "platform/AudioOutput.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

namespace {

// The engine keeps global state: one synthesis at a time, ever.
std::mutex EngineMutex;
bool EngineTried = false;
int EngineSampleRate = 0;
std::vector<std::int16_t>* Collected = nullptr;

int CollectSamples(short* wav, int count, espeak_EVENT*) {
    if (wav && count > 0 && Collected)
        Collected->insert(Collected->end(), wav, wav + count);
    return 0;
}

} // namespace

bool CSpeechEngineEspeak::SynthesizeSpeech(const QString& text, std::vector<std::int16_t>& samples,
                                           int& sampleRate) {
    samples.clear();
    std::lock_guard lock(EngineMutex);
    if (!EngineTried) {
        EngineTried = true;
        // Without this flag the library ends the whole process when its data can't be read.
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (rate > 0) {
            espeak_SetSynthCallback(CollectSamples);
            EngineSampleRate = rate;
        }
    }
    if (EngineSampleRate <= 0)
        return false;
    const QByteArray utf8 = text.toUtf8();
    Collected = &samples;
    const espeak_ERROR result = espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    Collected = nullptr;
    sampleRate = EngineSampleRate;
    return result == EE_OK && !samples.empty();
}

bool CSpeechEngineEspeak::SpeakTextAndWait(const QString& text) {
    std::vector<std::int16_t> samples;
    int sampleRate = 0;
    if (!SynthesizeSpeech(text, samples, sampleRate))
        return false;
    return SystemAudioOutput().PlayPcmAndWait(samples, sampleRate, 1);
}
