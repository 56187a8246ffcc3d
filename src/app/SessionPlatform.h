#pragma once

#include <QString>

// The Qt platform to ask for before the application object exists: "xcb" in a Wayland session
// that offers an X11 display (XWayland) when the user named no platform, since a Wayland client
// can neither place nor stack its own window and the strip must do both; else empty, which keeps
// the user's or Qt's own choice.
QString PlatformForSession(const QString& qtQpaPlatform, const QString& waylandDisplay,
                           const QString& xdgSessionType, const QString& display);

// Sets QT_QPA_PLATFORM from the process environment as PlatformForSession decides.
void ChooseSessionPlatform();
