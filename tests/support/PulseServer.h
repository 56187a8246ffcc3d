#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <sndfile.h>
#include <sys/prctl.h>

#include <csignal>

#include <cmath>
#include <vector>

// A PulseAudio server of the test's own with one null sink, in a folder of its own; the test
// talks to it through PULSE_SERVER and records the sink's monitor with parecord.
class CPulseServer {
public:
    QString Error;

    ~CPulseServer() { Stop(); }

    CPulseServer() {
        // The helpers end with the test even when it dies.
        for (QProcess* p : {&Server, &Keeper, &Recorder})
            p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }

    QString Socket() const { return Dir.path() + "/native"; }

    bool Start() {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty() ||
            QStandardPaths::findExecutable("parecord").isEmpty()) {
            Error = "pulseaudio and parecord are needed (package pulseaudio, pulseaudio-utils)";
            return false;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* sub : {"rt", "state", "xdg"})
            QDir(Dir.path()).mkpath(sub);
        QFile::setPermissions(Dir.path() + "/xdg", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("HOME", Dir.path());
        env.insert("PULSE_RUNTIME_PATH", Dir.path() + "/rt");
        env.insert("PULSE_STATE_PATH", Dir.path() + "/state");
        env.insert("XDG_RUNTIME_DIR", Dir.path() + "/xdg");
        env.remove("PULSE_SERVER");
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        Server.setProcessEnvironment(env);
        Server.setProcessChannelMode(QProcess::MergedChannels);
        Server.setStandardOutputFile(Dir.path() + "/server.log");
        Server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
                                    "--disallow-exit", "--use-pid-file=no", "--log-target=stderr", "-L",
                                    "module-null-sink sink_name=pylarix_test", "-L",
                                    "module-native-protocol-unix socket=" + Socket() + " auth-anonymous=1"});
        if (!Server.waitForStarted(5000)) {
            Error = "pulseaudio did not start";
            return false;
        }
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            if (QFile::exists(Socket()) && Pactl({"info"}))
                break;
            QThread::msleep(50);
        }
        if (!Pactl({"info"})) {
            Error = "pulseaudio did not answer on " + Socket();
            return false;
        }
        qputenv("PULSE_SERVER", ("unix:" + Socket()).toUtf8());
        // An idle null sink renders in bursts of up to two seconds, which the recorder would lose
        // at its end; a low-latency stream of zeros keeps it running in real time.
        Keeper.setStandardInputFile("/dev/zero");
        Keeper.setStandardOutputFile(QProcess::nullDevice());
        Keeper.setStandardErrorFile(QProcess::nullDevice());
        Keeper.start("pacat", {"-s", "unix:" + Socket(), "--playback", "--raw", "--latency-msec=20"});
        if (!Keeper.waitForStarted(3000)) {
            Error = "pacat did not start";
            return false;
        }
        t.restart();
        while (t.elapsed() < 5000 && !PactlOutput({"list", "short", "sinks"}).contains("RUNNING"))
            QThread::msleep(20);
        // Let the sink settle on the keeper's latency before anything is recorded.
        QThread::msleep(500);
        return true;
    }

    void Stop() {
        StopRecording();
        End(Keeper);
        End(Server);
    }

    static void End(QProcess& process) {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }

    QString PactlOutput(const QStringList& args) const {
        QProcess p;
        p.start("pactl", QStringList{"-s", "unix:" + Socket()} + args);
        return p.waitForFinished(3000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

    bool Pactl(const QStringList& args) const {
        QProcess p;
        p.start("pactl", QStringList{"-s", "unix:" + Socket()} + args);
        return p.waitForFinished(3000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    // Starts recording the null sink into path; returns once the recorder is connected.
    bool StartRecording(const QString& path) {
        Recorder.start("parecord", {"-s", "unix:" + Socket(), "-d", "pylarix_test.monitor",
                                    "--file-format=wav", "--latency-msec=10", path});
        if (!Recorder.waitForStarted(3000))
            return false;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (!PactlOutput({"list", "short", "source-outputs"}).trimmed().isEmpty()) {
                QThread::msleep(100);
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    void StopRecording() { End(Recorder); }

private:
    QTemporaryDir Dir;
    QProcess Server;
    QProcess Keeper;
    QProcess Recorder;
};

// What a recording holds, in 10 ms windows. A loaded machine may stall a player long enough for the
// server to insert silence: the active time and the count of sign changes are blind to such gaps,
// the span is not.
struct CAudioStats {
    bool Read = false;
    double Seconds = 0;              // length of the recording
    double Peak = 0;                 // largest absolute sample, 0..1
    double ActiveSeconds = 0;        // time in windows that are not silent
    double SpanSeconds = 0;          // from the first to the end of the last non-silent window
    double FirstActive = -1;         // start of the first non-silent window
    long long SignChanges = 0;       // of the first channel, in the non-silent windows: pitch x time
    std::vector<double> WindowPeaks; // of every 10 ms window, from the first non-silent one on

    // Largest sample in [from, to) seconds counted from the first non-silent window.
    double PeakBetween(double from, double to) const {
        double peak = 0;
        for (std::size_t w = static_cast<std::size_t>(from * 100); w < WindowPeaks.size() && w < to * 100;
             ++w)
            peak = std::max(peak, WindowPeaks[w]);
        return peak;
    }
};

inline CAudioStats AnalyseRecording(const QString& path, double silence = 0.005) {
    CAudioStats stats;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return stats;
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t frames = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    stats.Read = true;
    stats.Seconds = double(frames) / info.samplerate;
    const sf_count_t window = info.samplerate / 100;
    double last = -1;
    for (sf_count_t w = 0; w * window < frames; ++w) {
        double windowPeak = 0;
        int windowChanges = 0;
        for (sf_count_t i = w * window; i < std::min(frames, (w + 1) * window); ++i) {
            for (int c = 0; c < info.channels; ++c)
                windowPeak =
                    std::max(windowPeak, double(std::fabs(samples[std::size_t(i * info.channels + c)])));
            if (i > 0 && (samples[std::size_t(i * info.channels)] < 0) !=
                             (samples[std::size_t((i - 1) * info.channels)] < 0))
                ++windowChanges;
        }
        stats.Peak = std::max(stats.Peak, windowPeak);
        if (stats.FirstActive >= 0 || windowPeak > silence)
            stats.WindowPeaks.push_back(windowPeak);
        if (windowPeak > silence) {
            const double at = double(w) / 100;
            if (stats.FirstActive < 0)
                stats.FirstActive = at;
            last = at + 0.01;
            stats.ActiveSeconds += 0.01;
            stats.SignChanges += windowChanges;
        }
    }
    if (stats.FirstActive >= 0)
        stats.SpanSeconds = last - stats.FirstActive;
    return stats;
}

// Share of the non-silent windows whose peak is within 10 % of level.
inline double SteadyShare(const CAudioStats& stats, double level, double silence = 0.005) {
    int active = 0, steady = 0;
    for (double peak : stats.WindowPeaks) {
        if (peak <= silence)
            continue;
        ++active;
        steady += std::fabs(peak - level) < level * 0.1;
    }
    return active ? double(steady) / active : 0;
}

// Length of a WAV file in seconds, -1 when it can't be read.
inline double WavSeconds(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return -1;
    sf_close(file);
    return double(info.frames) / info.samplerate;
}
