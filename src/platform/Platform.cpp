#include "platform/Platform.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<IAudioOutput*> InstalledAudio{nullptr};
std::atomic<ISpeechEngine*> InstalledSpeech{nullptr};
std::atomic<IShellStart*> InstalledShell{nullptr};
std::atomic<IWindowSystem*> InstalledWindow{nullptr};
std::mutex ProbesMutex;
std::shared_ptr<INetProbes> InstalledProbes;

template <typename T> T& Installed(std::atomic<T*>& slot, T* fallback) {
    T* service = slot.load(std::memory_order_acquire);
    return service ? *service : *fallback;
}

} // namespace

void InstallPlatform(const CPlatformBackend& backend) {
    const CPlatformBackend null = NullPlatform();
    InstalledAudio.store(backend.Audio ? backend.Audio : null.Audio, std::memory_order_release);
    InstalledSpeech.store(backend.Speech ? backend.Speech : null.Speech, std::memory_order_release);
    InstalledShell.store(backend.Shell ? backend.Shell : null.Shell, std::memory_order_release);
    InstalledWindow.store(backend.Window ? backend.Window : null.Window, std::memory_order_release);
    std::lock_guard lock(ProbesMutex);
    InstalledProbes = backend.Probes ? backend.Probes : null.Probes;
}

IAudioOutput& SystemAudioOutput() {
    return Installed(InstalledAudio, NullPlatform().Audio);
}

ISpeechEngine& SystemSpeechEngine() {
    return Installed(InstalledSpeech, NullPlatform().Speech);
}

IShellStart& SystemShellStart() {
    return Installed(InstalledShell, NullPlatform().Shell);
}

IWindowSystem& DesktopWindowSystem() {
    return Installed(InstalledWindow, NullPlatform().Window);
}

std::shared_ptr<INetProbes> SystemNetProbes() {
    std::lock_guard lock(ProbesMutex);
    return InstalledProbes ? InstalledProbes : NullPlatform().Probes;
}
