#include "app/StavoryApp.h"
#include "config/FirstRunFiles.h"

#include <QCoreApplication>
#include <QDir>

#include "config/Autostart.h"
#include "platform/Files.h"
#include <cstdio>
#include <cstdlib>

CDataPaths DataPathsFromEnvironment(const QString& executableDir) {
    const QString dataFolder =
        DataFolderFromEnvironment(qEnvironmentVariable("APPDATA"), qEnvironmentVariable("XDG_CONFIG_HOME"),
                                  qEnvironmentVariable("HOME", QDir::homePath()));
    CDataPaths paths = MakeDataPaths(dataFolder, ProgramFolderFor(executableDir));
    paths.AutostartEntryPath = AutostartEntryPathIn(ConfigHomeFromEnvironment(
        qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME", QDir::homePath())));
    paths.ProgramFilePath = QCoreApplication::applicationFilePath();
    return paths;
}

CStavoryApp::CStavoryApp() = default;

CStavoryApp::~CStavoryApp() = default;

bool CStavoryApp::InitInstance() {
    const QString cache = CacheFolderFromEnvironment(qEnvironmentVariable("XDG_CACHE_HOME"),
                                                     qEnvironmentVariable("HOME", QDir::homePath()));
    Instance = std::make_unique<CSingleInstance>(
        SingleInstanceSocketPath(CurrentUserId(), qEnvironmentVariable("XDG_RUNTIME_DIR"), cache));
    if (!Instance->Claim())
        return false;
    connect(Instance.get(), &CSingleInstance::ShowMainRequested, this, &CStavoryApp::ShowMainRequested);

    DataPaths = DataPathsFromEnvironment(QCoreApplication::applicationDirPath());
    CreateDataFolders(DataPaths);
    CopyFirstRunFiles(DataPaths);
    return true;
}

void CStavoryApp::EndProcess(int exitCode) {
    Instance.reset();
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
