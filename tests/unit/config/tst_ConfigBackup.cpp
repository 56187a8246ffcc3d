#include "config/ConfigBackup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestFiles.h"

#include <sys/stat.h>

namespace {

const QByteArray Live = "[main]\nApp=Pylarix\nNumBox=2\nPosX=10\n[Box 0]\nText=a\n[Box 1]\nText=b\n";

} // namespace

class ConfigBackupTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString ConfigPath;

private slots:
    void init() {
        QVERIFY(Dir.isValid());
        ConfigPath = Dir.filePath(QStringLiteral("%1-PylarixA.ini").arg(QTest::currentTestFunction()));
    }

    void backupCopiesTheLiveFile() {
        WriteBytes(ConfigPath, Live);
        CIniFile config(ConfigPath);
        const QString target = Dir.filePath("backup.ini");
        WriteBytes(target, "old backup");
        const CConfigCommandOutcome out = BackupConfig(config, target);
        QCOMPARE(out.Message, QString());
        QVERIFY(!out.Reload);
        QCOMPARE(ReadBytes(target), Live);
        QCOMPARE(ReadBytes(ConfigPath), Live);
    }

    void backupWritesTheMarkerFirst_data() {
        QTest::addColumn<QByteArray>("live");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("removed by hand")
            << QByteArray("[main]\nNumBox=1\n") << QByteArray("[main]\nNumBox=1\nApp=Pylarix\n");
        QTest::newRow("other case") << QByteArray("[main]\nApp=PYLARIX\n")
                                    << QByteArray("[main]\nApp=Pylarix\n");
    }
    void backupWritesTheMarkerFirst() {
        QFETCH(QByteArray, live);
        QFETCH(QByteArray, expected);
        WriteBytes(ConfigPath, live);
        CIniFile config(ConfigPath);
        const QString target = Dir.filePath("marked.ini");
        QCOMPARE(BackupConfig(config, target).Message, QString());
        QCOMPARE(ReadBytes(ConfigPath), expected);
        QCOMPARE(ReadBytes(target), expected);
        // The backup is restorable.
        const QString other = Dir.filePath("restored-live.ini");
        WriteBytes(other, "[main]\nApp=Pylarix\n");
        const CConfigCommandOutcome restore = RestoreConfig(target, other);
        QVERIFY(restore.Reload);
        QCOMPARE(ReadBytes(other), expected);
    }

    void backupFailureGivesTheSystemText_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "nowhere/backup.ini"
                                        << "No such file or directory";
        QTest::newRow("a folder") << "."
                                  << "Is a directory";
    }
    void backupFailureGivesTheSystemText() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        WriteBytes(ConfigPath, Live);
        CIniFile config(ConfigPath);
        const CConfigCommandOutcome out = BackupConfig(config, Dir.filePath(target));
        QCOMPARE(out.Message, message);
        QVERIFY(!out.Reload);
        QCOMPARE(ReadBytes(ConfigPath), Live);
    }

    void backupOfAMissingLiveFile() {
        CIniFile config(Dir.filePath("gone/PylarixA.ini"));
        const QString target = Dir.filePath("never.ini");
        const CConfigCommandOutcome out = BackupConfig(config, target);
        QCOMPARE(out.Message, QStringLiteral("No such file or directory"));
        QVERIFY(!QFile::exists(target));
    }

    void restore_data() {
        QTest::addColumn<QByteArray>("source"); // "<missing>": no file at the path
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("reload");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("valid") << QByteArray("[main]\nApp=Pylarix\nNumBox=5\n") << "" << true << true;
        QTest::newRow("marker in another section only")
            << QByteArray("[other]\nApp=Pylarix\n") << "Restored config file is not valid." << false << false;
        QTest::newRow("marker in other case")
            << QByteArray("[main]\nApp=pylarix\n") << "Restored config file is not valid." << false << false;
        QTest::newRow("no marker") << QByteArray("[main]\nNumBox=5\n") << "Restored config file is not valid."
                                   << false << false;
        QTest::newRow("not an INI file") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)
                                         << "Restored config file is not valid." << false << false;
        QTest::newRow("empty file") << QByteArray() << "Restored config file is not valid." << false << false;
        QTest::newRow("missing file ends silently") << QByteArray("<missing>") << "" << false << false;
        QTest::newRow("section and key names in other case")
            << QByteArray("[MAIN]\napp=Pylarix\n") << "" << true << true;
    }
    void restore() {
        QFETCH(QByteArray, source);
        QFETCH(QString, message);
        QFETCH(bool, reload);
        QFETCH(bool, replaced);
        WriteBytes(ConfigPath, Live);
        const QString sourcePath = Dir.filePath("chosen.ini");
        QFile::remove(sourcePath);
        if (source != "<missing>")
            WriteBytes(sourcePath, source);
        const CConfigCommandOutcome out = RestoreConfig(sourcePath, ConfigPath);
        QCOMPARE(out.Message, message);
        QCOMPARE(out.Reload, reload);
        QCOMPARE(ReadBytes(ConfigPath), replaced ? source : Live);
    }

    void restoreOfAFolder() {
        WriteBytes(ConfigPath, Live);
        const CConfigCommandOutcome out = RestoreConfig(Dir.path(), ConfigPath);
        QCOMPARE(out.Message, QStringLiteral("Restored config file is not valid."));
        QVERIFY(!out.Reload);
        QCOMPARE(ReadBytes(ConfigPath), Live);
    }

    void backupAndRestoreNeverWaitOnAFifo() {
        const QString fifo = Dir.filePath("pipe.ini");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
        WriteBytes(ConfigPath, Live);
        const CConfigCommandOutcome restore = RestoreConfig(fifo, ConfigPath);
        QCOMPARE(restore.Message, QStringLiteral("Restored config file is not valid."));
        QCOMPARE(ReadBytes(ConfigPath), Live);
        CIniFile pipeAsLive(fifo);
        const CConfigCommandOutcome backup = BackupConfig(pipeAsLive, Dir.filePath("from-pipe.ini"));
        QCOMPARE(backup.Message, QStringLiteral("Invalid argument"));
        QVERIFY(!QFile::exists(Dir.filePath("from-pipe.ini")));
        CIniFile folderAsLive(Dir.path());
        QCOMPARE(BackupConfig(folderAsLive, Dir.filePath("from-folder.ini")).Message,
                 QStringLiteral("Is a directory"));
    }

    void restoreCopyFailureStillReloads() {
        const QString source = Dir.filePath("valid.ini");
        WriteBytes(source, "[main]\nApp=Pylarix\n");
        const CConfigCommandOutcome out = RestoreConfig(source, Dir.filePath("missing/PylarixA.ini"));
        QCOMPARE(out.Message, QStringLiteral("No such file or directory"));
        QVERIFY(out.Reload);
    }

    void restoreOverAReadOnlyLiveFile() {
        WriteBytes(ConfigPath, Live);
        QVERIFY(::chmod(QFile::encodeName(ConfigPath).constData(), 0444) == 0);
        const QString source = Dir.filePath("valid2.ini");
        WriteBytes(source, "[main]\nApp=Pylarix\nNumBox=9\n");
        const CConfigCommandOutcome out = RestoreConfig(source, ConfigPath);
        QCOMPARE(out.Message, QStringLiteral("Permission denied"));
        QVERIFY(out.Reload);
        QCOMPARE(ReadBytes(ConfigPath), Live);
    }

    void resetDeletesTheLiveFile() {
        WriteBytes(ConfigPath, Live);
        const QString mainIni = Dir.filePath("Main.ini");
        WriteBytes(mainIni, "[main]\nHideTaskBarButton=1\n");
        const CConfigCommandOutcome out = ResetConfig(ConfigPath);
        QCOMPARE(out.Message, QString());
        QVERIFY(out.Reload);
        QVERIFY(!QFile::exists(ConfigPath));
        QVERIFY(QFile::exists(mainIni));
    }

    void resetOfAFileAlreadyGone() {
        const CConfigCommandOutcome out = ResetConfig(ConfigPath);
        QCOMPARE(out.Message, QString());
        QVERIFY(out.Reload);
    }

    void resetThatCannotDelete() {
        // A folder in the file's place cannot be deleted as a file.
        QVERIFY(QDir().mkpath(ConfigPath));
        WriteBytes(ConfigPath + "/inside", "x");
        const CConfigCommandOutcome out = ResetConfig(ConfigPath);
        QCOMPARE(out.Message, QStringLiteral("Can't delete Pylarix.ini file."));
        QVERIFY(!out.Reload);
        QVERIFY(QFile::exists(ConfigPath + "/inside"));
    }

    void copyReplacesAtomicallyAndKeepsTheMode() {
        const QString source = Dir.filePath("src.ini");
        const QString target = Dir.filePath("dst.ini");
        WriteBytes(source, QByteArray(100000, 'x'));
        WriteBytes(target, "old");
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0600) == 0);
        QString error = "unchanged";
        QVERIFY(CopyFileReplacing(source, target, &error));
        QCOMPARE(error, QStringLiteral("unchanged"));
        QCOMPARE(ReadBytes(target), QByteArray(100000, 'x'));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, 0600u);
        QVERIFY(!CopyFileReplacing(Dir.filePath("nope.ini"), target, &error));
        QCOMPARE(error, QStringLiteral("No such file or directory"));
        QCOMPARE(ReadBytes(target), QByteArray(100000, 'x'));
        QVERIFY(CopyFileReplacing(target, target, &error));
        QCOMPARE(ReadBytes(target), QByteArray(100000, 'x'));
    }
};

QTEST_GUILESS_MAIN(ConfigBackupTest)
#include "tst_ConfigBackup.moc"
