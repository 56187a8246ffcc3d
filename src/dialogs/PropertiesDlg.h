#pragma once

#include "dialogs/PropertiesRules.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QString>
#include <functional>
#include <map>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;

// A read-only number edit moved only by its arrows (and the keyboard's Up and Down), one step a
// click within its range. It shows any value it is given, also one outside the range.
class CNumberSpin : public QAbstractSpinBox {
public:
    CNumberSpin(const CSpinRange& range, QWidget* parent);
    std::uint32_t Value() const { return m_Value; }
    void SetValue(std::uint32_t value);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    CSpinRange m_Range;
    std::uint32_t m_Value = 0;
};

// The global properties dialog: box size, opacity and lines, check interval and time-out,
// logging, volume, taskbar button, start at login, the double-click command and the error
// notifications. The owner fills Fields, calls Opening() and runs it; Apply hands the fields to
// ApplyProperties while the dialog stays open.
class CPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPropertiesDlg(QWidget* parent = nullptr);

    CPropertiesFields Fields;
    CPropertiesEnables Enables;
    // The desktop's autostart entry and the program it starts; an empty entry path is never
    // read or written.
    QString AutostartEntryPath;
    QString ProgramFilePath;
    // Folder of the built-in sounds, for the sound tests.
    QString ProgramFolder;

    // Called by Apply, synchronously, once the fields have been read.
    std::function<void()> ApplyProperties;
    // The strip's opacity follows the opacity slider at once (alpha 160 to 255).
    std::function<void(int)> OpacityChanged;
    // How the sound tests start their sound and the message box test shows its text.
    std::function<void(const CSoundThread&)> StartSound;
    std::function<void(const QString&)> ShowMessageText;
    // The open-file chooser: parent, filter; empty when cancelled.
    std::function<QString(QWidget*, const QString&)> OpenFileName;

    // Dialog initialisation, before each run: sliders, the volume set at once, spins, the
    // dependent controls, start at login read from the autostart entry, the fields shown.
    void Opening();

    // Fields from the controls (the opacity slider only at OK and Apply) and back.
    void ReadControls();
    void ShowFields();

    CNumberSpin* Spin(PropertiesSpin spin) const { return m_Spins.at(spin); }
    QSlider* OpacitySlider() const { return m_Opacity; }
    QSlider* VolumeSlider() const { return m_Volume; }
    QCheckBox* MuteBox() const { return m_Mute; }
    QCheckBox* ShowReplyTimeBox() const { return m_ShowReplyTime; }
    QCheckBox* ShowStatusBox() const { return m_ShowStatus; }
    QCheckBox* ShowIPandMethodBox() const { return m_ShowIPandMethod; }
    QCheckBox* HideTaskBarButtonBox() const { return m_HideTaskBarButton; }
    QCheckBox* StartAtLoginBox() const { return m_StartWithWindows; }
    QCheckBox* EnableBox() const { return m_DCOBEFE; }
    QCheckBox* CustomSoundBox() const { return m_ErrorDefaultSound; }
    QCheckBox* TextSpeakBox() const { return m_ErrorTextSpeechSound; }
    QLineEdit* ApplicationEdit() const { return m_DCOBEFPath; }
    QLineEdit* ParametersEdit() const { return m_DCOBEFParameters; }
    QLineEdit* SoundPathEdit() const { return m_PlayErrorDefSoundPath; }
    QLineEdit* SpeechTextEdit() const { return m_ErrorTextSpeechText; }
    QPushButton* ApplicationBrowseButton() const { return m_BrowseApplication; }
    QPushButton* SoundBrowseButton() const { return m_BrowseSound; }
    QPushButton* SoundTestButton(PropertiesSoundTest test) const { return m_SoundTests.at(test); }
    QPushButton* MessageTestButton() const { return m_MessageTest; }
    QPushButton* DefaultButton() const { return m_Default; }
    QPushButton* OkButton() const { return m_Ok; }
    QPushButton* CancelButton() const { return m_Cancel; }
    QPushButton* ApplyButton() const { return m_Apply; }

private:
    void ApplyEnables();
    void OnCheckClicked(PropertiesCheck check);
    void OnMute();
    void OnVolumeMoved(int position);
    void OnDefault();
    // OK's and Apply's first part: the controls read, the autostart entry written, the opacity
    // slider's position taken.
    void TakeControls();
    void OnOk();
    void OnApply();

    std::map<PropertiesSpin, CNumberSpin*> m_Spins;
    QSlider* m_Opacity = nullptr;
    QSlider* m_Volume = nullptr;
    QCheckBox* m_ShowReplyTime = nullptr;
    QCheckBox* m_ShowStatus = nullptr;
    QCheckBox* m_ShowIPandMethod = nullptr;
    QCheckBox* m_EnableLog = nullptr;
    QCheckBox* m_Mute = nullptr;
    QCheckBox* m_HideTaskBarButton = nullptr;
    QCheckBox* m_StartWithWindows = nullptr;
    QCheckBox* m_DCOBEFE = nullptr;
    QLineEdit* m_DCOBEFPath = nullptr;
    QLineEdit* m_DCOBEFParameters = nullptr;
    QPushButton* m_BrowseApplication = nullptr;
    QCheckBox* m_ErrorDefaultSound = nullptr;
    QLineEdit* m_PlayErrorDefSoundPath = nullptr;
    QPushButton* m_BrowseSound = nullptr;
    QCheckBox* m_ErrorTextSpeechSound = nullptr;
    QLineEdit* m_ErrorTextSpeechText = nullptr;
    QCheckBox* m_ErrorSound = nullptr;
    QCheckBox* m_ErrorMsgBox = nullptr;
    std::map<PropertiesSoundTest, QPushButton*> m_SoundTests;
    QPushButton* m_MessageTest = nullptr;
    QPushButton* m_Default = nullptr;
    QPushButton* m_Ok = nullptr;
    QPushButton* m_Cancel = nullptr;
    QPushButton* m_Apply = nullptr;
};
