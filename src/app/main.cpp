#include "app/SessionPlatform.h"
#include "app/StavoryApp.h"
#include "mainwnd/StavoryDlg.h"
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>

// The program takes no arguments and ends only through the Exit command of its tray menu.
int main(int argc, char** argv) {
    ChooseSessionPlatform();
    InstallPlatform(LinuxPlatform());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pylarix"));
    QApplication::setQuitOnLastWindowClosed(false);

    CStavoryApp app;
    if (!app.InitInstance())
        return 0;

    auto* mainWindow = new CStavoryDlg(app.Paths());
    QObject::connect(&app, &CStavoryApp::ShowMainRequested, mainWindow, &CStavoryDlg::OnShowMain);
    mainWindow->Initialise();
    const int exitCode = QApplication::exec();
    // Removes the tray icon, stops every worker for good (without waiting on it) and destroys
    // the records.
    delete mainWindow;
    app.EndProcess(exitCode);
}
