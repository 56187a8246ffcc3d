// Timings of the configuration file with 60 full monitors: SaveBoxes (one replace of the file),
// the same keys written one whole-file rewrite per key, and a full load.
#include "config/ConfigFile.h"
#include "config/GlobalKeys.h"
#include "monitor/MonitorKeys.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void FillMonitor(CMonitorBox& b, int n) {
    const QString t = QString::number(n);
    b.Text = "Server " + t;
    b.PicTypeOnLine = 1;
    b.PicTypeOffLine = 0;
    b.OnLinePicFile = "online_" + t + ".ico";
    b.OffLinePicFile = "offline_" + t + ".bmp";
    b.OnLineBoxColor = 16699845;
    b.OffLineBoxColor = 7960953;
    b.OnLineTextColor = 0;
    b.OffLineTextColor = 16777215;
    b.IPAdress = "192.0.2." + t;
    b.IPv = 0;
    b.Port = 8000 + n;
    b.VerifyMetod = 2;
    b.Sound = 7;
    b.Logging = 1;
    b.MsgBox = 3;
    b.UpPath = "/home/user/sounds/up_" + t + ".wav";
    b.DownPath = "/home/user/sounds/down_" + t + ".wav";
    b.OpenPath = "/home/user/sounds/open_" + t + ".wav";
    b.ClosePath = "/home/user/sounds/close_" + t + ".wav";
    b.TcpDownPath = "/home/user/sounds/tcpdown_" + t + ".wav";
    b.CustomSoundCheck = 31;
    b.UpTextString = "%text is Up";
    b.DownTextString = "%text is Down";
    b.OpenTextString = "%text is Open";
    b.CloseTextString = "%text is Close";
    b.TDownTextString = "%text is Down";
    b.SpeechTextCheck = 31;
    b.ExecFilePath = "/usr/local/bin/notify_" + t;
    b.ExecFileParam = "%ip %status %method %port %text";
    b.ExecFileStatusCheck = 31;
    b.ExecFileCheck = 1;
}

// The same writes as SaveBoxes, each one a whole-file rewrite.
void SaveBoxesKeyByKey(CIniFile& f, const CMonitorTable& table) {
    f.WriteInt(MainSection, NumBoxKey, table.NumBox);
    for (int i = 0; i < table.NumBox; ++i) {
        const CMonitorBox& b = *table.Slots[static_cast<size_t>(i)];
        const QString s = BoxSectionName(i);
        for (const CMonitorKey& key : MonitorKeys())
            WriteMonitorKey(f, s, key, b);
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const CDataPaths paths = MakeDataPaths(dir.filePath("Pylarix"), dir.path());
    CreateDataFolders(paths);

    CMonitorTable table;
    table.NumBox = MaxMonitors;
    for (int i = 0; i < MaxMonitors; ++i) {
        table.Slots[static_cast<size_t>(i)] = std::make_unique<CMonitorBox>(nullptr, i);
        FillMonitor(*table.Slots[static_cast<size_t>(i)], i);
    }
    CIniFile config(paths.ConfigPath);
    CIniFile mainIni(paths.MainIniPath);
    WriteFirstStart(config, mainIni);
    SaveBoxes(config, table);
    const QByteArray expected = [&] {
        QFile f(paths.ConfigPath);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    std::vector<double> batched;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        SaveBoxes(config, table);
        batched.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }

    QElapsedTimer naive;
    naive.start();
    SaveBoxesKeyByKey(config, table);
    const double naiveMs = static_cast<double>(naive.nsecsElapsed()) / 1e6;
    {
        QFile f(paths.ConfigPath);
        f.open(QIODevice::ReadOnly);
        if (f.readAll() != expected) {
            std::fprintf(stderr, "key-by-key writes left a different file\n");
            return 1;
        }
    }

    std::vector<double> loads;
    for (int run = 0; run < 5; ++run) {
        CIniFile loadConfig;
        CIniFile loadMainIni(paths.MainIniPath);
        CGlobalSettings settings;
        CMonitorTable loaded;
        QElapsedTimer t;
        t.start();
        LoadConfig(loadConfig, loadMainIni, paths, QRect(0, 0, 1920, 1080), nullptr, settings, loaded, {});
        loads.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (loaded.NumBox != MaxMonitors)
            return 1;
    }

    const double saveMs = Median(batched);
    std::printf("config.saveboxes60_ms %.3f ms\n", saveMs);
    std::printf("config.saveboxes60_naive_ms %.3f ms\n", naiveMs);
    std::printf("config.saveboxes60_ratio_vs_naive %.5f ratio\n", saveMs / naiveMs);
    std::printf("config.load60_ms %.3f ms\n", Median(loads));
    return 0;
}
