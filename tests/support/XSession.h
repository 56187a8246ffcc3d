#pragma once

#include <QProcess>
#include <QString>
#include <memory>

// A private X11 desktop for a test or benchmark: an Xvfb server on a free display and, when asked,
// the IceWM window manager (taskbar, tray, work area). Both end with the process that started
// them, also when it crashes. Start it before the application object, which then connects to it.
class CXSession {
public:
    CXSession() = default;
    ~CXSession();
    CXSession(const CXSession&) = delete;
    CXSession& operator=(const CXSession&) = delete;

    // Starts the server (and the window manager) and points DISPLAY and QT_QPA_PLATFORM at it.
    // False, with a message on stderr, when either could not be started.
    bool Start(bool withWindowManager, const QString& screen = QStringLiteral("1024x768x24"));
    const QString& Display() const { return DisplayName; }

private:
    std::unique_ptr<QProcess> Xvfb;
    std::unique_ptr<QProcess> WindowManager;
    QString DisplayName;
};
