#include "app/SessionPlatform.h"

#include <QtGlobal>

QString PlatformForSession(const QString& qtQpaPlatform, const QString& waylandDisplay,
                           const QString& xdgSessionType, const QString& display) {
    // Qt itself treats an empty QT_QPA_PLATFORM as unset.
    if (!qtQpaPlatform.isEmpty())
        return {};
    const bool wayland = !waylandDisplay.isEmpty() ||
                         xdgSessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
    // Without an X11 display xcb cannot start at all; Qt's own choice then at least runs.
    if (!wayland || display.isEmpty())
        return {};
    return QStringLiteral("xcb");
}

void ChooseSessionPlatform() {
    const QString platform =
        PlatformForSession(qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("WAYLAND_DISPLAY"),
                           qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toUtf8());
}
