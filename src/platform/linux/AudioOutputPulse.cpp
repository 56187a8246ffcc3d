#include "platform/linux/AudioOutputPulse.h"

#include <QFile>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

std::atomic<std::uint32_t> ProcessVolume{65535};
std::atomic<bool> ProcessMute{false};

std::uint32_t CurrentLevel() {
    return ProcessMute.load() ? 0 : ProcessVolume.load();
}

// Chunks of about 20 ms keep a take-over prompt; the server buffers a quarter of a second, so a
// player stalled by a busy machine does not break up the sound, and a volume change is heard that
// much later.
constexpr int ChunkMilliseconds = 20;
constexpr int BufferMilliseconds = 250;
// Ten minutes of CD audio; anything longer is cut, so a hostile file can't exhaust memory.
constexpr sf_count_t MaxFrames = 44100LL * 600;

std::size_t ChunkSamples(int sampleRate, int channels) {
    const std::size_t frames =
        std::max<std::size_t>(1, static_cast<std::size_t>(sampleRate) * ChunkMilliseconds / 1000);
    return frames * static_cast<std::size_t>(channels);
}

struct CDecodedWav {
    std::vector<float> Samples; // interleaved
    int SampleRate = 0;
    int Channels = 0;
};

pa_simple* OpenPlaybackStream(int sampleRate, int channels, const char* streamName) {
    if (sampleRate <= 0 || channels <= 0 || channels > static_cast<int>(PA_CHANNELS_MAX))
        return nullptr;
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32LE;
    spec.rate = static_cast<std::uint32_t>(sampleRate);
    spec.channels = static_cast<std::uint8_t>(channels);
    if (!pa_sample_spec_valid(&spec))
        return nullptr;
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(BufferMilliseconds * 1000ULL, &spec));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    int error = 0;
    return pa_simple_new(nullptr, "Pylarix", PA_STREAM_PLAYBACK, nullptr, streamName, &spec, nullptr, &attr,
                         &error);
}

// Writes one chunk scaled by the process volume as it is now.
bool WriteChunk(pa_simple* stream, const float* samples, std::size_t count, std::vector<float>& scratch) {
    scratch.assign(samples, samples + count);
    ScaleSamples(scratch.data(), scratch.size(), CurrentLevel());
    int error = 0;
    return pa_simple_write(stream, scratch.data(), scratch.size() * sizeof(float), &error) == 0;
}

bool DecodeWav(const QString& path, CDecodedWav& out) {
    const QByteArray name = QFile::encodeName(path);
    SF_INFO info{};
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
    if (!file)
        return false;
    if (info.channels <= 0 || info.channels > static_cast<int>(PA_CHANNELS_MAX) || info.samplerate <= 0 ||
        info.frames < 0) {
        sf_close(file);
        return false;
    }
    const sf_count_t frames = std::min<sf_count_t>(info.frames, MaxFrames);
    out.Samples.resize(static_cast<std::size_t>(frames * info.channels));
    const sf_count_t read = sf_readf_float(file, out.Samples.data(), frames);
    sf_close(file);
    if (read <= 0)
        return false;
    out.Samples.resize(static_cast<std::size_t>(read * info.channels));
    out.SampleRate = info.samplerate;
    out.Channels = info.channels;
    return true;
}

// The process's one WAV stream, served by one thread. A new sound replaces the pending one and
// stops the one playing. Never freed: the detached thread may outlive every static object.
class CWavPlayer {
public:
    // False when the stream's thread can't be made; a later sound tries again.
    bool Play(std::shared_ptr<const CDecodedWav> wav) {
        std::lock_guard lock(Mutex);
        if (!Running) {
            try {
                std::thread([this] { Run(); }).detach();
            } catch (const std::system_error&) {
                return false;
            }
            Running = true;
        }
        Pending = std::move(wav);
        ++Generation;
        Wake.notify_one();
        return true;
    }

private:
    void Run() {
        for (;;) {
            std::shared_ptr<const CDecodedWav> wav;
            std::uint64_t generation = 0;
            {
                std::unique_lock lock(Mutex);
                if (!Wake.wait_for(lock, std::chrono::seconds(30), [this] { return Pending != nullptr; })) {
                    Running = false;
                    return;
                }
                wav = std::move(Pending);
                generation = Generation;
            }
            PlayOne(*wav, generation);
        }
    }

    bool TakenOver(std::uint64_t generation) {
        std::lock_guard lock(Mutex);
        return Generation != generation;
    }

    void PlayOne(const CDecodedWav& wav, std::uint64_t generation) {
        pa_simple* stream = OpenPlaybackStream(wav.SampleRate, wav.Channels, "Sound");
        if (!stream)
            return;
        const std::size_t chunk = ChunkSamples(wav.SampleRate, wav.Channels);
        std::vector<float> scratch;
        bool stopped = false;
        for (std::size_t at = 0; at < wav.Samples.size(); at += chunk) {
            if (TakenOver(generation)) {
                stopped = true;
                break;
            }
            const std::size_t count = std::min(chunk, wav.Samples.size() - at);
            if (!WriteChunk(stream, wav.Samples.data() + at, count, scratch)) {
                stopped = true;
                break;
            }
        }
        int error = 0;
        if (stopped)
            pa_simple_flush(stream, &error);
        else
            pa_simple_drain(stream, &error);
        pa_simple_free(stream);
    }

    std::mutex Mutex;
    std::condition_variable Wake;
    std::shared_ptr<const CDecodedWav> Pending;
    std::uint64_t Generation = 0;
    bool Running = false;
};

CWavPlayer& WavPlayer() {
    static CWavPlayer* player = new CWavPlayer;
    return *player;
}

} // namespace

void ScaleSamples(float* samples, std::size_t count, std::uint32_t level) {
    if (level >= 65535)
        return;
    const float factor = static_cast<float>(level) / 65535.0f;
    for (std::size_t i = 0; i < count; ++i)
        samples[i] *= factor;
}

bool CAudioOutputPulse::PlayWavFileAsync(const QString& path) {
    auto wav = std::make_shared<CDecodedWav>();
    if (path.isEmpty() || !DecodeWav(path, *wav))
        return false;
    return WavPlayer().Play(std::move(wav));
}

bool CAudioOutputPulse::PlayPcmAndWait(const std::vector<std::int16_t>& samples, int sampleRate,
                                       int channels) {
    pa_simple* stream = OpenPlaybackStream(sampleRate, channels, "Speech");
    if (!stream)
        return false;
    const std::size_t chunk = ChunkSamples(sampleRate, channels);
    std::vector<float> converted;
    std::vector<float> scratch;
    bool ok = true;
    for (std::size_t at = 0; at < samples.size() && ok; at += chunk) {
        const std::size_t count = std::min(chunk, samples.size() - at);
        converted.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            converted[i] = static_cast<float>(samples[at + i]) / 32768.0f;
        ok = WriteChunk(stream, converted.data(), count, scratch);
    }
    int error = 0;
    if (ok)
        ok = pa_simple_drain(stream, &error) == 0;
    pa_simple_free(stream);
    return ok;
}

void CAudioOutputPulse::SetProcessVolume(std::uint32_t volume, bool mute) {
    ProcessVolume.store(std::min<std::uint32_t>(volume, 65535));
    ProcessMute.store(mute);
}

std::uint32_t CAudioOutputPulse::EffectiveProcessVolume() const {
    return CurrentLevel();
}
