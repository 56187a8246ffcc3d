#include "notify/BoxStatusHandler.h"
#include "notify/NetMessage.h"
#include "platform/ShellStart.h"
#include "platform/linux/LinuxPlatform.h"

#include "support/ThreadLimit.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ShellTargetKind)

// Real starts of a script that records the arguments it receives, one per line.
class TestFileStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void statusChangeRunsScript();
    void parametersNeverReachAShell_data();
    void parametersNeverReachAShell();
    void doubleClickFillsPathAndChecking();
    void testButtonKeepsStatus();
    void missingFileStartsNothing();
    void classify_data();
    void classify();
    void netMessageStarts();
    void netMessageMissingCommand_data();
    void netMessageMissingCommand();
    void threadLimitEndsTheStartQuietly();

private:
    // Writes an executable script into folder that records its arguments beside itself.
    QString MakeScript(const QString& folder);
    // The arguments the script recorded, waiting for it to run.
    QStringList RecordedArguments(const QString& script);

    std::unique_ptr<QTemporaryDir> Dir;
};

void TestFileStart::initTestCase() {
    InstallPlatform(LinuxPlatform());
}

void TestFileStart::init() {
    Dir = std::make_unique<QTemporaryDir>();
}

QString TestFileStart::MakeScript(const QString& folder) {
    QDir().mkpath(folder);
    const QString path = folder + "/record-args.sh";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\n"
            "out=\"$(dirname \"$0\")/args\"\n"
            "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\n"
            "mv \"$out.tmp\" \"$out\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList TestFileStart::RecordedArguments(const QString& script) {
    const QString out = QFileInfo(script).absolutePath() + "/args";
    for (int i = 0; i < 100 && !QFile::exists(out); ++i)
        QTest::qWait(50);
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly))
        return {"<not run>"};
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TestFileStart::statusChangeRunsScript() {
    const QString script = MakeScript(Dir->path() + "/bin");
    QVERIFY(!script.isEmpty());
    CMonitorTable table;
    CGlobalSettings settings;
    const CDataPaths paths = MakeDataPaths(Dir->path() + "/data", Dir->path());
    CNotificationStarter starter;
    CBoxStatusHandler handler(table, settings, paths, starter);
    table.Slots[0] = std::make_unique<CMonitorBox>(nullptr, 0);
    table.NumBox = 1;
    CMonitorBox& box = *table.Slots[0];
    box.Text = "Web Server";
    box.IPAdress = "10.0.0.5";
    box.VerifyMetod = MethodTcp;
    box.Port = 443;
    box.Status = MonitorStatus::Open;
    box.ExecFileCheck = 1;
    box.ExecFileStatusCheck = 4;
    box.ExecFilePath = script;
    box.ExecFileParam = "%ip %status %method %port %text";
    handler.OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::Close, 0), -1);
    const QStringList args = RecordedArguments(script);
    QCOMPARE(args.join(' '), QString("10.0.0.5 Close TCP 443 Web-Server"));
    QCOMPARE(args.size(), 5);
}

void TestFileStart::parametersNeverReachAShell_data() {
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("trap"); // a file a shell would have made
    QTest::newRow("semicolon") << "%ip;touch @/trap1" << QStringList{"10.0.0.5;touch", "@/trap1"} << "trap1";
    QTest::newRow("command substitution")
        << "$(touch @/trap2)" << QStringList{"$(touch", "@/trap2)"} << "trap2";
    QTest::newRow("backticks") << "`touch @/trap3`" << QStringList{"`touch", "@/trap3`"} << "trap3";
    QTest::newRow("redirection") << "x > @/trap4" << QStringList{"x", ">", "@/trap4"} << "trap4";
    QTest::newRow("and list") << "a && touch @/trap5 &" << QStringList{"a", "&&", "touch", "@/trap5", "&"}
                              << "trap5";
    QTest::newRow("variables stay text") << "$HOME ${PATH} *" << QStringList{"$HOME", "${PATH}", "*"} << "";
    QTest::newRow("quotes group") << "\"%text is down\" x" << QStringList{"Web-Server is down", "x"} << "";
    QTest::newRow("no parameters") << "" << QStringList{} << "";
}

void TestFileStart::parametersNeverReachAShell() {
    QFETCH(QString, parameters);
    QFETCH(QStringList, expected);
    QFETCH(QString, trap);
    const QString script = MakeScript(Dir->path() + "/bin");
    parameters.replace('@', Dir->path());
    for (QString& e : expected)
        e.replace('@', Dir->path());
    const CStatusRecord record{"10.0.0.5", MonitorStatus::Down, MethodPing, 0, "Web Server"};
    RunStatusFile(StatusFileCommand(script, parameters, record));
    QCOMPARE(RecordedArguments(script), expected);
    if (!trap.isEmpty())
        QVERIFY(!QFile::exists(Dir->path() + "/" + trap));
}

void TestFileStart::doubleClickFillsPathAndChecking() {
    // The double-click file may name the address in its path.
    const QString script = MakeScript(Dir->path() + "/hosts/10.0.0.5");
    const CStatusRecord record{"10.0.0.5", MonitorStatus::CHECKING, MethodTcp, 443, "Web Server"};
    RunDoubleClickFile(
        DoubleClickFileCommand(Dir->path() + "/hosts/%ip/record-args.sh", "%ip %status", record));
    QCOMPARE(RecordedArguments(script), QStringList({"10.0.0.5", "CHECKING"}));
}

void TestFileStart::testButtonKeepsStatus() {
    const QString script = MakeScript(Dir->path() + "/bin");
    const CShellCommand command =
        TestFileCommand(script, "%ip %status %method %port %text", "10.0.0.5", MethodTcp, 443, "Web Server");
    QVERIFY(SystemShellStart().ShellOpen(command.File, command.Parameters));
    QCOMPARE(RecordedArguments(script), QStringList({"10.0.0.5", "%status", "TCP", "443", "Web-Server"}));
}

void TestFileStart::missingFileStartsNothing() {
    QVERIFY(!SystemShellStart().ShellOpen(Dir->path() + "/no-such-file", "a b"));
    QVERIFY(!SystemShellStart().ShellOpen("", "a b"));
    QVERIFY(!SystemShellStart().ShellOpen("pylarix-no-such-command-anywhere", ""));
    // A monitor's ExecFilePath is not expanded: "%ip" stays and nothing is found.
    const QString script = MakeScript(Dir->path() + "/10.0.0.5");
    const CStatusRecord record{"10.0.0.5", MonitorStatus::Down, MethodPing, 0, ""};
    const CShellCommand command = StatusFileCommand(Dir->path() + "/%ip/record-args.sh", "%ip", record);
    QVERIFY(!SystemShellStart().ShellOpen(command.File, command.Parameters));
    QTest::qWait(300);
    QVERIFY(!QFile::exists(Dir->path() + "/10.0.0.5/args"));
}

void TestFileStart::classify_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<ShellTargetKind>("kind");
    QTest::addColumn<QString>("path");
    QTest::newRow("script") << "@/bin/record-args.sh" << ShellTargetKind::Executable
                            << "@/bin/record-args.sh";
    QTest::newRow("on PATH") << "sh" << ShellTargetKind::Executable << QStandardPaths::findExecutable("sh");
    QTest::newRow("document") << "@/bin/notes.txt" << ShellTargetKind::Opener << "@/bin/notes.txt";
    QTest::newRow("folder") << "@/bin" << ShellTargetKind::Opener << "@/bin";
    QTest::newRow("url") << "https://router.lan/status" << ShellTargetKind::Opener
                         << "https://router.lan/status";
    QTest::newRow("share") << "smb://10.0.0.5/" << ShellTargetKind::Opener << "smb://10.0.0.5/";
    QTest::newRow("missing") << "@/bin/missing.exe" << ShellTargetKind::None << "";
    QTest::newRow("missing name") << "cmd-pylarix-missing" << ShellTargetKind::None << "";
    QTest::newRow("empty") << "" << ShellTargetKind::None << "";
}

void TestFileStart::classify() {
    QFETCH(QString, file);
    QFETCH(ShellTargetKind, kind);
    QFETCH(QString, path);
    MakeScript(Dir->path() + "/bin");
    QFile doc(Dir->path() + "/bin/notes.txt");
    QVERIFY(doc.open(QIODevice::WriteOnly));
    doc.close();
    file.replace('@', Dir->path());
    path.replace('@', Dir->path());
    const CShellTarget target = SystemShellStart().ClassifyShellTarget(file);
    QCOMPARE(target.Kind, kind);
    QCOMPARE(target.Path, path);
}

void TestFileStart::netMessageStarts() {
    const QString script = MakeScript(Dir->path() + "/bin");
    const CNetMessageSettings settings{script, DefaultSendNetMsgParam};
    QCOMPARE(SendNetMessage(settings, "10.0.0.7", "console", "Backup done"), QString());
    QCOMPARE(RecordedArguments(script).join(' '),
             QString("/K echo msg /V /SERVER:10.0.0.7 console Backup done & msg /V /SERVER:10.0.0.7 console "
                     "Backup done"));
}

void TestFileStart::netMessageMissingCommand_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("fresh configuration") << "";
    QTest::newRow("default cmd") << DefaultSendNetMsgComm;
    QTest::newRow("missing path") << "/nonexistent/pylarix/msg";
}

void TestFileStart::netMessageMissingCommand() {
    QFETCH(QString, command);
    QCOMPARE(SendNetMessage({command, DefaultSendNetMsgParam}, "10.0.0.7", "console", "Backup done"),
             QString("ERROR_FILE_NOT_FOUND."));
}

void TestFileStart::threadLimitEndsTheStartQuietly() {
    // A start that cannot get a thread is dropped like a start that fails; the program goes on.
    const int exitCode = RunWithoutThreads([] {
        SystemShellStart().ShellOpenDetached("/bin/true", QString());
        return 0;
    });
    QCOMPARE(exitCode, 0);
}

QTEST_GUILESS_MAIN(TestFileStart)
#include "tst_FileStart.moc"
