#include "notify/NotificationStarter.h"

#include <QCoreApplication>
#include <QMetaObject>

CNotificationStarter::CNotificationStarter(std::function<void(const CStatusRecord&)> showMessage)
    : ShowMessage(std::move(showMessage)) {}

void CNotificationStarter::StartSound(const CSoundThread& sound) {
    StartSoundThread(sound);
}

void CNotificationStarter::StartStatusMessage(const CStatusRecord& record) {
    if (!ShowMessage)
        return;
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [show = ShowMessage, record] { show(record); }, Qt::QueuedConnection);
}

void CNotificationStarter::StartStatusFile(const CShellCommand& command) {
    RunStatusFile(command);
}
