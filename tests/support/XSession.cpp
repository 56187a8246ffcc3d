#include "support/XSession.h"

#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {

void EndWithParent() {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

void Stop(std::unique_ptr<QProcess>& process) {
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
}

} // namespace

CXSession::~CXSession() {
    Stop(WindowManager);
    Stop(Xvfb);
}

bool CXSession::Start(bool withWindowManager, const QString& screen) {
    Xvfb = std::make_unique<QProcess>();
    Xvfb->setProgram(QStringLiteral("Xvfb"));
    Xvfb->setArguments({"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"});
    Xvfb->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Xvfb->setChildProcessModifier(EndWithParent);
    Xvfb->start();
    if (!Xvfb->waitForStarted(5000) || !Xvfb->waitForReadyRead(10000)) {
        std::fprintf(stderr, "Xvfb could not be started\n");
        return false;
    }
    DisplayName = QStringLiteral(":") + QString::fromLatin1(Xvfb->readLine()).trimmed();
    qputenv("DISPLAY", DisplayName.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (!withWindowManager)
        return true;

    WindowManager = std::make_unique<QProcess>();
    WindowManager->setChildProcessModifier(EndWithParent);
    WindowManager->start(QStringLiteral("icewm"), {});
    if (!WindowManager->waitForStarted(5000)) {
        std::fprintf(stderr, "IceWM could not be started\n");
        return false;
    }
    QThread::msleep(1500); // the window manager takes the screen and sets its work area
    return true;
}
