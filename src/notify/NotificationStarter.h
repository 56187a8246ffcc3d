#pragma once

#include "notify/Placeholders.h"
#include "notify/SoundThread.h"
#include "notify/StatusMessage.h"

#include <functional>

// What the status handling starts. The real starter runs each on its own thread (the message box
// non-modal on the main thread); tests record the calls.
class INotificationStarter {
public:
    virtual ~INotificationStarter() = default;
    virtual void StartSound(const CSoundThread& sound) = 0;
    virtual void StartStatusMessage(const CStatusRecord& record) = 0;
    virtual void StartStatusFile(const CShellCommand& command) = 0;
};

class CNotificationStarter : public INotificationStarter {
public:
    // `showMessage` opens a status message; it runs on the main thread. Without it no message
    // is shown.
    explicit CNotificationStarter(std::function<void(const CStatusRecord&)> showMessage = {});

    void StartSound(const CSoundThread& sound) override;
    // Queued to the main thread's event loop so the report returns at once.
    void StartStatusMessage(const CStatusRecord& record) override;
    void StartStatusFile(const CShellCommand& command) override;

private:
    std::function<void(const CStatusRecord&)> ShowMessage;
};
