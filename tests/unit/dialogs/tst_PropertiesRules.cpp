#include "dialogs/PropertiesRules.h"

#include <QTest>

namespace {

// The check boxes and enables that the rules touch, in one line:
// "<fields> | <enabled controls>", fields as letters when set: E Enable, C Custom Sound,
// T Text Speak, R Show Reply Time, S Show Status, I Show Check Method and IP; enabled controls:
// cmd (application, "..." and parameters), path and browse (custom sound), speech (its text),
// S and I (the two lower box lines).
QString Describe(const CPropertiesFields& f, const CPropertiesEnables& e) {
    QString text;
    const std::pair<char, std::int32_t> fields[] = {
        {'E', f.DCOBEFE},       {'C', f.ErrorDefaultSound}, {'T', f.ErrorTextSpeechSound},
        {'R', f.ShowReplyTime}, {'S', f.ShowStatus},        {'I', f.ShowIPandMethod}};
    for (const auto& [letter, value] : fields)
        if (value)
            text += QLatin1Char(letter);
    text += QStringLiteral(" |");
    const std::pair<const char*, bool> enables[] = {
        {"cmd", e.DoubleClickCommand}, {"path", e.ErrorSoundPath}, {"browse", e.ErrorSoundBrowse},
        {"speech", e.ErrorSpeechText}, {"S", e.ShowStatus},        {"I", e.ShowIPandMethod}};
    for (const auto& [name, on] : enables)
        if (on)
            text += QLatin1Char(' ') + QLatin1String(name);
    return text;
}

CPropertiesFields FieldsOf(const QString& letters) {
    CPropertiesFields f;
    f.DCOBEFE = letters.contains('E');
    f.ErrorDefaultSound = letters.contains('C');
    f.ErrorTextSpeechSound = letters.contains('T');
    f.ShowReplyTime = letters.contains('R');
    f.ShowStatus = letters.contains('S');
    f.ShowIPandMethod = letters.contains('I');
    return f;
}

void Toggle(PropertiesCheck check, CPropertiesFields& f) {
    switch (check) {
    case PropertiesCheck::Enable:
        f.DCOBEFE = !f.DCOBEFE;
        break;
    case PropertiesCheck::CustomSound:
        f.ErrorDefaultSound = !f.ErrorDefaultSound;
        break;
    case PropertiesCheck::TextSpeak:
        f.ErrorTextSpeechSound = !f.ErrorTextSpeechSound;
        break;
    case PropertiesCheck::ShowReplyTime:
        f.ShowReplyTime = !f.ShowReplyTime;
        break;
    case PropertiesCheck::ShowStatus:
        f.ShowStatus = !f.ShowStatus;
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(PropertiesSpin)
Q_DECLARE_METATYPE(PropertiesCheck)
Q_DECLARE_METATYPE(PropertiesSoundTest)

class TestPropertiesRules : public QObject {
    Q_OBJECT
private slots:
    void spinClick_data() {
        QTest::addColumn<PropertiesSpin>("spin");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<bool>("up");
        QTest::addColumn<quint32>("expected");
        using S = PropertiesSpin;
        QTest::newRow("width 90 up") << S::XBox << 90u << true << 91u;
        QTest::newRow("width 90 down") << S::XBox << 90u << false << 89u;
        QTest::newRow("width 300 up stays") << S::XBox << 300u << true << 300u;
        QTest::newRow("width 60 down stays") << S::XBox << 60u << false << 60u;
        QTest::newRow("width hand-edited 500 up") << S::XBox << 500u << true << 300u;
        QTest::newRow("width hand-edited 500 down") << S::XBox << 500u << false << 300u;
        QTest::newRow("width hand-edited 0 down") << S::XBox << 0u << false << 60u;
        QTest::newRow("height 100 up stays") << S::YBox << 100u << true << 100u;
        QTest::newRow("height 80 up") << S::YBox << 80u << true << 81u;
        QTest::newRow("interval 20 up stays") << S::VerifyTime << 20u << true << 20u;
        QTest::newRow("interval 1 down stays") << S::VerifyTime << 1u << false << 1u;
        QTest::newRow("interval 3 up") << S::VerifyTime << 3u << true << 4u;
        QTest::newRow("time-out 3200 up") << S::TimeOut << 3200u << true << 3700u;
        QTest::newRow("time-out 4700 up capped") << S::TimeOut << 4700u << true << 5000u;
        QTest::newRow("time-out 5000 up stays") << S::TimeOut << 5000u << true << 5000u;
        QTest::newRow("time-out 1200 down capped") << S::TimeOut << 1200u << false << 1000u;
        QTest::newRow("time-out 3000 down") << S::TimeOut << 3000u << false << 2500u;
        QTest::newRow("time-out 32-bit top up, no wrap") << S::TimeOut << 4294967295u << true << 5000u;
    }
    void spinClick() {
        QFETCH(PropertiesSpin, spin);
        QFETCH(quint32, value);
        QFETCH(bool, up);
        QFETCH(quint32, expected);
        QCOMPARE(SpinClick(value, SpinRangeOf(spin), up), expected);
    }

    void timeOutClicksUpToTheTop() {
        std::uint32_t value = 3200;
        QList<std::uint32_t> seen;
        for (int i = 0; i < 5; ++i)
            seen << (value = SpinClick(value, SpinRangeOf(PropertiesSpin::TimeOut), true));
        QCOMPARE(seen, (QList<std::uint32_t>{3700, 4200, 4700, 5000, 5000}));
    }

    void opening_data() {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing set") << ""
                                     << " | S I";
        QTest::newRow("enable") << "E"
                                << "E | cmd S I";
        QTest::newRow("custom sound") << "C"
                                      << "C | path browse S I";
        QTest::newRow("text speak") << "T"
                                    << "T | speech S I";
        QTest::newRow("both error sounds keep only text speak") << "CT"
                                                                << "T | speech S I";
        QTest::newRow("reply time forces both lines") << "R"
                                                      << "RSI |";
        QTest::newRow("status forces the address line") << "S"
                                                        << "SI | S";
        QTest::newRow("address line alone") << "I"
                                            << "I | S I";
        QTest::newRow("everything") << "ECTRSI"
                                    << "ETRSI | cmd speech";
    }
    void opening() {
        QFETCH(QString, fields);
        QFETCH(QString, expected);
        CPropertiesFields f = FieldsOf(fields);
        // Enables from an earlier run must not leak into this one.
        CPropertiesEnables e{true, true, true, true, false, false};
        ApplyOpeningRules(f, e);
        QCOMPARE(Describe(f, e), expected);
    }

    void clicks_data() {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<PropertiesCheck>("check");
        QTest::addColumn<QString>("expected");
        using C = PropertiesCheck;
        QTest::newRow("enable set") << "" << C::Enable << "E | cmd S I";
        QTest::newRow("enable cleared") << "E" << C::Enable << " | S I";
        QTest::newRow("custom sound clears text speak") << "T" << C::CustomSound << "C | path browse S I";
        QTest::newRow("custom sound cleared") << "C" << C::CustomSound << " | S I";
        QTest::newRow("text speak clears custom sound") << "C" << C::TextSpeak << "T | speech S I";
        QTest::newRow("text speak cleared") << "T" << C::TextSpeak << " | S I";
        QTest::newRow("reply time set") << "" << C::ShowReplyTime << "RSI |";
        QTest::newRow("reply time cleared enables status only") << "R" << C::ShowReplyTime << "SI | S";
        QTest::newRow("status set") << "" << C::ShowStatus << "SI | S";
        QTest::newRow("status cleared frees the address line") << "S" << C::ShowStatus << "I | S I";
    }
    void clicks() {
        QFETCH(QString, opened);
        QFETCH(PropertiesCheck, check);
        QFETCH(QString, expected);
        CPropertiesFields f = FieldsOf(opened);
        CPropertiesEnables e;
        ApplyOpeningRules(f, e);
        Toggle(check, f);
        ApplyCheckClick(check, f, e);
        QCOMPARE(Describe(f, e), expected);
    }

    void defaultSetsAndKeeps() {
        CPropertiesFields f;
        f.XBox = 200;
        f.YBox = 99;
        f.VerifyTime = 17;
        f.TimeOut = 4500;
        f.Transparent = 170;
        f.ShowOnLineOffLineTime = 0;
        f.DCOBEFE = 1;
        f.DCOBEFPath = "/usr/bin/xterm";
        f.DCOBEFParameters = "-e ping %ip";
        f.HideTaskBarButton = 1;
        f.StartWithWindows = 0;
        f.ErrorMsgBox = f.ErrorSound = f.EnableLog = 1;
        f.ErrorDefaultSound = 1;
        f.ErrorTextSpeechSound = 0;
        f.ShowReplyTime = f.ShowStatus = f.ShowIPandMethod = 0;
        f.ErrorTextSpeechText = "gone";
        f.PlayErrorDefSoundPath = "/x.wav";
        f.Volume = 100;
        f.VolumeMute = 1;
        CPropertiesEnables e{true, true, true, true, true, true};
        ApplyDefault(f, e);
        QCOMPARE(f.VerifyTime, 3u);
        QCOMPARE(f.TimeOut, 3000u);
        QCOMPARE(f.XBox, 90u);
        QCOMPARE(f.YBox, 80u);
        QCOMPARE(f.Transparent, std::uint8_t{255});
        QCOMPARE(f.ShowOnLineOffLineTime, std::uint8_t{1});
        QCOMPARE(f.HideTaskBarButton, 0);
        QCOMPARE(f.StartWithWindows, 1);
        QCOMPARE(f.ErrorMsgBox, 0);
        QCOMPARE(f.ErrorSound, 0);
        QCOMPARE(f.EnableLog, 0);
        QCOMPARE(f.ErrorTextSpeechText, QString("%text Error"));
        QCOMPARE(f.PlayErrorDefSoundPath, QString());
        QCOMPARE(f.Volume, 65535u);
        QCOMPARE(f.VolumeMute, 0);
        QCOMPARE(Describe(f, e), QString("RSI |"));
        // The double-click command is cleared but keeps what it would run.
        QCOMPARE(f.DCOBEFPath, QString("/usr/bin/xterm"));
        QCOMPARE(f.DCOBEFParameters, QString("-e ping %ip"));
    }

    void testSounds_data() {
        QTest::addColumn<PropertiesSoundTest>("test");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("soundPath");
        QTest::addColumn<int>("useSoundPath");
        QTest::addColumn<int>("speak");
        QTest::addColumn<QString>("speechText");
        QTest::addColumn<QString>("boxText");
        using T = PropertiesSoundTest;
        QTest::newRow("custom sound file") << T::ErrorSoundFile << 5 << "/e.wav" << 1 << 0 << ""
                                           << "";
        QTest::newRow("spoken error text") << T::ErrorSpeech << 5 << "" << 0 << 1 << "%text broke"
                                           << "Box Text";
        // As an IP ERROR notification plays it: the text speak box decides, custom sound is clear.
        QTest::newRow("IP and NET ERROR sound")
            << T::ErrorNotification << 5 << "/e.wav" << 0 << 1 << "%text broke"
            << "Box Text";
        QTest::newRow("volume") << T::Volume << 100 << "" << 0 << 0 << ""
                                << "";
    }
    void testSounds() {
        QFETCH(PropertiesSoundTest, test);
        CPropertiesFields f;
        f.PlayErrorDefSoundPath = "/e.wav";
        f.ErrorTextSpeechText = "%text broke";
        f.ErrorDefaultSound = 0;
        f.ErrorTextSpeechSound = 1;
        f.ErrorSound = 0; // the test plays whatever this says
        const CSoundThread s = PropertiesTestSound(test, f, "/opt/pylarix");
        QTEST(s.Status, "status");
        QTEST(s.UseSoundPath, "useSoundPath");
        QTEST(s.Speak, "speak");
        QTEST(s.BoxText, "boxText");
        QFETCH(QString, soundPath);
        if (s.UseSoundPath == 1)
            QCOMPARE(s.SoundPath, soundPath);
        QFETCH(QString, speechText);
        if (s.Speak)
            QCOMPARE(s.SpeechText, speechText);
        QCOMPARE(s.ProgramFolder, QString("/opt/pylarix"));
    }

    void testSoundFilesPlayed() {
        // What each test sound ends up playing: the built-in volume sound, the chosen file.
        CPropertiesFields f;
        f.PlayErrorDefSoundPath = "/e.wav";
        f.ErrorDefaultSound = 1;
        QCOMPARE(PropertiesTestSound(PropertiesSoundTest::Volume, f, "/p").SoundFileName(),
                 QString("/p") + BuiltInSoundFile(VolumeTestSound));
        QCOMPARE(PropertiesTestSound(PropertiesSoundTest::ErrorSoundFile, f, "/p").SoundFileName(),
                 QString("/e.wav"));
        QCOMPARE(PropertiesTestSound(PropertiesSoundTest::ErrorNotification, f, "/p").SoundFileName(),
                 QString("/e.wav"));
    }

    void messageTestText() {
        const QDateTime at(QDate(2026, 3, 4), QTime(5, 6, 7));
        QCOMPARE(ErrorMessageTestText(at),
                 QString("Date=4/3/2026\nTime=5:6:7\nText=localhost\nIP=127.0.0.1\nStatus=IP ERROR."));
    }

    void copiesBothWays() {
        CGlobalSettings g;
        g.XBox = 120;
        g.YBox = 70;
        g.Transparent = 180;
        g.ShowReplyTime = false;
        g.ShowStatus = true;
        g.ShowIPandMethod = true;
        g.HideTaskBarButton = 1;
        g.DCOBEFPath = "/bin/true";
        g.ErrorTextSpeechText = "%text!";
        g.Volume = 1234;
        g.VolumeMute = 1;
        CPropertiesFields f;
        f.StartWithWindows = 1;
        CopySettingsToFields(g, 7, 2500, f);
        QCOMPARE(f.XBox, 120u);
        QCOMPARE(f.YBox, 70u);
        QCOMPARE(f.VerifyTime, 7u);
        QCOMPARE(f.TimeOut, 2500u);
        QCOMPARE(f.Transparent, std::uint8_t{180});
        QCOMPARE(f.ShowReplyTime, 0);
        QCOMPARE(f.ShowStatus, 1);
        QCOMPARE(f.HideTaskBarButton, 1);
        QCOMPARE(f.DCOBEFPath, QString("/bin/true"));
        QCOMPARE(f.Volume, 1234u);
        QCOMPARE(f.VolumeMute, 1);
        QCOMPARE(f.StartWithWindows, 1); // not the configuration's

        f.XBox = 61;
        f.ShowReplyTime = 1;
        f.HideTaskBarButton = 0;
        f.ErrorTextSpeechText = "new";
        CGlobalSettings back = g;
        back.PosX = 33;
        back.WinBeh = 2;
        CopyFieldsToSettings(f, back);
        QCOMPARE(back.XBox, 61);
        QCOMPARE(back.ShowReplyTime, true);
        QCOMPARE(back.ErrorTextSpeechText, QString("new"));
        // The taskbar button is the apply's own step; position and stacking are not the dialog's.
        QCOMPARE(back.HideTaskBarButton, 1);
        QCOMPARE(back.PosX, 33);
        QCOMPARE(back.WinBeh, 2);
    }
};

QTEST_GUILESS_MAIN(TestPropertiesRules)
#include "tst_PropertiesRules.moc"
