#include "dialogs/PropertiesDlg.h"

#include "config/Autostart.h"
#include "platform/AudioOutput.h"
#include "strip/ProgramArt.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Linux programs carry no extension: every file is offered first.
const QString ProgramFilter = QStringLiteral("All Files (*);;EXE, BAT File (*.exe *.bat)");
const QString WavFilter = QStringLiteral("WAV File (*.wav)");

QCheckBox* Check(const QString& caption, QWidget* parent) {
    return new QCheckBox(caption, parent);
}

QPushButton* IconButton(const QString& caption, ArtPicture picture, const QString& accessibleName,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setIcon(ArtIcon(picture));
    button->setIconSize(QSize(16, 16));
    button->setAutoDefault(false);
    if (!accessibleName.isEmpty())
        button->setAccessibleName(accessibleName);
    return button;
}

QLineEdit* Edit(const QString& accessibleName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(accessibleName);
    return edit;
}

} // namespace

CNumberSpin::CNumberSpin(const CSpinRange& range, QWidget* parent)
    : QAbstractSpinBox(parent), m_Range(range) {
    lineEdit()->setReadOnly(true);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    SetValue(range.Low);
}

void CNumberSpin::SetValue(std::uint32_t value) {
    m_Value = value;
    lineEdit()->setText(QString::number(value));
}

void CNumberSpin::stepBy(int steps) {
    std::uint32_t value = m_Value;
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i)
        value = SpinClick(value, m_Range, steps > 0);
    SetValue(value);
}

QAbstractSpinBox::StepEnabled CNumberSpin::stepEnabled() const {
    // Either arrow brings a value from outside the range back into it.
    StepEnabled enabled = StepNone;
    if (m_Value < m_Range.High)
        enabled |= StepUpEnabled;
    if (m_Value > m_Range.Low)
        enabled |= StepDownEnabled;
    return enabled;
}

CPropertiesDlg::CPropertiesDlg(QWidget* parent) : QDialog(parent) {
    StartSound = [](const CSoundThread& sound) { StartSoundThread(sound); };
    OpenFileName = [](QWidget* owner, const QString& filter) {
        return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
    };
    setWindowTitle(QStringLiteral("Properties"));

    auto spinRow = [this](QGridLayout* grid, int row, const QString& caption, PropertiesSpin which) {
        auto* spin = new CNumberSpin(SpinRangeOf(which), this);
        auto* label = new QLabel(caption, this);
        label->setBuddy(spin);
        spin->setAccessibleName(caption);
        grid->addWidget(label, row, 0);
        grid->addWidget(spin, row, 1);
        m_Spins[which] = spin;
    };

    // Box Window.
    auto* boxGroup = new QGroupBox(QStringLiteral("Box"), this);
    auto* boxGrid = new QGridLayout(boxGroup);
    spinRow(boxGrid, 0, QStringLiteral("With[pixel]"), PropertiesSpin::XBox);
    spinRow(boxGrid, 1, QStringLiteral("Hight[pixel]"), PropertiesSpin::YBox);

    m_Opacity = new QSlider(Qt::Horizontal, this);
    m_Opacity->setRange(160, 255);
    m_Opacity->setAccessibleName(QStringLiteral("Transparent Window"));
    auto* opacityLabel = new QLabel(QStringLiteral("Transparent Window"), this);
    opacityLabel->setBuddy(m_Opacity);
    auto* opacityRow = new QHBoxLayout;
    opacityRow->addWidget(new QLabel(QStringLiteral("Max."), this));
    opacityRow->addWidget(m_Opacity, 1);
    opacityRow->addWidget(new QLabel(QStringLiteral("Min."), this));
    connect(m_Opacity, &QSlider::valueChanged, this, [this](int position) {
        if (OpacityChanged)
            OpacityChanged(position);
    });

    m_ShowReplyTime = Check(QStringLiteral("Show Reply Time"), this);
    m_ShowStatus = Check(QStringLiteral("Show Status"), this);
    m_ShowIPandMethod = Check(QStringLiteral("Show Check Method and IP"), this);

    auto* windowGroup = new QGroupBox(QStringLiteral("Box Window"), this);
    auto* windowLayout = new QVBoxLayout(windowGroup);
    windowLayout->addWidget(boxGroup);
    windowLayout->addWidget(opacityLabel);
    windowLayout->addLayout(opacityRow);
    windowLayout->addWidget(m_ShowReplyTime);
    windowLayout->addWidget(m_ShowStatus);
    windowLayout->addWidget(m_ShowIPandMethod);

    // Net Configuration, Jurnaling, Sound Volume.
    auto* netGroup = new QGroupBox(QStringLiteral("Net Configuration"), this);
    auto* netGrid = new QGridLayout(netGroup);
    spinRow(netGrid, 0, QStringLiteral("Check Interval[s]"), PropertiesSpin::VerifyTime);
    spinRow(netGrid, 1, QStringLiteral("Time Out[ms]"), PropertiesSpin::TimeOut);

    auto* logGroup = new QGroupBox(QStringLiteral("Jurnaling"), this);
    m_EnableLog = Check(QStringLiteral("Logging all Monitors"), this);
    (new QVBoxLayout(logGroup))->addWidget(m_EnableLog);

    auto* volumeGroup = new QGroupBox(QStringLiteral("Sound Volume"), this);
    m_Mute = Check(QStringLiteral("Mute"), this);
    m_Volume = new QSlider(Qt::Horizontal, this);
    m_Volume->setRange(0, 65535);
    m_Volume->setSingleStep(1024);
    m_Volume->setPageStep(8192);
    m_Volume->setAccessibleName(QStringLiteral("Sound Volume"));
    m_SoundTests[PropertiesSoundTest::Volume] =
        IconButton(QStringLiteral("T"), ArtPicture::TestButton, QStringLiteral("Test Sound Volume"), this);
    auto* volumeLayout = new QHBoxLayout(volumeGroup);
    volumeLayout->addWidget(m_Mute);
    volumeLayout->addWidget(m_Volume, 1);
    volumeLayout->addWidget(m_SoundTests[PropertiesSoundTest::Volume]);

    m_HideTaskBarButton = Check(QStringLiteral("Hide Taskbar Button"), this);
    m_StartWithWindows = Check(QStringLiteral("Start Pylarix at login"), this);

    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(windowGroup);
    leftColumn->addWidget(netGroup);
    leftColumn->addWidget(logGroup);
    leftColumn->addWidget(volumeGroup);
    leftColumn->addWidget(m_HideTaskBarButton);
    leftColumn->addWidget(m_StartWithWindows);
    leftColumn->addStretch(1);

    // Double click on a box.
    auto* commandGroup =
        new QGroupBox(QStringLiteral("Left Mouse Button Double Click on Box- Execute File"), this);
    m_DCOBEFE = Check(QStringLiteral("Enable"), this);
    m_DCOBEFPath = Edit(QStringLiteral("Custom Application:"), this);
    m_BrowseApplication = IconButton(QStringLiteral("..."), ArtPicture::None,
                                     QStringLiteral("Choose Custom Application"), this);
    m_DCOBEFParameters = Edit(QStringLiteral("Parameters:"), this);
    m_DCOBEFParameters->setPlaceholderText(QStringLiteral("Use %ip,%status,%method,%port,%text"));
    auto* commandGrid = new QGridLayout(commandGroup);
    commandGrid->addWidget(m_DCOBEFE, 0, 0, 1, 3);
    auto* applicationLabel = new QLabel(QStringLiteral("Custom Application:"), this);
    applicationLabel->setBuddy(m_DCOBEFPath);
    commandGrid->addWidget(applicationLabel, 1, 0);
    commandGrid->addWidget(m_DCOBEFPath, 1, 1);
    commandGrid->addWidget(m_BrowseApplication, 1, 2);
    auto* parametersLabel = new QLabel(QStringLiteral("Parameters:"), this);
    parametersLabel->setBuddy(m_DCOBEFParameters);
    commandGrid->addWidget(parametersLabel, 2, 0);
    commandGrid->addWidget(m_DCOBEFParameters, 2, 1, 1, 2);

    // Error Sound.
    auto* soundGroup = new QGroupBox(QStringLiteral("Error Sound"), this);
    m_ErrorDefaultSound = Check(QStringLiteral("Custom Sound"), this);
    m_PlayErrorDefSoundPath = Edit(QStringLiteral("Custom Sound File"), this);
    m_BrowseSound =
        IconButton(QStringLiteral("..."), ArtPicture::None, QStringLiteral("Choose Custom Sound"), this);
    m_SoundTests[PropertiesSoundTest::ErrorSoundFile] =
        IconButton(QStringLiteral("T"), ArtPicture::TestButton, QStringLiteral("Test Custom Sound"), this);
    m_ErrorTextSpeechSound = Check(QStringLiteral("Text Speak "), this);
    m_ErrorTextSpeechText = Edit(QStringLiteral("Text Speak Text"), this);
    m_ErrorTextSpeechText->setPlaceholderText(QStringLiteral("Use %text as Box Text"));
    m_SoundTests[PropertiesSoundTest::ErrorSpeech] =
        IconButton(QStringLiteral("T"), ArtPicture::TestButton, QStringLiteral("Test Text Speak"), this);
    auto* soundGrid = new QGridLayout(soundGroup);
    soundGrid->addWidget(m_ErrorDefaultSound, 0, 0, 1, 3);
    soundGrid->addWidget(m_PlayErrorDefSoundPath, 1, 0);
    soundGrid->addWidget(m_BrowseSound, 1, 1);
    soundGrid->addWidget(m_SoundTests[PropertiesSoundTest::ErrorSoundFile], 1, 2);
    soundGrid->addWidget(m_ErrorTextSpeechSound, 2, 0, 1, 3);
    soundGrid->addWidget(m_ErrorTextSpeechText, 3, 0, 1, 2);
    soundGrid->addWidget(m_SoundTests[PropertiesSoundTest::ErrorSpeech], 3, 2);

    // Notifications.
    auto* notifyGroup = new QGroupBox(QStringLiteral("Notifications"), this);
    m_ErrorSound = Check(QStringLiteral("IP and NET ERROR Play Error Sound"), this);
    m_SoundTests[PropertiesSoundTest::ErrorNotification] =
        IconButton(QStringLiteral("T"), ArtPicture::TestButton,
                   QStringLiteral("Test IP and NET ERROR Play Error Sound"), this);
    m_ErrorMsgBox = Check(QStringLiteral("IP and NET ERROR Show Message Box"), this);
    m_MessageTest = IconButton(QStringLiteral("Test"), ArtPicture::TestButton,
                               QStringLiteral("Test IP and NET ERROR Show Message Box"), this);
    auto* notifyGrid = new QGridLayout(notifyGroup);
    notifyGrid->addWidget(m_ErrorSound, 0, 0);
    notifyGrid->addWidget(m_SoundTests[PropertiesSoundTest::ErrorNotification], 0, 1);
    notifyGrid->addWidget(m_ErrorMsgBox, 1, 0);
    notifyGrid->addWidget(m_MessageTest, 1, 1);

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(commandGroup);
    rightColumn->addWidget(soundGroup);
    rightColumn->addWidget(notifyGroup);
    rightColumn->addStretch(1);

    m_Default = IconButton(QStringLiteral("Default"), ArtPicture::None, QString(), this);
    m_Ok = IconButton(QStringLiteral("OK"), ArtPicture::OkButton, QString(), this);
    m_Ok->setDefault(true);
    m_Cancel = IconButton(QStringLiteral("Cancel"), ArtPicture::CancelButton, QString(), this);
    m_Apply = IconButton(QStringLiteral("Apply"), ArtPicture::ApplyButton, QString(), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_Default);
    buttons->addStretch(1);
    buttons->addWidget(m_Ok);
    buttons->addWidget(m_Cancel);
    buttons->addWidget(m_Apply);

    auto* columns = new QHBoxLayout;
    columns->addLayout(leftColumn);
    columns->addLayout(rightColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    const std::pair<QCheckBox*, PropertiesCheck> rules[] = {
        {m_DCOBEFE, PropertiesCheck::Enable},
        {m_ErrorDefaultSound, PropertiesCheck::CustomSound},
        {m_ErrorTextSpeechSound, PropertiesCheck::TextSpeak},
        {m_ShowReplyTime, PropertiesCheck::ShowReplyTime},
        {m_ShowStatus, PropertiesCheck::ShowStatus},
    };
    for (const auto& [box, check] : rules)
        connect(box, &QCheckBox::clicked, this, [this, check = check] { OnCheckClicked(check); });
    connect(m_Mute, &QCheckBox::clicked, this, &CPropertiesDlg::OnMute);
    connect(m_Volume, &QSlider::valueChanged, this, &CPropertiesDlg::OnVolumeMoved);
    connect(m_BrowseApplication, &QPushButton::clicked, this, [this] {
        const QString path = OpenFileName(this, ProgramFilter);
        if (!path.isEmpty())
            m_DCOBEFPath->setText(path);
    });
    connect(m_BrowseSound, &QPushButton::clicked, this, [this] {
        const QString path = OpenFileName(this, WavFilter);
        if (!path.isEmpty())
            m_PlayErrorDefSoundPath->setText(path);
    });
    for (const auto& [test, button] : m_SoundTests) {
        connect(button, &QPushButton::clicked, this, [this, test = test] {
            ReadControls();
            if (StartSound)
                StartSound(PropertiesTestSound(test, Fields, ProgramFolder));
        });
    }
    connect(m_MessageTest, &QPushButton::clicked, this, [this] {
        if (ShowMessageText)
            ShowMessageText(ErrorMessageTestText(QDateTime::currentDateTime()));
    });
    connect(m_Default, &QPushButton::clicked, this, &CPropertiesDlg::OnDefault);
    connect(m_Ok, &QPushButton::clicked, this, &CPropertiesDlg::OnOk);
    connect(m_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_Apply, &QPushButton::clicked, this, &CPropertiesDlg::OnApply);
}

void CPropertiesDlg::Opening() {
    setWindowIcon(ArtIcon(ArtPicture::Program));
    {
        // Placing the thumbs is not a move of the user's: the strip keeps its opacity.
        const QSignalBlocker opacity(m_Opacity);
        const QSignalBlocker volume(m_Volume);
        m_Opacity->setValue(Fields.Transparent);
        m_Volume->setValue(static_cast<int>(std::min<std::uint32_t>(Fields.Volume, 65535)));
    }
    SystemAudioOutput().SetProcessVolume(Fields.Volume, Fields.VolumeMute != 0);
    ApplyOpeningRules(Fields, Enables);
    ApplyEnables();
    if (const std::optional<bool> on = ReadStartAtLogin(AutostartEntryPath, ProgramFilePath))
        Fields.StartWithWindows = *on ? 1 : 0;
    ShowFields();
}

void CPropertiesDlg::ReadControls() {
    Fields.XBox = m_Spins[PropertiesSpin::XBox]->Value();
    Fields.YBox = m_Spins[PropertiesSpin::YBox]->Value();
    Fields.VerifyTime = m_Spins[PropertiesSpin::VerifyTime]->Value();
    Fields.TimeOut = m_Spins[PropertiesSpin::TimeOut]->Value();
    const auto checked = [](const QCheckBox* box) { return box->isChecked() ? 1 : 0; };
    Fields.ShowReplyTime = checked(m_ShowReplyTime);
    Fields.ShowStatus = checked(m_ShowStatus);
    Fields.ShowIPandMethod = checked(m_ShowIPandMethod);
    Fields.StartWithWindows = checked(m_StartWithWindows);
    Fields.HideTaskBarButton = checked(m_HideTaskBarButton);
    Fields.EnableLog = checked(m_EnableLog);
    Fields.DCOBEFE = checked(m_DCOBEFE);
    Fields.DCOBEFPath = m_DCOBEFPath->text();
    Fields.DCOBEFParameters = m_DCOBEFParameters->text();
    Fields.ErrorDefaultSound = checked(m_ErrorDefaultSound);
    Fields.PlayErrorDefSoundPath = m_PlayErrorDefSoundPath->text();
    Fields.ErrorTextSpeechSound = checked(m_ErrorTextSpeechSound);
    Fields.ErrorTextSpeechText = m_ErrorTextSpeechText->text();
    Fields.ErrorSound = checked(m_ErrorSound);
    Fields.ErrorMsgBox = checked(m_ErrorMsgBox);
    Fields.VolumeMute = checked(m_Mute);
    Fields.Volume = static_cast<std::uint32_t>(m_Volume->value());
}

void CPropertiesDlg::ShowFields() {
    m_Spins[PropertiesSpin::XBox]->SetValue(Fields.XBox);
    m_Spins[PropertiesSpin::YBox]->SetValue(Fields.YBox);
    m_Spins[PropertiesSpin::VerifyTime]->SetValue(Fields.VerifyTime);
    m_Spins[PropertiesSpin::TimeOut]->SetValue(Fields.TimeOut);
    m_ShowReplyTime->setChecked(Fields.ShowReplyTime != 0);
    m_ShowStatus->setChecked(Fields.ShowStatus != 0);
    m_ShowIPandMethod->setChecked(Fields.ShowIPandMethod != 0);
    m_StartWithWindows->setChecked(Fields.StartWithWindows != 0);
    m_HideTaskBarButton->setChecked(Fields.HideTaskBarButton != 0);
    m_EnableLog->setChecked(Fields.EnableLog != 0);
    m_DCOBEFE->setChecked(Fields.DCOBEFE != 0);
    m_DCOBEFPath->setText(Fields.DCOBEFPath);
    m_DCOBEFParameters->setText(Fields.DCOBEFParameters);
    m_ErrorDefaultSound->setChecked(Fields.ErrorDefaultSound != 0);
    m_PlayErrorDefSoundPath->setText(Fields.PlayErrorDefSoundPath);
    m_ErrorTextSpeechSound->setChecked(Fields.ErrorTextSpeechSound != 0);
    m_ErrorTextSpeechText->setText(Fields.ErrorTextSpeechText);
    m_ErrorSound->setChecked(Fields.ErrorSound != 0);
    m_ErrorMsgBox->setChecked(Fields.ErrorMsgBox != 0);
    m_Mute->setChecked(Fields.VolumeMute != 0);
    const QSignalBlocker volume(m_Volume);
    m_Volume->setValue(static_cast<int>(std::min<std::uint32_t>(Fields.Volume, 65535)));
}

void CPropertiesDlg::ApplyEnables() {
    for (QWidget* w : {static_cast<QWidget*>(m_DCOBEFPath), static_cast<QWidget*>(m_DCOBEFParameters),
                       static_cast<QWidget*>(m_BrowseApplication)})
        w->setEnabled(Enables.DoubleClickCommand);
    m_PlayErrorDefSoundPath->setEnabled(Enables.ErrorSoundPath);
    m_BrowseSound->setEnabled(Enables.ErrorSoundBrowse);
    m_ErrorTextSpeechText->setEnabled(Enables.ErrorSpeechText);
    m_ShowStatus->setEnabled(Enables.ShowStatus);
    m_ShowIPandMethod->setEnabled(Enables.ShowIPandMethod);
}

void CPropertiesDlg::OnCheckClicked(PropertiesCheck check) {
    ReadControls();
    ApplyCheckClick(check, Fields, Enables);
    ApplyEnables();
    ShowFields();
}

void CPropertiesDlg::OnMute() {
    ReadControls();
    SystemAudioOutput().SetProcessVolume(Fields.Volume, Fields.VolumeMute != 0);
}

void CPropertiesDlg::OnVolumeMoved(int position) {
    Fields.Volume = static_cast<std::uint32_t>(position);
    if (!Fields.VolumeMute)
        SystemAudioOutput().SetProcessVolume(Fields.Volume, false);
}

void CPropertiesDlg::OnDefault() {
    ApplyDefault(Fields, Enables);
    {
        const QSignalBlocker opacity(m_Opacity);
        m_Opacity->setValue(255);
    }
    if (OpacityChanged)
        OpacityChanged(255);
    ApplyEnables();
    SystemAudioOutput().SetProcessVolume(Fields.Volume, false);
    ShowFields();
}

void CPropertiesDlg::TakeControls() {
    ReadControls();
    WriteStartAtLogin(AutostartEntryPath, Fields.StartWithWindows != 0, ProgramFilePath);
    Fields.Transparent = static_cast<std::uint8_t>(m_Opacity->value());
}

void CPropertiesDlg::OnOk() {
    TakeControls();
    accept();
}

void CPropertiesDlg::OnApply() {
    TakeControls();
    if (ApplyProperties)
        ApplyProperties();
}
