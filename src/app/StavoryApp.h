#pragma once

#include "app/SingleInstance.h"
#include "config/DataPaths.h"

#include <QObject>
#include <memory>

// The data paths for this process: the data folder from APPDATA, XDG_CONFIG_HOME or HOME, the
// program folder from where the executable lies.
CDataPaths DataPathsFromEnvironment(const QString& executableDir);

// The application object: makes sure only one instance runs per user, composes the data paths,
// creates the data folders and adds the shipped first-run files before the main window is built.
// The main window is run by the caller; the process ends through EndProcess() when the window's
// event loop has ended.
class CStavoryApp : public QObject {
    Q_OBJECT
public:
    CStavoryApp();
    ~CStavoryApp() override;

    // False when another instance is running: it has been asked to show itself and this process
    // ends at once. True when this process is the instance, with paths set and folders present.
    bool InitInstance();

    const CDataPaths& Paths() const { return DataPaths; }

    // Gives up the instance socket and ends the process without running static destructors or
    // waiting on any thread: monitor workers are detached and may still be inside a probe.
    [[noreturn]] void EndProcess(int exitCode);

signals:
    // A later start asked this instance to show its window (WM_SHOW_MAIN).
    void ShowMainRequested();

private:
    std::unique_ptr<CSingleInstance> Instance;
    CDataPaths DataPaths;
};
