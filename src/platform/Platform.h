#pragma once

#include "platform/AudioOutput.h"
#include "platform/NetProbes.h"
#include "platform/ShellStart.h"
#include "platform/SpeechEngine.h"
#include "platform/WindowSystem.h"

#include <memory>

// The services a backend provides. The program installs the Linux backend at start; logic tests
// and fuzzers run on the null backend, which answers every call quietly with a failure.
struct CPlatformBackend {
    IAudioOutput* Audio = nullptr;
    ISpeechEngine* Speech = nullptr;
    IShellStart* Shell = nullptr;
    IWindowSystem* Window = nullptr;
    std::shared_ptr<INetProbes> Probes;
};

// Makes the backend's services the process's; members left null take the null backend's. The
// services must outlive every use. Meant for the start of main, before other threads run.
void InstallPlatform(const CPlatformBackend& backend);

// The null backend's services.
CPlatformBackend NullPlatform();
