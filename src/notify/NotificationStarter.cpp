#include "notify/NotificationStarter.h"

#include <QCoreApplication>
#include <QMetaObject>

void CNotificationStarter::StartSound(const CSoundThread& sound) {
    StartSoundThread(sound);
}

void CNotificationStarter::StartStatusMessage(const CStatusMessageRecord& record) {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [record] { ShowStatusMessage(record); }, Qt::QueuedConnection);
}

void CNotificationStarter::StartStatusFile(const CShellCommand& command) {
    RunStatusFile(command);
}
