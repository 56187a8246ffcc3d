#include "support/RecordingAudioOutput.h"

#include "config/Autostart.h"
#include "dialogs/PropertiesDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(PropertiesSpin)

class TestPropertiesDlg : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Dir = std::make_unique<QTemporaryDir>();
        Audio = std::make_unique<RecordingAudioOutput>();
        Dlg = std::make_unique<CPropertiesDlg>();
        Dlg->AutostartEntryPath = AutostartEntryPathIn(Dir->filePath("config"));
        Dlg->ProgramFilePath = "/opt/Pylarix/pylarix";
        Dlg->StartSound = [this](const CSoundThread& s) { Sounds << s; };
        Dlg->ShowMessageText = [this](const QString& t) { Messages << t; };
        Dlg->OpacityChanged = [this](int alpha) { Opacities << alpha; };
        Sounds.clear();
        Messages.clear();
        Opacities.clear();
    }
    void cleanup() {
        Dlg.reset();
        Audio.reset();
        Dir.reset();
    }

    void spinsMoveByClicks_data() {
        QTest::addColumn<PropertiesSpin>("spin");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("key");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("width 90 up") << PropertiesSpin::XBox << 90u << int(Qt::Key_Up) << 91u;
        QTest::newRow("width 300 up stays") << PropertiesSpin::XBox << 300u << int(Qt::Key_Up) << 300u;
        QTest::newRow("height 60 down stays") << PropertiesSpin::YBox << 60u << int(Qt::Key_Down) << 60u;
        QTest::newRow("interval 3 down") << PropertiesSpin::VerifyTime << 3u << int(Qt::Key_Down) << 2u;
        QTest::newRow("time-out 3200 up") << PropertiesSpin::TimeOut << 3200u << int(Qt::Key_Up) << 3700u;
        QTest::newRow("time-out 4700 up capped")
            << PropertiesSpin::TimeOut << 4700u << int(Qt::Key_Up) << 5000u;
    }
    void spinsMoveByClicks() {
        QFETCH(PropertiesSpin, spin);
        QFETCH(quint32, value);
        QFETCH(int, key);
        QFETCH(quint32, expected);
        SetSpinField(spin, value);
        Dlg->Opening();
        Dlg->show();
        CNumberSpin* box = Dlg->Spin(spin);
        QCOMPARE(box->text(), QString::number(value));
        box->setFocus();
        QTest::keyClick(box, Qt::Key(key));
        QCOMPARE(box->text(), QString::number(expected));
        Dlg->ReadControls();
        QCOMPARE(SpinField(spin), expected);
    }

    void numberEditsTakeNoTyping() {
        Dlg->Fields.XBox = 90;
        Dlg->Opening();
        Dlg->show();
        CNumberSpin* box = Dlg->Spin(PropertiesSpin::XBox);
        box->setFocus();
        QTest::keyClicks(box, "5");
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString("90"));
    }

    void handEditedValueKeptUntilClicked() {
        Dlg->Fields.XBox = 500;
        Dlg->Opening();
        Dlg->ReadControls();
        QCOMPARE(Dlg->Fields.XBox, 500u);
        QCOMPARE(Dlg->Spin(PropertiesSpin::XBox)->text(), QString("500"));
        Dlg->Spin(PropertiesSpin::XBox)->stepBy(1);
        QCOMPARE(Dlg->Spin(PropertiesSpin::XBox)->text(), QString("300"));
    }

    void showReplyTimeStacksTheLines() {
        Dlg->Fields.ShowReplyTime = Dlg->Fields.ShowStatus = Dlg->Fields.ShowIPandMethod = 0;
        Dlg->Opening();
        Dlg->show();
        QVERIFY(Dlg->ShowStatusBox()->isEnabled());
        QVERIFY(Dlg->ShowIPandMethodBox()->isEnabled());
        Dlg->ShowReplyTimeBox()->click();
        QVERIFY(Dlg->ShowStatusBox()->isChecked());
        QVERIFY(Dlg->ShowIPandMethodBox()->isChecked());
        QVERIFY(!Dlg->ShowStatusBox()->isEnabled());
        QVERIFY(!Dlg->ShowIPandMethodBox()->isEnabled());
        Dlg->ShowReplyTimeBox()->click();
        QVERIFY(Dlg->ShowStatusBox()->isEnabled());
        QVERIFY(!Dlg->ShowIPandMethodBox()->isEnabled());
        Dlg->ShowStatusBox()->click();
        QVERIFY(!Dlg->ShowStatusBox()->isChecked());
        QVERIFY(Dlg->ShowIPandMethodBox()->isEnabled());
        QVERIFY(Dlg->ShowIPandMethodBox()->isChecked());
    }

    void errorSoundsExcludeEachOther() {
        Dlg->Fields.ErrorDefaultSound = 1;
        Dlg->Fields.ErrorTextSpeechSound = 1;
        Dlg->Fields.ErrorTextSpeechText = "%text down";
        Dlg->Opening();
        Dlg->show();
        QVERIFY(!Dlg->CustomSoundBox()->isChecked());
        QVERIFY(Dlg->TextSpeakBox()->isChecked());
        QVERIFY(!Dlg->SoundPathEdit()->isEnabled());
        QVERIFY(Dlg->SpeechTextEdit()->isEnabled());
        Dlg->CustomSoundBox()->click();
        QVERIFY(Dlg->CustomSoundBox()->isChecked());
        QVERIFY(!Dlg->TextSpeakBox()->isChecked());
        QVERIFY(Dlg->SoundPathEdit()->isEnabled());
        QVERIFY(Dlg->SoundBrowseButton()->isEnabled());
        QVERIFY(!Dlg->SpeechTextEdit()->isEnabled());
        // The typed text survives the rule's showing of the fields.
        QCOMPARE(Dlg->SpeechTextEdit()->text(), QString("%text down"));
    }

    void doubleClickCommandFollowsEnable() {
        Dlg->Fields.DCOBEFE = 0;
        Dlg->Opening();
        Dlg->show();
        QVERIFY(!Dlg->ApplicationEdit()->isEnabled());
        QVERIFY(!Dlg->ApplicationBrowseButton()->isEnabled());
        QVERIFY(!Dlg->ParametersEdit()->isEnabled());
        Dlg->EnableBox()->click();
        QVERIFY(Dlg->ApplicationEdit()->isEnabled());
        QVERIFY(Dlg->ApplicationBrowseButton()->isEnabled());
        QVERIFY(Dlg->ParametersEdit()->isEnabled());
    }

    void fileChoices() {
        Dlg->Fields.DCOBEFE = 1;
        Dlg->Fields.ErrorDefaultSound = 1;
        Dlg->Opening();
        Dlg->show();
        QStringList filters;
        QString answer = "/usr/bin/xterm";
        Dlg->OpenFileName = [&](QWidget* owner, const QString& filter) {
            filters << filter;
            return owner == Dlg.get() ? answer : QString();
        };
        QTest::mouseClick(Dlg->ApplicationBrowseButton(), Qt::LeftButton);
        QCOMPARE(Dlg->ApplicationEdit()->text(), QString("/usr/bin/xterm"));
        answer = "/snd/e.wav";
        QTest::mouseClick(Dlg->SoundBrowseButton(), Qt::LeftButton);
        QCOMPARE(Dlg->SoundPathEdit()->text(), QString("/snd/e.wav"));
        answer.clear();
        QTest::mouseClick(Dlg->SoundBrowseButton(), Qt::LeftButton);
        QCOMPARE(Dlg->SoundPathEdit()->text(), QString("/snd/e.wav")); // cancelled
        QCOMPARE(filters.value(0), QString("All Files (*);;EXE, BAT File (*.exe *.bat)"));
        QCOMPARE(filters.value(1), QString("WAV File (*.wav)"));
    }

    void testButtons() {
        Dlg->Fields.PlayErrorDefSoundPath = "/old.wav";
        Dlg->ProgramFolder = "/opt/p";
        Dlg->Opening();
        Dlg->show();
        // The sound tests read what is typed, not what was opened.
        Dlg->SoundPathEdit()->setText("/new.wav");
        QTest::mouseClick(Dlg->SoundTestButton(PropertiesSoundTest::ErrorSoundFile), Qt::LeftButton);
        QTest::mouseClick(Dlg->SoundTestButton(PropertiesSoundTest::Volume), Qt::LeftButton);
        QCOMPARE(Sounds.size(), 2);
        QCOMPARE(Sounds[0].SoundPath, QString("/new.wav"));
        QCOMPARE(Sounds[0].UseSoundPath, 1);
        QCOMPARE(Sounds[1].Status, VolumeTestSound);
        QCOMPARE(Sounds[1].ProgramFolder, QString("/opt/p"));
        QTest::mouseClick(Dlg->MessageTestButton(), Qt::LeftButton);
        QCOMPARE(Messages.size(), 1);
        QVERIFY(Messages[0].startsWith("Date="));
        QVERIFY(Messages[0].endsWith("\nText=localhost\nIP=127.0.0.1\nStatus=IP ERROR."));
        for (PropertiesSoundTest t : {PropertiesSoundTest::ErrorSoundFile, PropertiesSoundTest::ErrorSpeech,
                                      PropertiesSoundTest::ErrorNotification, PropertiesSoundTest::Volume})
            QVERIFY(!Dlg->SoundTestButton(t)->icon().isNull());
        for (QPushButton* b :
             {Dlg->OkButton(), Dlg->CancelButton(), Dlg->ApplyButton(), Dlg->MessageTestButton()})
            QVERIFY(!b->icon().isNull());
    }

    void volumeWhileMuted() {
        Dlg->Fields.Volume = 1000;
        Dlg->Fields.VolumeMute = 1;
        Dlg->Opening();
        Dlg->show();
        QCOMPARE(Audio->Volumes, (QList<QPair<std::uint32_t, bool>>{{1000, true}}));
        QCOMPARE(Audio->EffectiveProcessVolume(), 0u);
        Dlg->VolumeSlider()->setValue(30000);
        QCOMPARE(Dlg->Fields.Volume, 30000u);
        QCOMPARE(Audio->EffectiveProcessVolume(), 0u);
        QCOMPARE(Audio->Volumes.size(), 1);
        Dlg->MuteBox()->click();
        QCOMPARE(Audio->Volumes.last(), (QPair<std::uint32_t, bool>{30000, false}));
        QCOMPARE(Audio->EffectiveProcessVolume(), 30000u);
        // Not muted, the slider is heard at once.
        Dlg->VolumeSlider()->setValue(20000);
        QCOMPARE(Audio->EffectiveProcessVolume(), 20000u);
    }

    void opacitySliderIsLive() {
        Dlg->Fields.Transparent = 220;
        Dlg->Opening();
        Dlg->show();
        QVERIFY(Opacities.isEmpty()); // placing the thumb changes nothing
        QCOMPARE(Dlg->OpacitySlider()->minimum(), 160);
        QCOMPARE(Dlg->OpacitySlider()->maximum(), 255);
        Dlg->OpacitySlider()->setFocus();
        QTest::keyClick(Dlg->OpacitySlider(), Qt::Key_Home);
        QCOMPARE(Opacities, QList<int>{160});
        // The field takes the slider's position only at OK or Apply.
        Dlg->ReadControls();
        QCOMPARE(Dlg->Fields.Transparent, std::uint8_t{220});
        bool applied = false;
        Dlg->ApplyProperties = [&] {
            applied = true;
            QCOMPARE(Dlg->Fields.Transparent, std::uint8_t{160});
        };
        QTest::mouseClick(Dlg->ApplyButton(), Qt::LeftButton);
        QVERIFY(applied);
        QVERIFY(Dlg->isVisible());
    }

    void defaultButton() {
        Dlg->Fields.XBox = 200;
        Dlg->Fields.TimeOut = 4500;
        Dlg->Fields.Transparent = 170;
        Dlg->Fields.DCOBEFE = 1;
        Dlg->Fields.DCOBEFPath = "/usr/bin/xterm";
        Dlg->Fields.Volume = 10;
        Dlg->Fields.VolumeMute = 1;
        Dlg->Fields.HideTaskBarButton = 1;
        Dlg->Opening();
        Dlg->show();
        Audio->Volumes.clear();
        QTest::mouseClick(Dlg->DefaultButton(), Qt::LeftButton);
        QCOMPARE(Dlg->Spin(PropertiesSpin::XBox)->text(), QString("90"));
        QCOMPARE(Dlg->Spin(PropertiesSpin::TimeOut)->text(), QString("3000"));
        QCOMPARE(Dlg->OpacitySlider()->value(), 255);
        QCOMPARE(Opacities, QList<int>{255});
        QCOMPARE(Dlg->VolumeSlider()->value(), 65535);
        QCOMPARE(Audio->EffectiveProcessVolume(), 65535u);
        QVERIFY(!Dlg->MuteBox()->isChecked());
        QVERIFY(!Dlg->EnableBox()->isChecked());
        QVERIFY(!Dlg->ApplicationEdit()->isEnabled());
        QCOMPARE(Dlg->ApplicationEdit()->text(), QString("/usr/bin/xterm"));
        QVERIFY(Dlg->StartAtLoginBox()->isChecked());
        QVERIFY(!Dlg->HideTaskBarButtonBox()->isChecked());
        QVERIFY(Dlg->ShowReplyTimeBox()->isChecked());
        QVERIFY(!Dlg->ShowStatusBox()->isEnabled());
        QCOMPARE(Dlg->SpeechTextEdit()->text(), QString("%text Error"));
    }

    void startAtLogin_data() {
        QTest::addColumn<QByteArray>("entry"); // empty: none
        QTest::addColumn<bool>("opensSet");
        QTest::newRow("no entry") << QByteArray() << false;
        QTest::newRow("this program") << AutostartEntryText("/opt/Pylarix/pylarix") << true;
        QTest::newRow("this program, other case") << AutostartEntryText("/OPT/pylarix/pylarix") << true;
        QTest::newRow("program moved since") << AutostartEntryText("/usr/bin/pylarix") << false;
    }
    void startAtLogin() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, opensSet);
        Dlg->Fields.StartWithWindows = opensSet ? 0 : 1; // what the entry says wins
        if (!entry.isEmpty())
            QVERIFY(QDir().mkpath(QFileInfo(Dlg->AutostartEntryPath).absolutePath()) && WriteEntry(entry));
        Dlg->Opening();
        Dlg->show();
        QCOMPARE(Dlg->StartAtLoginBox()->isChecked(), opensSet);
        // OK writes what the box says, for this program's path.
        Dlg->StartAtLoginBox()->setChecked(!opensSet);
        QTest::mouseClick(Dlg->OkButton(), Qt::LeftButton);
        QCOMPARE(Dlg->result(), int(QDialog::Accepted));
        QCOMPARE(ReadStartAtLogin(Dlg->AutostartEntryPath, Dlg->ProgramFilePath),
                 std::optional<bool>(!opensSet));
        QCOMPARE(QFile::exists(Dlg->AutostartEntryPath), !opensSet);
    }

    void unreadableEntryKeepsTheBox() {
        QVERIFY(QDir().mkpath(Dlg->AutostartEntryPath)); // a folder in the entry's place
        Dlg->Fields.StartWithWindows = 1;
        Dlg->Opening();
        QVERIFY(Dlg->StartAtLoginBox()->isChecked());
        QTest::mouseClick(Dlg->ApplyButton(), Qt::LeftButton); // quietly writes nothing
        QVERIFY(QFileInfo(Dlg->AutostartEntryPath).isDir());
    }

    void everyControlHasItsOwnName() {
        Dlg->Opening();
        Dlg->show();
        QSet<QString> names;
        int controls = 0;
        for (QWidget* w : Dlg->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) &&
                !qobject_cast<QAbstractSpinBox*>(w) && !qobject_cast<QSlider*>(w))
                continue;
            if (qobject_cast<QLineEdit*>(w) && qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
                continue; // the spin's own edit
            ++controls;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY(a);
            const QString name = a->text(QAccessible::Name).trimmed();
            QVERIFY2(!name.isEmpty(), w->metaObject()->className());
            QVERIFY2(!names.contains(name), qPrintable(name));
            names << name;
        }
        QCOMPARE(controls, 33);
        for (const char* name : {"With[pixel]", "Time Out[ms]", "Transparent Window",
                                 "Start Pylarix at login", "Hide Taskbar Button", "Default", "OK", "Apply"})
            QVERIFY2(names.contains(QString::fromLatin1(name)), name);
    }

private:
    void SetSpinField(PropertiesSpin spin, std::uint32_t value) {
        switch (spin) {
        case PropertiesSpin::XBox:
            Dlg->Fields.XBox = value;
            break;
        case PropertiesSpin::YBox:
            Dlg->Fields.YBox = value;
            break;
        case PropertiesSpin::VerifyTime:
            Dlg->Fields.VerifyTime = value;
            break;
        case PropertiesSpin::TimeOut:
            Dlg->Fields.TimeOut = value;
            break;
        }
    }
    std::uint32_t SpinField(PropertiesSpin spin) const {
        switch (spin) {
        case PropertiesSpin::XBox:
            return Dlg->Fields.XBox;
        case PropertiesSpin::YBox:
            return Dlg->Fields.YBox;
        case PropertiesSpin::VerifyTime:
            return Dlg->Fields.VerifyTime;
        case PropertiesSpin::TimeOut:
            return Dlg->Fields.TimeOut;
        }
        return 0;
    }
    bool WriteEntry(const QByteArray& text) {
        QFile f(Dlg->AutostartEntryPath);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
    }

    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<RecordingAudioOutput> Audio;
    std::unique_ptr<CPropertiesDlg> Dlg;
    QList<CSoundThread> Sounds;
    QStringList Messages;
    QList<int> Opacities;
};

QTEST_MAIN(TestPropertiesDlg)
#include "tst_PropertiesDlg.moc"
