#include "strip/StackingRules.h"
#include "strip/TrayRules.h"
#include "strip/WindowRules.h"

#include <QTest>

Q_DECLARE_METATYPE(TrayMouseAction)
Q_DECLARE_METATYPE(ArtPicture)
Q_DECLARE_METATYPE(TrayActivation)
Q_DECLARE_METATYPE(DialogVisibility)

namespace {

DialogVisibility Visible(std::initializer_list<OwnedDialog> open) {
    DialogVisibility v{};
    for (OwnedDialog d : open)
        v[static_cast<std::size_t>(d)] = true;
    return v;
}

} // namespace

class TrayRulesTest : public QObject {
    Q_OBJECT
private slots:
    void mouseRules_data();
    void mouseRules();
    void activationMessages_data();
    void activationMessages();
    void menuLayoutInOrder();
    void menuPictures_data();
    void menuPictures();
    void stacking_data();
    void stacking();
    void appliedAlpha_data();
    void appliedAlpha();
    void windowFlags();
};

void TrayRulesTest::mouseRules_data() {
    QTest::addColumn<uint>("message");
    QTest::addColumn<DialogVisibility>("visible");
    QTest::addColumn<bool>("dialogOpen");
    QTest::addColumn<TrayMouseAction>("action");
    QTest::addColumn<int>("dialog");

    const auto none = Visible({});
    QTest::newRow("left down restores and brings dialogs up")
        << uint(0x201) << Visible({OwnedDialog::About}) << false
        << TrayMouseAction::ForegroundRestoreAndDialogs << -1;
    QTest::newRow("left down during a question still restores")
        << uint(0x201) << none << true << TrayMouseAction::ForegroundRestoreAndDialogs << -1;
    QTest::newRow("left up restores")
        << uint(0x202) << none << false << TrayMouseAction::RestoreForeground << -1;
    QTest::newRow("double click shows") << uint(0x203) << none << true << TrayMouseAction::ShowRestore << -1;
    QTest::newRow("right up opens the menu") << uint(0x205) << none << false << TrayMouseAction::Menu << -1;
    QTest::newRow("right up during the exit question: no menu")
        << uint(0x205) << none << true << TrayMouseAction::ForegroundOnly << -1;
    QTest::newRow("right up with box properties open raises it")
        << uint(0x205) << Visible({OwnedDialog::BoxProperties}) << false << TrayMouseAction::RaiseDialog << 0;
    QTest::newRow("the first open dialog in order wins")
        << uint(0x205) << Visible({OwnedDialog::SendNetMsg, OwnedDialog::About}) << false
        << TrayMouseAction::RaiseDialog << 2;
    QTest::newRow("an open dialog wins over DialogOpen")
        << uint(0x205) << Visible({OwnedDialog::Properties}) << true << TrayMouseAction::RaiseDialog << 1;
    QTest::newRow("send net message alone")
        << uint(0x205) << Visible({OwnedDialog::SendNetMsg}) << false << TrayMouseAction::RaiseDialog << 3;
    QTest::newRow("right down does nothing") << uint(0x204) << none << false << TrayMouseAction::None << -1;
    QTest::newRow("mouse move does nothing") << uint(0x200) << none << false << TrayMouseAction::None << -1;
    QTest::newRow("middle button does nothing")
        << uint(0x207) << none << false << TrayMouseAction::None << -1;
    QTest::newRow("balloon click does nothing")
        << uint(0x405) << none << false << TrayMouseAction::None << -1;
}

void TrayRulesTest::mouseRules() {
    QFETCH(uint, message);
    QFETCH(DialogVisibility, visible);
    QFETCH(bool, dialogOpen);
    QFETCH(TrayMouseAction, action);
    QFETCH(int, dialog);
    const TrayMouseDecision d = DecideTrayMouse(message, visible, dialogOpen);
    QCOMPARE(d.Action, action);
    QCOMPARE(d.Dialog, dialog);
}

void TrayRulesTest::activationMessages_data() {
    QTest::addColumn<TrayActivation>("activation");
    QTest::addColumn<QList<uint>>("messages");
    QTest::newRow("click is a press and a release") << TrayActivation::Trigger << QList<uint>{0x201, 0x202};
    QTest::newRow("double click") << TrayActivation::DoubleClick << QList<uint>{0x203};
    QTest::newRow("context is the right button's release") << TrayActivation::Context << QList<uint>{0x205};
    QTest::newRow("middle click has no rule") << TrayActivation::MiddleClick << QList<uint>{};
    QTest::newRow("unknown") << TrayActivation::Unknown << QList<uint>{};
}

void TrayRulesTest::activationMessages() {
    QFETCH(TrayActivation, activation);
    QFETCH(QList<uint>, messages);
    QList<uint> got;
    for (std::uint32_t m : TrayMessagesFor(activation))
        got.append(m);
    QCOMPARE(got, messages);
}

void TrayRulesTest::menuLayoutInOrder() {
    const QStringList expected = {"About...:32798",
                                  "Help and Support:32788",
                                  "-",
                                  "Always Top:32803",
                                  "Normal:32799",
                                  "Always Bottom:32791",
                                  "-",
                                  "Show:32793",
                                  "-",
                                  "Logs:32837",
                                  "-",
                                  "Backup Config File:32814",
                                  "Restore Config File:32815",
                                  "Reset Config File:32821",
                                  "-",
                                  "Properties...:32801",
                                  "-",
                                  "Exit:32795"};
    QStringList got;
    for (const TrayMenuEntry& e : TrayMenuLayout())
        got << (e.Text ? QStringLiteral("%1:%2").arg(QLatin1String(e.Text)).arg(e.Command)
                       : QStringLiteral("-"));
    QCOMPARE(got, expected);
}

void TrayRulesTest::menuPictures_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("winBeh");
    QTest::addColumn<ArtPicture>("picture");

    const struct {
        std::int32_t WinBeh;
        ArtPicture Top, Normal, Bottom;
    } marks[] = {
        {0, ArtPicture::RadioOn, ArtPicture::RadioOff, ArtPicture::RadioOff},
        {1, ArtPicture::RadioOff, ArtPicture::RadioOn, ArtPicture::RadioOff},
        {2, ArtPicture::RadioOff, ArtPicture::RadioOff, ArtPicture::RadioOn},
        {3, ArtPicture::None, ArtPicture::None, ArtPicture::None},
        {-1, ArtPicture::None, ArtPicture::None, ArtPicture::None},
    };
    for (const auto& m : marks) {
        const QByteArray tag = "WinBeh " + QByteArray::number(m.WinBeh);
        QTest::newRow(tag + " Always Top") << TrayCommand::AlwaysTop << m.WinBeh << m.Top;
        QTest::newRow(tag + " Normal") << TrayCommand::Normal << m.WinBeh << m.Normal;
        QTest::newRow(tag + " Always Bottom") << TrayCommand::AlwaysBottom << m.WinBeh << m.Bottom;
    }
    // The other items keep their own pictures whatever the stacking mode.
    for (int winBeh : {1, 7}) {
        const QByteArray tag = " WinBeh " + QByteArray::number(winBeh);
        QTest::newRow("About" + tag) << TrayCommand::About << winBeh << ArtPicture::About;
        QTest::newRow("Help" + tag) << TrayCommand::HelpAndSupport << winBeh << ArtPicture::Help;
        QTest::newRow("Show" + tag) << TrayCommand::Show << winBeh << ArtPicture::Show;
        QTest::newRow("Logs" + tag) << TrayCommand::Logs << winBeh << ArtPicture::Logs;
        QTest::newRow("Backup" + tag) << TrayCommand::BackupConfig << winBeh << ArtPicture::Backup;
        QTest::newRow("Restore" + tag) << TrayCommand::RestoreConfig << winBeh << ArtPicture::Restore;
        QTest::newRow("Reset" + tag) << TrayCommand::ResetConfig << winBeh << ArtPicture::Reset;
        QTest::newRow("Properties" + tag) << TrayCommand::Properties << winBeh << ArtPicture::Properties;
        QTest::newRow("Exit" + tag) << TrayCommand::Exit << winBeh << ArtPicture::Exit;
    }
    QTest::newRow("separator") << 0 << 1 << ArtPicture::None;
}

void TrayRulesTest::menuPictures() {
    QFETCH(int, command);
    QFETCH(int, winBeh);
    QFETCH(ArtPicture, picture);
    QCOMPARE(TrayMenuPicture(command, winBeh), picture);
}

void TrayRulesTest::stacking_data() {
    QTest::addColumn<int>("winBeh");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("level"); // -1: none

    QTest::newRow("0 always top") << 0 << TrayCommand::AlwaysTop << int(StackingLevel::Above);
    QTest::newRow("1 normal") << 1 << TrayCommand::Normal << int(StackingLevel::Normal);
    QTest::newRow("2 always bottom") << 2 << TrayCommand::AlwaysBottom << int(StackingLevel::Below);
    QTest::newRow("3 names no mode") << 3 << 0 << -1;
    QTest::newRow("negative names no mode") << -1 << 0 << -1;
}

void TrayRulesTest::stacking() {
    QFETCH(int, winBeh);
    QFETCH(int, command);
    QFETCH(int, level);
    QCOMPARE(StackingCommandFor(winBeh), command);
    const std::optional<StackingLevel> got = StackingLevelFor(winBeh);
    QCOMPARE(got.has_value(), level >= 0);
    if (got)
        QCOMPARE(int(*got), level);
    // A stacking command sets exactly the WinBeh that selects it again.
    if (command)
        QCOMPARE(WinBehForCommand(command), winBeh);
}

void TrayRulesTest::appliedAlpha_data() {
    QTest::addColumn<int>("transparent");
    QTest::addColumn<int>("alpha");
    QTest::newRow("0") << 0 << 160;
    QTest::newRow("120 raised") << 120 << 160;
    QTest::newRow("159 raised") << 159 << 160;
    QTest::newRow("160 kept") << 160 << 160;
    QTest::newRow("200 kept") << 200 << 200;
    QTest::newRow("255 opaque") << 255 << 255;
    QTest::newRow("300 read as 44") << int(std::uint8_t(300 & 0xFF)) << 160;
}

void TrayRulesTest::appliedAlpha() {
    QFETCH(int, transparent);
    QFETCH(int, alpha);
    QCOMPARE(AppliedAlpha(static_cast<std::uint8_t>(transparent)), alpha);
}

void TrayRulesTest::windowFlags() {
    QVERIFY(!MinimiseHides(0));
    QVERIFY(MinimiseHides(1));
    QVERIFY(MinimiseHides(2));
    QVERIFY(LoadHidesTaskbarButton(1));
    QVERIFY(!LoadHidesTaskbarButton(2));
    QVERIFY(!LoadHidesTaskbarButton(0));
    QVERIFY(SavesPosition(0, 0));
    QVERIFY(!SavesPosition(-1, 10));
    QVERIFY(!SavesPosition(10, -1));
    QVERIFY(!SavesPosition(-32000, -32000));
}

QTEST_GUILESS_MAIN(TrayRulesTest)
#include "tst_TrayRules.moc"
