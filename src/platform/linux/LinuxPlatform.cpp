#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/AudioOutputPulse.h"
#include "platform/linux/NetProbesLinux.h"
#include "platform/linux/ShellStartXdg.h"
#include "platform/linux/SpeechEngineEspeak.h"
#include "platform/linux/WindowSystemX11.h"

CPlatformBackend LinuxPlatform() {
    static CAudioOutputPulse audio;
    static CSpeechEngineEspeak speech;
    static CShellStartXdg shell;
    static const std::shared_ptr<INetProbes> probes = std::make_shared<CLinuxNetProbes>();
    return {&audio, &speech, &shell, &WindowSystemX11(), probes};
}
