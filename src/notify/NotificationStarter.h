#pragma once

#include "notify/ExecFile.h"
#include "notify/SoundThread.h"
#include "notify/StatusMessage.h"

// What the status handling starts. The real starter runs each on its own thread (the message box
// non-modal on the main thread); tests record the calls.
class INotificationStarter {
public:
    virtual ~INotificationStarter() = default;
    virtual void StartSound(const CSoundThread& sound) = 0;
    virtual void StartStatusMessage(const CStatusMessageRecord& record) = 0;
    virtual void StartStatusFile(const CShellCommand& command) = 0;
};

class CNotificationStarter : public INotificationStarter {
public:
    void StartSound(const CSoundThread& sound) override;
    // Queued to the main thread's event loop so the report returns at once.
    void StartStatusMessage(const CStatusMessageRecord& record) override;
    void StartStatusFile(const CShellCommand& command) override;
};
