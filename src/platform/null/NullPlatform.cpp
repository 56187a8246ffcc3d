#include "platform/Platform.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <atomic>

namespace {

class CNullAudioOutput final : public IAudioOutput {
public:
    void SetProcessVolume(std::uint32_t volume, bool mute) override {
        Level.store(mute ? 0 : std::min<std::uint32_t>(volume, 65535));
    }
    std::uint32_t EffectiveProcessVolume() const override { return Level.load(); }
    bool PlayWavFileAsync(const QString&) override { return false; }
    bool PlayPcmAndWait(const std::vector<std::int16_t>&, int, int) override { return false; }

private:
    std::atomic<std::uint32_t> Level{65535};
};

class CNullSpeechEngine final : public ISpeechEngine {
public:
    bool SynthesizeSpeech(const QString&, std::vector<std::int16_t>& samples, int& sampleRate) override {
        samples.clear();
        sampleRate = 0;
        return false;
    }
    bool SpeakTextAndWait(const QString&) override { return false; }
};

class CNullShellStart final : public IShellStart {
public:
    CShellTarget ClassifyShellTarget(const QString&) const override { return {}; }
    bool ShellOpen(const QString&, const QString&) override { return false; }
    void ShellOpenDetached(const QString&, const QString&) override {}
};

// No desktop to ask: the toolkit's own work area, and no stacking or taskbar states.
class CNullWindowSystem final : public IWindowSystem {
public:
    void SetStacking(QWindow*, StackingLevel) override {}
    void SetSkipTaskbar(QWindow*, bool) override {}
    QRect WorkArea() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    }
    bool RemapIfWithdrawn(QWindow*) override { return false; }
};

// Without a network layer no check can be made.
class CNullNetProbes final : public INetProbes {
public:
    MonitorStatus PingV4(const std::string&, ProbeState&) override { return MonitorStatus::NETERROR; }
    MonitorStatus PingV6(const std::string&, ProbeState&) override { return MonitorStatus::NETERROR; }
    MonitorStatus ConnectV4(const std::string&, std::int32_t, ProbeState&) override {
        return MonitorStatus::NETERROR;
    }
    MonitorStatus ConnectV6(const std::string&, std::int32_t, ProbeState&) override {
        return MonitorStatus::NETERROR;
    }
};

} // namespace

CPlatformBackend NullPlatform() {
    static CNullAudioOutput audio;
    static CNullSpeechEngine speech;
    static CNullShellStart shell;
    static CNullWindowSystem window;
    static const std::shared_ptr<INetProbes> probes = std::make_shared<CNullNetProbes>();
    return {&audio, &speech, &shell, &window, probes};
}
