#include "config/Autostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Entry(const QByteArray& body) {
    return "[Desktop Entry]\nType=Application\nName=Pylarix\n" + body;
}

} // namespace

class TestAutostart : public QObject {
    Q_OBJECT
private slots:
    void entryPath() {
        QCOMPARE(AutostartEntryPathIn("/home/u/.config"),
                 QString("/home/u/.config/autostart/Pylarix.desktop"));
    }

    void entryTextStartsItsProgram_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("execLine");
        QTest::newRow("plain") << "/usr/bin/pylarix" << QByteArray("Exec=/usr/bin/pylarix");
        QTest::newRow("blank") << "/opt/my apps/pylarix" << QByteArray("Exec=\"/opt/my apps/pylarix\"");
        QTest::newRow("quote and dollar") << "/opt/a\"b$c/p" << QByteArray("Exec=\"/opt/a\\\\\"b\\\\$c/p\"");
        QTest::newRow("backslash") << "/opt/a\\b/p" << QByteArray("Exec=\"/opt/a\\\\\\\\b/p\"");
        QTest::newRow("percent") << "/opt/100%/p" << QByteArray("Exec=/opt/100%%/p");
        QTest::newRow("non-ASCII") << QString::fromUtf8("/opt/Prüfung/pylarix")
                                   << QString::fromUtf8("Exec=/opt/Prüfung/pylarix").toUtf8();
    }
    void entryTextStartsItsProgram() {
        QFETCH(QString, program);
        QFETCH(QByteArray, execLine);
        const QByteArray text = AutostartEntryText(program);
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.value(0), QByteArray("[Desktop Entry]"));
        QVERIFY(lines.contains("Type=Application"));
        QVERIFY(lines.contains("Name=Pylarix"));
        QVERIFY2(lines.contains(execLine), text.constData());
        QVERIFY(AutostartEntryStarts(text, program));
        QVERIFY(!AutostartEntryStarts(text, program + "x"));
    }

    void entryRecognised_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("starts");
        QTest::newRow("same path") << Entry("Exec=/opt/Pylarix/pylarix\n") << true;
        QTest::newRow("other case") << Entry("Exec=/OPT/pylarix/PYLARIX\n") << true;
        QTest::newRow("CRLF lines") << QByteArray("[Desktop Entry]\r\nExec=/opt/Pylarix/pylarix\r\n") << true;
        QTest::newRow("quoted") << Entry("Exec=\"/opt/Pylarix/pylarix\"\n") << true;
        QTest::newRow("trailing blank as \\s") << Entry("Exec=/opt/Pylarix/pylarix\\s\n") << true;
        QTest::newRow("program moved") << Entry("Exec=/usr/local/bin/pylarix\n") << false;
        QTest::newRow("with an argument") << Entry("Exec=/opt/Pylarix/pylarix --x\n") << false;
        QTest::newRow("hidden entry") << Entry("Exec=/opt/Pylarix/pylarix\nHidden=true\n") << false;
        QTest::newRow("shown entry") << Entry("Exec=/opt/Pylarix/pylarix\nHidden=false\n") << true;
        QTest::newRow("Exec of another group") << QByteArray("[Desktop Entry]\nName=P\n[Desktop Action x]\n"
                                                             "Exec=/opt/Pylarix/pylarix\n")
                                               << false;
        QTest::newRow("no Exec") << Entry("") << false;
        QTest::newRow("broken quotes") << Entry("Exec=\"/opt/Pylarix/pylarix\n") << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }
    void entryRecognised() {
        QFETCH(QByteArray, text);
        QTEST(AutostartEntryStarts(text, "/opt/Pylarix/pylarix"), "starts");
    }

    void readWriteRemove() {
        QTemporaryDir dir;
        const QString entry = AutostartEntryPathIn(dir.filePath("config"));
        const QString program = "/opt/Pylarix/pylarix";
        QCOMPARE(ReadStartAtLogin(entry, program), std::optional<bool>(false));
        // The autostart folder does not exist yet.
        QVERIFY(WriteStartAtLogin(entry, true, program));
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), AutostartEntryText(program));
        file.close();
        QCOMPARE(ReadStartAtLogin(entry, program), std::optional<bool>(true));
        QCOMPARE(ReadStartAtLogin(entry, "/elsewhere/pylarix"), std::optional<bool>(false));
        // Written again for the moved program: the entry now names the new path only.
        QVERIFY(WriteStartAtLogin(entry, true, "/elsewhere/pylarix"));
        QCOMPARE(ReadStartAtLogin(entry, program), std::optional<bool>(false));
        QCOMPARE(ReadStartAtLogin(entry, "/elsewhere/pylarix"), std::optional<bool>(true));
        QVERIFY(WriteStartAtLogin(entry, false, program));
        QVERIFY(!QFile::exists(entry));
        QVERIFY(WriteStartAtLogin(entry, false, program)); // nothing to remove
        QVERIFY(QDir(dir.filePath("config/autostart")).isEmpty());
    }

    void unknownOrUnwritable() {
        QTemporaryDir dir;
        QCOMPARE(ReadStartAtLogin(QString(), "/p"), std::optional<bool>());
        QVERIFY(!WriteStartAtLogin(QString(), true, "/p"));
        // A folder where the entry should be cannot be read: the caller keeps what it had.
        const QString folderEntry = AutostartEntryPathIn(dir.filePath("a"));
        QVERIFY(QDir().mkpath(folderEntry));
        QCOMPARE(ReadStartAtLogin(folderEntry, "/p"), std::optional<bool>());
        QVERIFY(!WriteStartAtLogin(folderEntry, true, "/p"));
        // A file where the autostart folder should be: nothing can be written, quietly.
        QFile blocker(dir.filePath("b/autostart"));
        QVERIFY(QDir().mkpath(dir.filePath("b")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!WriteStartAtLogin(AutostartEntryPathIn(dir.filePath("b")), true, "/p"));
        QCOMPARE(ReadStartAtLogin(AutostartEntryPathIn(dir.filePath("b")), "/p"), std::optional<bool>(false));
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_Autostart.moc"
