// Writes the program's built-in notification sounds: short, distinct tone sequences.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 44100;
constexpr double Pi = 3.14159265358979323846;

struct Tone {
    double Frequency; // Hz; 0 is a pause
    double Seconds;
};

// Each tone at a steady level with 5 ms fades, so that the level is easy to measure.
std::vector<short> Render(const std::vector<Tone>& tones, double level) {
    std::vector<short> out;
    const int fade = SampleRate / 200;
    for (const Tone& tone : tones) {
        const int n = static_cast<int>(tone.Seconds * SampleRate);
        for (int i = 0; i < n; ++i) {
            double gain = level;
            if (i < fade)
                gain *= static_cast<double>(i) / fade;
            else if (n - i < fade)
                gain *= static_cast<double>(n - i) / fade;
            const double v =
                tone.Frequency > 0 ? gain * std::sin(2 * Pi * tone.Frequency * i / SampleRate) : 0.0;
            out.push_back(static_cast<short>(std::lround(v * 32767)));
        }
    }
    return out;
}

bool Write(const std::string& path, const std::vector<short>& samples) {
    SF_INFO info{};
    info.samplerate = SampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const sf_count_t written = sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return written == static_cast<sf_count_t>(samples.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    bool ok = true;
    ok &= Write(folder + "Up.wav", Render({{660, 0.15}, {880, 0.25}}, 0.5));
    ok &= Write(folder + "Down.wav", Render({{880, 0.2}, {660, 0.2}, {440, 0.2}}, 0.5));
    ok &= Write(folder + "CompError.wav",
                Render({{220, 0.12}, {0, 0.06}, {220, 0.12}, {0, 0.06}, {220, 0.12}}, 0.5));
    ok &= Write(folder + "VolumeTest.wav", Render({{1000, 1.0}}, 0.5));
    return ok ? 0 : 1;
}
