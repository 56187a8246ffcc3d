#include "notify/BoxStatusHandler.h"
#include "support/NotifyTestNames.h"

#include <QTest>

// The three decision tables, written out as the program's notification rules state them, and
// checked over every old/new pair and every flag combination.
namespace {

bool SoundRule(MonitorStatus status, int sound, int errorSound) {
    switch (status) {
    case MonitorStatus::Close:
        return sound & 4;
    case MonitorStatus::Down:
        return sound & 2;
    case MonitorStatus::Up:
        return sound & 1;
    case MonitorStatus::IPERROR:
    case MonitorStatus::NETERROR:
        return errorSound != 0;
    default:
        return false;
    }
}

bool MessageRule(MonitorStatus status, int msgBox, int errorMsgBox) {
    switch (status) {
    case MonitorStatus::Up:
        return msgBox & 1;
    case MonitorStatus::Down:
        return msgBox & 2;
    case MonitorStatus::Close:
        return msgBox & 4;
    case MonitorStatus::IPERROR:
    case MonitorStatus::NETERROR:
        return errorMsgBox != 0;
    default:
        return false;
    }
}

bool FileRule(MonitorStatus status, int check) {
    switch (status) {
    case MonitorStatus::Close:
        return check & 4;
    case MonitorStatus::Down:
        return check & 2;
    case MonitorStatus::Up:
        return check & 1;
    case MonitorStatus::IPERROR:
        return check & 8;
    case MonitorStatus::NETERROR:
        return check & 16;
    default:
        return false;
    }
}

} // namespace

class TestNotifyDecisions : public QObject {
    Q_OBJECT
private slots:
    void soundTable_data();
    void soundTable();
    void messageTable_data();
    void messageTable();
    void fileTable_data();
    void fileTable();
    void repaintRule_data();
    void repaintRule();
    void soundFill_data();
    void soundFill();
    void literalRows_data();
    void literalRows();
};

void TestNotifyDecisions::soundTable_data() {
    QTest::addColumn<MonitorStatus>("oldStatus");
    QTest::addColumn<MonitorStatus>("newStatus");
    QTest::addColumn<int>("sound");
    QTest::addColumn<int>("errorSound");
    QTest::addColumn<bool>("expected");
    for (MonitorStatus o : AllStatuses)
        for (MonitorStatus n : AllStatuses)
            for (int sound = 0; sound < 16; ++sound)
                for (int errorSound : {0, 1, 7}) {
                    const bool expected = o != n && SoundRule(n, sound, errorSound);
                    QTest::addRow("%s->%s Sound=%d ErrorSound=%d", ShortName(o), ShortName(n), sound,
                                  errorSound)
                        << o << n << sound << errorSound << expected;
                }
}

void TestNotifyDecisions::soundTable() {
    QFETCH(MonitorStatus, oldStatus);
    QFETCH(MonitorStatus, newStatus);
    QFETCH(int, sound);
    QFETCH(int, errorSound);
    QFETCH(bool, expected);
    QCOMPARE(SoundWanted(oldStatus, newStatus, static_cast<std::uint8_t>(sound), errorSound), expected);
}

void TestNotifyDecisions::messageTable_data() {
    QTest::addColumn<MonitorStatus>("oldStatus");
    QTest::addColumn<MonitorStatus>("newStatus");
    QTest::addColumn<int>("msgBox");
    QTest::addColumn<int>("errorMsgBox");
    QTest::addColumn<bool>("expected");
    for (MonitorStatus o : AllStatuses)
        for (MonitorStatus n : AllStatuses)
            for (int msgBox = 0; msgBox < 16; ++msgBox)
                for (int errorMsgBox : {0, 1}) {
                    const bool expected = o != n && MessageRule(n, msgBox, errorMsgBox);
                    QTest::addRow("%s->%s MsgBox=%d ErrorMsgBox=%d", ShortName(o), ShortName(n), msgBox,
                                  errorMsgBox)
                        << o << n << msgBox << errorMsgBox << expected;
                }
}

void TestNotifyDecisions::messageTable() {
    QFETCH(MonitorStatus, oldStatus);
    QFETCH(MonitorStatus, newStatus);
    QFETCH(int, msgBox);
    QFETCH(int, errorMsgBox);
    QFETCH(bool, expected);
    QCOMPARE(MessageBoxWanted(oldStatus, newStatus, msgBox, errorMsgBox), expected);
}

void TestNotifyDecisions::fileTable_data() {
    QTest::addColumn<MonitorStatus>("oldStatus");
    QTest::addColumn<MonitorStatus>("newStatus");
    QTest::addColumn<int>("check");
    QTest::addColumn<bool>("expected");
    for (MonitorStatus o : AllStatuses)
        for (MonitorStatus n : AllStatuses)
            for (int check = 0; check < 64; ++check) {
                const bool expected = o != n && FileRule(n, check);
                QTest::addRow("%s->%s ExecFileStatusCheck=%d", ShortName(o), ShortName(n), check)
                    << o << n << check << expected;
            }
}

void TestNotifyDecisions::fileTable() {
    QFETCH(MonitorStatus, oldStatus);
    QFETCH(MonitorStatus, newStatus);
    QFETCH(int, check);
    QFETCH(bool, expected);
    QCOMPARE(StatusFileWanted(oldStatus, newStatus, check), expected);
}

void TestNotifyDecisions::repaintRule_data() {
    QTest::addColumn<MonitorStatus>("oldStatus");
    QTest::addColumn<MonitorStatus>("newStatus");
    QTest::addColumn<int>("oldReply");
    QTest::addColumn<int>("newReply");
    QTest::addColumn<bool>("showReplyTime");
    QTest::addColumn<bool>("expected");
    // A change of status always repaints, whatever the reply times.
    for (MonitorStatus o : AllStatuses)
        for (MonitorStatus n : AllStatuses)
            if (o != n)
                QTest::addRow("change %s->%s", ShortName(o), ShortName(n))
                    << o << n << 5 << 5 << false << true;
    // Same status: only a new reply time with ShowReplyTime, and only for Up/Open and Close.
    for (MonitorStatus s : AllStatuses) {
        const bool showsReply = s == MonitorStatus::Up || s == MonitorStatus::Close;
        QTest::addRow("same %s new reply shown", ShortName(s)) << s << s << 5 << 9 << true << showsReply;
        QTest::addRow("same %s new reply hidden", ShortName(s)) << s << s << 5 << 9 << false << false;
        QTest::addRow("same %s same reply shown", ShortName(s)) << s << s << 5 << 5 << true << false;
        QTest::addRow("same %s reply to none", ShortName(s)) << s << s << 5 << -1 << true << showsReply;
    }
}

void TestNotifyDecisions::repaintRule() {
    QFETCH(MonitorStatus, oldStatus);
    QFETCH(MonitorStatus, newStatus);
    QFETCH(int, oldReply);
    QFETCH(int, newReply);
    QFETCH(bool, showReplyTime);
    QFETCH(bool, expected);
    QCOMPARE(RepaintWanted(oldStatus, newStatus, oldReply, newReply, showReplyTime), expected);
}

void TestNotifyDecisions::soundFill_data() {
    QTest::addColumn<MonitorStatus>("newStatus");
    QTest::addColumn<int>("verifyMetod");
    QTest::addColumn<int>("customSoundCheck");
    QTest::addColumn<int>("speechTextCheck");
    QTest::addColumn<int>("errorDefaultSound");
    QTest::addColumn<int>("errorTextSpeechSound");
    QTest::addColumn<QString>("soundPath");
    QTest::addColumn<int>("useSoundPath");
    QTest::addColumn<int>("speak");
    QTest::addColumn<QString>("speechText");
    QTest::addColumn<QString>("boxText");

    const MonitorStatus up = MonitorStatus::Up, down = MonitorStatus::Down, close = MonitorStatus::Close;
    // Custom file wins over speech; each case owns one bit of both masks.
    QTest::newRow("ping up custom") << up << 1 << 1 << 1 << 0 << 0 << "up.wav" << 1 << 0 << ""
                                    << "";
    QTest::newRow("ping up speech") << up << 1 << 0 << 1 << 0 << 0 << "" << 0 << 1 << "up %text"
                                    << "Router";
    QTest::newRow("ping up built-in") << up << 1 << 0 << 0 << 0 << 0 << "" << 0 << 0 << ""
                                      << "";
    QTest::newRow("ping up other bits") << up << 1 << 30 << 30 << 0 << 0 << "" << 0 << 0 << ""
                                        << "";
    QTest::newRow("ping down custom") << down << 1 << 2 << 0 << 0 << 0 << "down.wav" << 1 << 0 << ""
                                      << "";
    QTest::newRow("ping down speech") << down << 1 << 0 << 2 << 0 << 0 << "" << 0 << 1 << "down %text"
                                      << "Router";
    QTest::newRow("ping down ignores tcp bit") << down << 1 << 16 << 16 << 0 << 0 << "" << 0 << 0 << ""
                                               << "";
    QTest::newRow("tcp open custom") << up << 2 << 4 << 0 << 0 << 0 << "open.wav" << 1 << 0 << ""
                                     << "";
    QTest::newRow("tcp open speech") << up << 2 << 0 << 4 << 0 << 0 << "" << 0 << 1 << "open %text"
                                     << "Router";
    QTest::newRow("tcp open ignores ping bit") << up << 2 << 1 << 1 << 0 << 0 << "" << 0 << 0 << ""
                                               << "";
    QTest::newRow("tcp down custom") << down << 2 << 16 << 0 << 0 << 0 << "tdown.wav" << 1 << 0 << ""
                                     << "";
    QTest::newRow("tcp down speech") << down << 2 << 0 << 16 << 0 << 0 << "" << 0 << 1 << "tdown %text"
                                     << "Router";
    QTest::newRow("tcp down ignores ping bit") << down << 2 << 2 << 2 << 0 << 0 << "" << 0 << 0 << ""
                                               << "";
    QTest::newRow("close custom") << close << 2 << 8 << 8 << 0 << 0 << "close.wav" << 1 << 0 << ""
                                  << "";
    QTest::newRow("close speech") << close << 2 << 0 << 8 << 0 << 0 << "" << 0 << 1 << "close %text"
                                  << "Router";
    QTest::newRow("close built-in") << close << 2 << 4 << 4 << 0 << 0 << "" << 0 << 0 << ""
                                    << "";
    // Errors take the global settings and ignore the monitor's masks.
    for (MonitorStatus e : {MonitorStatus::IPERROR, MonitorStatus::NETERROR}) {
        QTest::addRow("%s built-in", ShortName(e))
            << e << 1 << 31 << 31 << 0 << 0 << "err.wav" << 0 << 0 << "err %text"
            << "Router";
        QTest::addRow("%s default file", ShortName(e))
            << e << 2 << 0 << 0 << 1 << 0 << "err.wav" << 1 << 0 << "err %text"
            << "Router";
        QTest::addRow("%s speech", ShortName(e))
            << e << 1 << 0 << 0 << 1 << 1 << "err.wav" << 1 << 1 << "err %text"
            << "Router";
    }
}

void TestNotifyDecisions::soundFill() {
    QFETCH(MonitorStatus, newStatus);
    QFETCH(int, verifyMetod);
    QFETCH(int, customSoundCheck);
    QFETCH(int, speechTextCheck);
    QFETCH(int, errorDefaultSound);
    QFETCH(int, errorTextSpeechSound);
    QFETCH(QString, soundPath);
    QFETCH(int, useSoundPath);
    QFETCH(int, speak);
    QFETCH(QString, speechText);
    QFETCH(QString, boxText);

    CMonitorBox box(nullptr, 0);
    box.Text = "Router";
    box.VerifyMetod = verifyMetod;
    box.CustomSoundCheck = customSoundCheck;
    box.SpeechTextCheck = speechTextCheck;
    box.UpPath = "up.wav";
    box.DownPath = "down.wav";
    box.OpenPath = "open.wav";
    box.ClosePath = "close.wav";
    box.TcpDownPath = "tdown.wav";
    box.UpTextString = "up %text";
    box.DownTextString = "down %text";
    box.OpenTextString = "open %text";
    box.CloseTextString = "close %text";
    box.TDownTextString = "tdown %text";
    CGlobalSettings settings;
    settings.ErrorDefaultSound = errorDefaultSound;
    settings.PlayErrorDefSoundPath = "err.wav";
    settings.ErrorTextSpeechSound = errorTextSpeechSound;
    settings.ErrorTextSpeechText = "err %text";

    const CSoundThread sound = FillSoundThread(box, settings, newStatus, "/opt/p");
    QCOMPARE(sound.Status, static_cast<int>(newStatus));
    QCOMPARE(sound.SoundPath, soundPath);
    QCOMPARE(sound.UseSoundPath, useSoundPath);
    QCOMPARE(sound.Speak, speak);
    QCOMPARE(sound.SpeechText, speechText);
    QCOMPARE(sound.BoxText, boxText);
    QCOMPARE(sound.ProgramFolder, QString("/opt/p"));
}

void TestNotifyDecisions::literalRows_data() {
    // Rows copied from the decision tables one by one, not computed: old status, new status, the
    // flags, and whether sound, message box and file fire.
    QTest::addColumn<MonitorStatus>("oldStatus");
    QTest::addColumn<MonitorStatus>("newStatus");
    QTest::addColumn<int>("sound");
    QTest::addColumn<int>("errorSound");
    QTest::addColumn<int>("msgBox");
    QTest::addColumn<int>("errorMsgBox");
    QTest::addColumn<int>("execFileStatusCheck");
    QTest::addColumn<bool>("playsSound");
    QTest::addColumn<bool>("showsMessage");
    QTest::addColumn<bool>("runsFile");
    const MonitorStatus none = MonitorStatus::NoStatus, down = MonitorStatus::Down, up = MonitorStatus::Up,
                        close = MonitorStatus::Close, ipError = MonitorStatus::IPERROR,
                        netError = MonitorStatus::NETERROR, checking = MonitorStatus::CHECKING;
    // clang-format off
    //                                          old       new       Snd ESnd Msg EMsg Exec  sound  msg    file
    QTest::newRow("enter Close, bit 4 each")   << up       << close    << 4 << 0 << 4 << 0 << 4  << true  << true  << true;
    QTest::newRow("enter Close, other bits")   << up       << close    << 3 << 1 << 3 << 1 << 27 << false << false << false;
    QTest::newRow("enter Down, bit 2 each")    << up       << down     << 2 << 0 << 2 << 0 << 2  << true  << true  << true;
    QTest::newRow("enter Down, other bits")    << up       << down     << 5 << 1 << 5 << 1 << 29 << false << false << false;
    QTest::newRow("enter Down from Close")     << close    << down     << 2 << 0 << 2 << 0 << 2  << true  << true  << true;
    QTest::newRow("enter Up, bit 1 each")      << down     << up       << 1 << 0 << 1 << 0 << 1  << true  << true  << true;
    QTest::newRow("enter Up, other bits")      << down     << up       << 6 << 1 << 6 << 1 << 30 << false << false << false;
    QTest::newRow("enter Open from Close")     << close    << up       << 1 << 0 << 1 << 0 << 1  << true  << true  << true;
    QTest::newRow("enter Up from no status")   << none     << up       << 1 << 0 << 1 << 0 << 1  << true  << true  << true;
    QTest::newRow("enter Up from CHECKING")    << checking << up       << 1 << 0 << 0 << 0 << 0  << true  << false << false;
    QTest::newRow("enter IP ERROR, globals")   << up       << ipError  << 0 << 1 << 0 << 1 << 8  << true  << true  << true;
    QTest::newRow("enter IP ERROR, bit 16")    << up       << ipError  << 7 << 0 << 7 << 0 << 16 << false << false << false;
    QTest::newRow("enter NET ERROR, globals")  << up       << netError << 0 << 1 << 0 << 1 << 16 << true  << true  << true;
    QTest::newRow("enter NET ERROR, bit 8")    << down     << netError << 7 << 0 << 7 << 0 << 8  << false << false << false;
    QTest::newRow("NET ERROR to IP ERROR")     << netError << ipError  << 0 << 1 << 0 << 1 << 8  << true  << true  << true;
    QTest::newRow("IP ERROR to NET ERROR")     << ipError  << netError << 0 << 1 << 0 << 1 << 16 << true  << true  << true;
    QTest::newRow("mixed bits on Up")          << down     << up       << 1 << 0 << 2 << 0 << 4  << true  << false << false;
    QTest::newRow("mixed bits on Close")       << up       << close    << 2 << 0 << 4 << 0 << 1  << false << true  << false;
    QTest::newRow("CHECKING, every flag")      << up       << checking << 7 << 1 << 7 << 1 << 31 << false << false << false;
    QTest::newRow("same Down, every flag")     << down     << down     << 7 << 1 << 7 << 1 << 31 << false << false << false;
    QTest::newRow("same IP ERROR, every flag") << ipError  << ipError  << 7 << 1 << 7 << 1 << 31 << false << false << false;
    // clang-format on
}

void TestNotifyDecisions::literalRows() {
    QFETCH(MonitorStatus, oldStatus);
    QFETCH(MonitorStatus, newStatus);
    QFETCH(int, sound);
    QFETCH(int, errorSound);
    QFETCH(int, msgBox);
    QFETCH(int, errorMsgBox);
    QFETCH(int, execFileStatusCheck);
    QFETCH(bool, playsSound);
    QFETCH(bool, showsMessage);
    QFETCH(bool, runsFile);
    QCOMPARE(SoundWanted(oldStatus, newStatus, static_cast<std::uint8_t>(sound), errorSound), playsSound);
    QCOMPARE(MessageBoxWanted(oldStatus, newStatus, msgBox, errorMsgBox), showsMessage);
    QCOMPARE(StatusFileWanted(oldStatus, newStatus, execFileStatusCheck), runsFile);
}

QTEST_APPLESS_MAIN(TestNotifyDecisions)
#include "tst_NotifyDecisions.moc"
