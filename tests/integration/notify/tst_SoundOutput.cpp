#include "notify/BoxStatusHandler.h"
#include "platform/AudioOutput.h"
#include "platform/SpeechEngine.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/PulseServer.h"

#include "support/NotifyTestNames.h"
#include "support/ThreadLimit.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <thread>

// Sounds and speech through a real PulseAudio server with a null sink, recorded from its monitor.
class TestSoundOutput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void notificationPlaysFile_data();
    void notificationPlaysFile();
    void volume_data();
    void volume();
    void volumeChangeReachesPlayingSound();
    void newSoundTakesOver();
    void speaksText();
    void textsOverlap();
    void missingVoiceDataEndsOnlyTheSpeech();
    void noServerFailsQuickly_data();
    void noServerFailsQuickly();
    void threadLimitEndsSoundsQuietly_data();
    void threadLimitEndsSoundsQuietly();

private:
    // parecord loses up to a second at its end when it is stopped: every recording goes on
    // well past the sound.
    static constexpr int TailMilliseconds = 2500;
    // Records while play() runs, then for `after` milliseconds more.
    CAudioStats Record(const std::function<void()>& play, int after);
    // A monitor changing status with its sound on, through the handler and the real starter; a
    // custom file is the monitor's own for every status, or the error file with errorDefaultSound.
    void Notify(MonitorStatus from, MonitorStatus to, int method, const QString& custom,
                int errorDefaultSound);
    // A Ping monitor entering Down with the built-in sound.
    void NotifyDown();
    // The recording holds the built-in sound file name, whole and once, and nothing else.
    void HeardOnce(const CAudioStats& stats, const QString& name);

    CPulseServer Server;
    QTemporaryDir Dir;
    QString ProgramFolder;
    int Recordings = 0;
};

void TestSoundOutput::initTestCase() {
    InstallPlatform(LinuxPlatform());
    ProgramFolder = qEnvironmentVariable("PYLARIX_BIN_DIR");
    QVERIFY2(QFile::exists(ProgramFolder + "/Sound/Down.wav"), "the built-in sounds are not built");
    QVERIFY2(Server.Start(), qPrintable(Server.Error));
}

void TestSoundOutput::cleanup() {
    SystemAudioOutput().SetProcessVolume(65535, false);
    // Let a sound of the last test end before the next one records.
    QThread::msleep(300);
}

CAudioStats TestSoundOutput::Record(const std::function<void()>& play, int after) {
    const QString path = Dir.path() + QString("/rec%1.wav").arg(++Recordings);
    if (!Server.StartRecording(path))
        return {};
    play();
    QThread::msleep(static_cast<unsigned long>(after));
    Server.StopRecording();
    return AnalyseRecording(path);
}

void TestSoundOutput::Notify(MonitorStatus from, MonitorStatus to, int method, const QString& custom,
                             int errorDefaultSound) {
    CMonitorTable table;
    CGlobalSettings settings;
    settings.ErrorSound = 1;
    settings.ErrorDefaultSound = errorDefaultSound;
    settings.PlayErrorDefSoundPath = custom;
    const CDataPaths paths = MakeDataPaths(Dir.path() + "/data", ProgramFolder);
    CNotificationStarter starter;
    CBoxStatusHandler handler(table, settings, paths, starter);
    table.Slots[0] = std::make_unique<CMonitorBox>(nullptr, 0);
    table.NumBox = 1;
    CMonitorBox& box = *table.Slots[0];
    box.IPAdress = "10.0.0.1";
    box.VerifyMetod = method;
    box.Status = from;
    box.Sound = 7;
    if (!custom.isEmpty() && errorDefaultSound == 0) {
        box.CustomSoundCheck = 31;
        box.UpPath = box.DownPath = box.OpenPath = box.ClosePath = box.TcpDownPath = custom;
    }
    handler.OnBoxStatus(MakeBoxStatusWParam(to, 0), -1);
}

void TestSoundOutput::NotifyDown() {
    Notify(MonitorStatus::Up, MonitorStatus::Down, MethodPing, {}, 0);
}

void TestSoundOutput::notificationPlaysFile_data() {
    QTest::addColumn<MonitorStatus>("from");
    QTest::addColumn<MonitorStatus>("to");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<int>("errorDefaultSound");
    QTest::addColumn<QString>("expected"); // empty: silence
    const QString up = "Up.wav", down = "Down.wav", error = "CompError.wav", custom = "VolumeTest.wav";
    const MonitorStatus Up = MonitorStatus::Up, Down = MonitorStatus::Down, Close = MonitorStatus::Close;
    QTest::newRow("ping down built-in") << Up << Down << 1 << "" << 0 << down;
    QTest::newRow("ping up built-in") << Down << Up << 1 << "" << 0 << up;
    QTest::newRow("tcp open built-in") << Close << Up << 2 << "" << 0 << up;
    QTest::newRow("tcp close built-in") << Up << Close << 2 << "" << 0 << down;
    QTest::newRow("ping down custom") << Up << Down << 1 << "@" + custom << 0 << custom;
    QTest::newRow("error built-in") << Up << MonitorStatus::NETERROR << 1 << "@" + custom << 0 << error;
    QTest::newRow("error default file") << Up << MonitorStatus::IPERROR << 1 << "@" + custom << 1 << custom;
    QTest::newRow("damaged custom file") << Up << Down << 1 << "damaged.wav" << 0 << "";
    QTest::newRow("missing custom file") << Up << Down << 1 << "missing.wav" << 0 << "";
}

void TestSoundOutput::notificationPlaysFile() {
    QFETCH(MonitorStatus, from);
    QFETCH(MonitorStatus, to);
    QFETCH(int, method);
    QFETCH(QString, custom);
    QFETCH(int, errorDefaultSound);
    QFETCH(QString, expected);
    const QString sounds = ProgramFolder + "/Sound/";
    if (custom.startsWith('@'))
        custom = sounds + custom.mid(1);
    else if (!custom.isEmpty())
        custom = Dir.path() + "/" + custom;
    QFile damaged(Dir.path() + "/damaged.wav");
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("RIFF\x10\0\0\0WAVEfmt garbage", 24) + QByteArray(4000, '\x7f'));
    damaged.close();

    const CAudioStats stats =
        Record([&] { Notify(from, to, method, custom, errorDefaultSound); }, TailMilliseconds);
    QVERIFY(stats.Read);
    if (expected.isEmpty()) {
        QVERIFY2(stats.Peak < 0.001, qPrintable(QString("peak %1").arg(stats.Peak)));
        return;
    }
    QVERIFY2(stats.Peak > 0.4, qPrintable(QString("peak %1").arg(stats.Peak)));
    HeardOnce(stats, expected);
}

void TestSoundOutput::HeardOnce(const CAudioStats& stats, const QString& name) {
    const CAudioStats file = AnalyseRecording(ProgramFolder + "/Sound/" + name);
    QVERIFY(file.ActiveSeconds > 0.2);
    // Each file has its own sounding time and pitch: together they tell which file played, and
    // that it played whole and once.
    QVERIFY2(std::fabs(stats.ActiveSeconds - file.ActiveSeconds) < 0.05,
             qPrintable(QString("heard %1 s, %2 sounds for %3 s")
                            .arg(stats.ActiveSeconds)
                            .arg(name)
                            .arg(file.ActiveSeconds)));
    QVERIFY2(std::fabs(double(stats.SignChanges) / file.SignChanges - 1) < 0.05,
             qPrintable(QString("heard %1 sign changes, %2 has %3")
                            .arg(stats.SignChanges)
                            .arg(name)
                            .arg(file.SignChanges)));
}

void TestSoundOutput::volume_data() {
    QTest::addColumn<int>("volume");
    QTest::addColumn<bool>("mute");
    QTest::addColumn<double>("ratio");
    QTest::newRow("full") << 65535 << false << 1.0;
    QTest::newRow("half") << 32768 << false << 0.5;
    QTest::newRow("quarter") << 16384 << false << 0.25;
    QTest::newRow("zero") << 0 << false << 0.0;
    QTest::newRow("muted") << 65535 << true << 0.0;
    QTest::newRow("muted at half") << 32768 << true << 0.0;
}

void TestSoundOutput::volume() {
    QFETCH(int, volume);
    QFETCH(bool, mute);
    QFETCH(double, ratio);
    // Full level first, in the same run, as the reference.
    const CAudioStats full = Record([this] { NotifyDown(); }, TailMilliseconds);
    QVERIFY(full.Peak > 0.4);
    QThread::msleep(300);
    SystemAudioOutput().SetProcessVolume(static_cast<std::uint32_t>(volume), mute);
    const CAudioStats scaled = Record([this] { NotifyDown(); }, TailMilliseconds);
    QVERIFY(scaled.Read);
    if (ratio == 0) {
        QVERIFY2(scaled.Peak < 0.001, qPrintable(QString("peak %1").arg(scaled.Peak)));
    } else {
        const double measured = scaled.Peak / full.Peak;
        QVERIFY2(std::fabs(measured - ratio) < 0.05,
                 qPrintable(QString("level %1 of full, expected %2").arg(measured).arg(ratio)));
    }
}

void TestSoundOutput::volumeChangeReachesPlayingSound() {
    // The properties dialog may change the volume while a sound plays: the rest of it follows.
    const QString tone = ProgramFolder + "/Sound/VolumeTest.wav";
    QVERIFY(WavSeconds(tone) > 0.9);
    const CAudioStats stats = Record(
        [&] {
            QVERIFY(SystemAudioOutput().PlayWavFileAsync(tone));
            QThread::msleep(400);
            SystemAudioOutput().SetProcessVolume(32768, false);
        },
        TailMilliseconds);
    // The tone's end is counted from its last sound: a stall of the player moves it later.
    const double before = stats.PeakBetween(0.05, 0.3),
                 after = stats.PeakBetween(stats.SpanSeconds - 0.2, stats.SpanSeconds - 0.05);
    QVERIFY2(before > 0.4, qPrintable(QString("before %1").arg(before)));
    QVERIFY2(std::fabs(after / before - 0.5) < 0.05,
             qPrintable(QString("after %1 of %2").arg(after).arg(before)));
}

void TestSoundOutput::newSoundTakesOver() {
    const QString longTone = ProgramFolder + "/Sound/VolumeTest.wav";
    const QString shortTone = ProgramFolder + "/Sound/Up.wav";
    const double longLength = WavSeconds(longTone), shortLength = WavSeconds(shortTone);
    QVERIFY(longLength > shortLength + 0.4);
    const CAudioStats stats = Record(
        [&] {
            QVERIFY(SystemAudioOutput().PlayWavFileAsync(longTone));
            QThread::msleep(300);
            QVERIFY(SystemAudioOutput().PlayWavFileAsync(shortTone));
        },
        TailMilliseconds);
    // Heard: what played of the long tone in its first 0.3 s, then the short one alone. Played one
    // after the other they would last longer than both; mixed they would add up in level.
    QVERIFY2(stats.ActiveSeconds > shortLength - 0.05 && stats.ActiveSeconds < 0.3 + shortLength + 0.3,
             qPrintable(QString("heard %1 s").arg(stats.ActiveSeconds)));
    QVERIFY2(stats.Peak < 0.6, qPrintable(QString("peak %1").arg(stats.Peak)));
}

void TestSoundOutput::speaksText() {
    CSoundThread sound;
    sound.Speak = 1;
    sound.SpeechText = "%text is Down";
    sound.BoxText = "Router";
    // Speech wins over a file.
    sound.UseSoundPath = 1;
    sound.SoundPath = ProgramFolder + "/Sound/VolumeTest.wav";

    std::vector<std::int16_t> samples;
    int rate = 0;
    QVERIFY(SystemSpeechEngine().SynthesizeSpeech("Router is Down", samples, rate));
    const double spoken = double(samples.size()) / rate;
    QVERIFY(spoken > 0.5);

    double waited = 0;
    const CAudioStats stats = Record(
        [&] {
            QElapsedTimer t;
            t.start();
            sound.InitInstance();
            waited = t.elapsed() / 1000.0;
        },
        TailMilliseconds);
    // The thread waits until the text has been spoken.
    QVERIFY2(waited > spoken - 0.1,
             qPrintable(QString("returned after %1 s of %2 s").arg(waited).arg(spoken)));
    QVERIFY2(stats.ActiveSeconds > 0.4, qPrintable(QString("heard %1 s").arg(stats.ActiveSeconds)));
    // Speech rises and falls; the test tone would hold one level in every window.
    const CAudioStats tone = AnalyseRecording(sound.SoundPath);
    const double steady = SteadyShare(stats, tone.Peak), toneSteady = SteadyShare(tone, tone.Peak);
    QVERIFY2(
        toneSteady > 0.9 && steady < 0.5,
        qPrintable(
            QString("%1 of the windows at the tone's level, %2 for the tone").arg(steady).arg(toneSteady)));
    QVERIFY(stats.Peak > 0.05);
}

void TestSoundOutput::textsOverlap() {
    const QString first = "The router in the basement is down", second = "The web server on the roof is open";
    QElapsedTimer t;
    t.start();
    QVERIFY(SystemSpeechEngine().SpeakTextAndWait(first));
    QVERIFY(SystemSpeechEngine().SpeakTextAndWait(second));
    const qint64 oneAfterOther = t.elapsed();

    std::atomic<int> spoken{0};
    t.restart();
    std::thread a([&] { spoken += SystemSpeechEngine().SpeakTextAndWait(first); });
    std::thread b([&] { spoken += SystemSpeechEngine().SpeakTextAndWait(second); });
    a.join();
    b.join();
    const qint64 atOnce = t.elapsed();
    QCOMPARE(spoken.load(), 2);
    QVERIFY2(atOnce < oneAfterOther * 0.75,
             qPrintable(QString("at once %1 ms, one after the other %2 ms").arg(atOnce).arg(oneAfterOther)));
}

void TestSoundOutput::missingVoiceDataEndsOnlyTheSpeech() {
    // The speech engine reads its data once per process: a process of its own, whose voice data
    // folder is empty, speaks a Down notification and then plays the built-in Up sound.
    QTemporaryDir noVoices;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ESPEAK_DATA_PATH", noVoices.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    const CAudioStats stats = Record(
        [&] {
            child.start(ProgramFolder + "/sound_child", {"speech-then-sound", ProgramFolder});
            QVERIFY(child.waitForStarted(5000));
            QVERIFY(child.waitForFinished(20000));
        },
        TailMilliseconds);
    const QString output = QString::fromLocal8Bit(child.readAll());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == 0,
             qPrintable(QString("exit code %1: %2").arg(child.exitCode()).arg(output)));
    QVERIFY(stats.Read);
    // Nothing spoken, and the Up sound after it as usual.
    HeardOnce(stats, "Up.wav");
}

void TestSoundOutput::noServerFailsQuickly_data() {
    QTest::addColumn<bool>("speak");
    QTest::addColumn<int>("useSoundPath");
    QTest::newRow("built-in sound") << false << 0;
    QTest::newRow("custom sound") << false << 1;
    QTest::newRow("speech") << true << 0;
}

void TestSoundOutput::noServerFailsQuickly() {
    QFETCH(bool, speak);
    QFETCH(int, useSoundPath);
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", ("unix:" + Dir.path() + "/no-such-server").toUtf8());
    CSoundThread sound;
    sound.Status = 1;
    sound.ProgramFolder = ProgramFolder;
    sound.UseSoundPath = useSoundPath;
    sound.SoundPath = ProgramFolder + "/Sound/Up.wav";
    sound.Speak = speak;
    sound.SpeechText = "%text is Down";
    sound.BoxText = "Router";
    auto done = std::make_shared<std::atomic<bool>>(false);
    QElapsedTimer t;
    t.start();
    StartSoundThread(sound, [done] { *done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done->load(), 1000);
    qputenv("PULSE_SERVER", saved);
    QVERIFY(t.elapsed() < 1000);
    QCoreApplication::processEvents();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestSoundOutput::threadLimitEndsSoundsQuietly_data() {
    QTest::addColumn<QString>("start");
    QTest::newRow("sound thread") << "sound";
    QTest::newRow("speech thread") << "speech";
    QTest::newRow("wav stream thread") << "stream";
}

void TestSoundOutput::threadLimitEndsSoundsQuietly() {
    QFETCH(QString, start);
    const QString down = ProgramFolder + "/Sound/Down.wav";
    int exitCode = -1;
    if (start == "stream") {
        // The stream's thread is made once per process, by its first sound: a process of its own.
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(ProgramFolder + "/sound_child", {"stream-without-threads", down});
        QVERIFY(child.waitForStarted(5000));
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        exitCode = child.exitCode();
    } else {
        CSoundThread sound;
        sound.Status = 1;
        sound.ProgramFolder = ProgramFolder;
        sound.Speak = start == "speech";
        sound.SpeechText = "%text is Down";
        sound.BoxText = "Router";
        exitCode = RunWithoutThreads([&sound] {
            StartSoundThread(sound);
            return 0;
        });
    }
    QCOMPARE(exitCode, 0);
}

QTEST_MAIN(TestSoundOutput)
#include "tst_SoundOutput.moc"
