// Sound work that needs a process of its own, started by the sound tests.
//   speech-then-sound FOLDER: a monitor goes Down with a spoken notification, then Up with the
//     built-in sound of the program folder FOLDER, through the real status handling; exits 0 once
//     that sound has had time to play.
//   stream-without-threads WAV: plays WAV while no thread can be made, which must fail quietly,
//     and again once threads can be made, which must start the stream; exits 0 when both hold.
#include "notify/BoxStatusHandler.h"
#include "notify/NotificationStarter.h"
#include "platform/AudioOutput.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/ThreadLimit.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

namespace {

int SpeechThenSound(const QString& programFolder) {
    QTemporaryDir dir;
    CMonitorTable table;
    CGlobalSettings settings;
    const CDataPaths paths = MakeDataPaths(dir.path() + "/data", programFolder);
    CNotificationStarter starter;
    CBoxStatusHandler handler(table, settings, paths, starter);
    table.Slots[0] = std::make_unique<CMonitorBox>(nullptr, 0);
    table.NumBox = 1;
    CMonitorBox& box = *table.Slots[0];
    box.IPAdress = "10.0.0.1";
    box.Text = "Router";
    box.VerifyMetod = MethodPing;
    box.Status = MonitorStatus::Up;
    box.Sound = 3;
    box.SpeechTextCheck = 2;
    box.DownTextString = "%text is Down";

    handler.OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::Down, 0), -1);
    QThread::msleep(1500);
    handler.OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::Up, 0), 3);
    QThread::msleep(2500);
    return 0;
}

int StreamWithoutThreads(const QString& wav) {
    if (const int limited = LimitThreadsOfThisProcess(::getpwnam("nobody")); limited != 0)
        return limited;
    if (SystemAudioOutput().PlayWavFileAsync(wav))
        return 3;
    if (!LiftThreadLimit() || !SystemAudioOutput().PlayWavFileAsync(wav))
        return 4;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    InstallPlatform(LinuxPlatform());
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "speech-then-sound")
        return SpeechThenSound(args[2]);
    if (args.size() == 3 && args[1] == "stream-without-threads")
        return StreamWithoutThreads(args[2]);
    return 2;
}
