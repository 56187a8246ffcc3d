#include "config/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

constexpr int Sections = 12;
constexpr int Keys = 32;

QString Section(int s) {
    return QStringLiteral("Box %1").arg(s);
}
QString Key(int k) {
    return QStringLiteral("Key%1").arg(k);
}

} // namespace

class IniCrashSafetyTest : public QObject {
    Q_OBJECT

    // Starts the writer on a file that holds round 0 plus hand-written text around it, kills it
    // with SIGKILL after `delayMs`, and returns the values of every key in write order.
    QList<int> KillWriterAfter(const QString& mode, int delayMs, QByteArray* fileAfter) {
        QTemporaryDir dir;
        const QString path = dir.filePath("PylarixA.ini");
        // About a megabyte of hand-written notes makes every rewrite long enough to be cut.
        QByteArray initial = "; kept by hand\n";
        for (int i = 0; i < 12000; ++i)
            initial += "; note " + QByteArray::number(i) + " " + QByteArray(80, 'n') + "\n";
        initial += "[main]\nApp=Pylarix\nNote=\"  padded  \"\n";
        for (int s = 0; s < Sections; ++s) {
            initial += "\n[" + Section(s).toUtf8() + "]\n";
            for (int k = 0; k < Keys; ++k)
                initial += Key(k).toUtf8() + "=0\n";
            initial += "Padding=" + QByteArray(200, 'p') + "\n";
        }
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly))
                return {};
            f.write(initial);
        }
        QProcess writer;
        writer.setProgram(QCoreApplication::applicationDirPath() + "/ini_crash_writer");
        writer.setArguments({path, mode, QString::number(Sections), QString::number(Keys)});
        writer.start();
        if (!writer.waitForStarted(10000) || !writer.waitForReadyRead(10000)) {
            qWarning() << "writer did not start" << writer.errorString();
            return {};
        }
        QThread::msleep(static_cast<unsigned long>(delayMs));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished(10000);
        if (writer.exitStatus() != QProcess::CrashExit)
            qWarning() << "writer ended by itself" << writer.exitCode();

        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        *fileAfter = f.readAll();
        const CIniFile file(path);
        const CIniFile::Snapshot ini(file);
        QList<int> values;
        for (int s = 0; s < Sections; ++s)
            for (int k = 0; k < Keys; ++k)
                values << (ini.ReadString(Section(s), Key(k)).isEmpty() ? -1
                                                                        : ini.ReadInt(Section(s), Key(k)));
        // Everything the writer does not touch is still there.
        if (file.ReadString("main", "Note") != QLatin1String("  padded  ") ||
            ini.ReadString(Section(Sections - 1), "Padding") != QString(200, u'p') ||
            !fileAfter->startsWith("; kept by hand\n"))
            values << -2;
        // Any temporary file left by the kill stays in the same folder and is never an INI file.
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            if (name != QLatin1String("PylarixA.ini") && (name.endsWith(".ini") || !name.startsWith('.')))
                values << -3;
        return values;
    }

private slots:
    void killedWriterLeavesOldOrNewValues_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("delayMs");
        for (int i = 0; i < 12; ++i) {
            const int delay = 20 + static_cast<int>(QRandomGenerator::global()->bounded(400));
            QTest::addRow("one key at a time, %d ms", delay) << "keys" << delay;
        }
        for (int i = 0; i < 6; ++i) {
            const int delay = 20 + static_cast<int>(QRandomGenerator::global()->bounded(400));
            QTest::addRow("batches, %d ms", delay) << "batch" << delay;
        }
    }
    void killedWriterLeavesOldOrNewValues() {
        QFETCH(QString, mode);
        QFETCH(int, delayMs);
        QByteArray after;
        const QList<int> values = KillWriterAfter(mode, delayMs, &after);
        QCOMPARE(values.size(), Sections * Keys);

        // Every line still parses: a section header, a comment, a blank or key=value.
        for (const QByteArray& line : after.split('\n')) {
            const QByteArray t = line.trimmed();
            QVERIFY2(t.isEmpty() || t.startsWith('[') || t.startsWith(';') || t.indexOf('=') > 0,
                     line.constData());
        }
        // Writes run in key order: the keys written in the round that was cut hold the new value,
        // the rest the old one (one less). A batch round stores all keys at once.
        const int newest = values.front();
        QVERIFY2(newest >= 0, "the first key is missing");
        int boundary = 0;
        while (boundary < values.size() && values[boundary] == newest)
            ++boundary;
        for (int i = boundary; i < values.size(); ++i)
            QCOMPARE(values[i], newest - 1);
        if (mode == QLatin1String("batch"))
            QCOMPARE(boundary, values.size());
        qInfo("kill after %d ms: round %d, %d of %lld keys written", delayMs, newest, boundary,
              static_cast<long long>(values.size()));
    }
};

QTEST_GUILESS_MAIN(IniCrashSafetyTest)
#include "tst_IniCrashSafety.moc"
