#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestFiles.h"

#include <limits>
#include <sys/stat.h>

namespace {

// One write of a sequence, for comparing the batched and the one-by-one paths.
struct CWrite {
    enum Kind { String, Signed, Unsigned } What;
    QString Section;
    QString Key;
    QString Text;
    std::int32_t IntValue = 0;
    std::uint32_t UIntValue = 0;
};

} // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class IniFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;

    QString FileWith(const QByteArray& bytes) {
        static int counter = 0;
        const QString path = Dir.filePath(QStringLiteral("f%1.ini").arg(++counter));
        WriteBytes(path, bytes);
        return path;
    }

    QString NewPath() {
        static int counter = 0;
        return Dir.filePath(QStringLiteral("new%1.ini").arg(++counter));
    }

private slots:
    void initTestCase() { QVERIFY(Dir.isValid()); }

    void readInt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("hex prefix is not read") << "0x1F" << 0;
        QTest::newRow("leading zero stays decimal") << "010" << 10;
        QTest::newRow("digits up to the first non-digit") << "42abc" << 42;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("saturates high") << "99999999999" << std::numeric_limits<int>::max();
        QTest::newRow("saturates low") << "-99999999999" << std::numeric_limits<int>::min();
        QTest::newRow("just past the top") << "2147483648" << std::numeric_limits<int>::max();
        QTest::newRow("top") << "2147483647" << 2147483647;
        QTest::newRow("bottom") << "-2147483648" << std::numeric_limits<int>::min();
        QTest::newRow("just past the bottom") << "-2147483649" << std::numeric_limits<int>::min();
        QTest::newRow("minus") << "-42" << -42;
        QTest::newRow("plus") << "+7" << 7;
        QTest::newRow("sign alone") << "-" << 0;
        QTest::newRow("blank after the sign") << "- 5" << 0;
        QTest::newRow("exponent is not read") << "1e3" << 1;
        QTest::newRow("decimal point stops") << "12.9" << 12;
        QTest::newRow("non-ASCII digits are not digits") << QString::fromUtf8("\u0663") << 0;
        QTest::newRow("very long digit run") << QString(500, u'9') << std::numeric_limits<int>::max();
    }
    void readInt() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const CIniFile ini(FileWith("[s]\nk=" + text.toUtf8() + "\n"));
        QCOMPARE(ini.ReadInt("s", "k"), expected);
        QCOMPARE(ParseIniInt(text), expected);
    }

    void parseLeadingWhiteSpace_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<uint>("asUInt");
        QTest::newRow("blank") << " 42abc" << 42 << 42u;
        QTest::newRow("tab and sign") << "\t-5" << -5 << 4294967291u;
        QTest::newRow("only blanks") << "   " << 0 << 0u;
        QTest::newRow("vertical tab and form feed") << "\v\f0x10" << 0 << 16u;
    }
    void parseLeadingWhiteSpace() {
        QFETCH(QString, text);
        QFETCH(int, asInt);
        QFETCH(uint, asUInt);
        QCOMPARE(ParseIniInt(text), asInt);
        QCOMPARE(ParseIniUInt(text), asUInt);
    }

    void readUInt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("expected");
        QTest::newRow("hex") << "0x1F" << 31u;
        QTest::newRow("hex upper prefix") << "0X10" << 16u;
        QTest::newRow("hex digits either case") << "0xaB" << 171u;
        QTest::newRow("octal") << "010" << 8u;
        QTest::newRow("octal stops at 8") << "018" << 1u;
        QTest::newRow("zero then nine") << "09" << 0u;
        QTest::newRow("decimal") << "80" << 80u;
        QTest::newRow("minus one wraps") << "-1" << 4294967295u;
        QTest::newRow("minus hex wraps") << "-0x10" << 4294967280u;
        QTest::newRow("top") << "4294967295" << 4294967295u;
        QTest::newRow("beyond 32 bits") << "4294967296" << 4294967295u;
        QTest::newRow("far beyond") << "99999999999999999999999" << 4294967295u;
        QTest::newRow("negative beyond 32 bits") << "-99999999999" << 4294967295u;
        QTest::newRow("hex beyond 32 bits") << "0x100000000" << 4294967295u;
        QTest::newRow("prefix without hex digit") << "0x" << 0u;
        QTest::newRow("prefix then non-hex") << "0xg1" << 0u;
        QTest::newRow("plus") << "+12" << 12u;
        QTest::newRow("no digits") << "abc" << 0u;
        QTest::newRow("empty") << "" << 0u;
        QTest::newRow("trailing text") << "5kg" << 5u;
    }
    void readUInt() {
        QFETCH(QString, text);
        QFETCH(uint, expected);
        const CIniFile ini(FileWith("[s]\nk=" + text.toUtf8() + "\n"));
        QCOMPARE(ini.ReadUInt("s", "k"), expected);
        QCOMPARE(ParseIniUInt(text), expected);
    }

    void readUIntDefault_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<uint>("expected");
        QTest::newRow("key absent") << QByteArray("[s]\nother=1\n") << 65535u;
        QTest::newRow("section absent") << QByteArray("[t]\nk=5\n") << 65535u;
        QTest::newRow("present and empty") << QByteArray("[s]\nk=\n") << 0u;
        QTest::newRow("present, only blanks") << QByteArray("[s]\nk=   \n") << 0u;
        QTest::newRow("present") << QByteArray("[s]\nk=5\n") << 5u;
        QTest::newRow("malformed is not the default") << QByteArray("[s]\nk=abc\n") << 0u;
        QTest::newRow("hex") << QByteArray("[s]\nk=0x50\n") << 80u;
        QTest::newRow("line without equals is no key") << QByteArray("[s]\nk\n") << 65535u;
    }
    void readUIntDefault() {
        QFETCH(QByteArray, content);
        QFETCH(uint, expected);
        const CIniFile ini(FileWith(content));
        QCOMPARE(ini.ReadUIntDefault("s", "k", 65535), expected);
    }

    void missingFileReadsAbsentAndStaysMissing() {
        const QString path = NewPath();
        const CIniFile ini(path);
        QCOMPARE(ini.ReadString("s", "k"), QString());
        QCOMPARE(ini.ReadInt("s", "k"), 0);
        QCOMPARE(ini.ReadUInt("s", "k"), 0u);
        QCOMPARE(ini.ReadUIntDefault("s", "k", 7), 7u);
        QVERIFY(!QFile::exists(path));
        const CIniFile unbound;
        QCOMPARE(unbound.ReadUIntDefault("s", "k", 9), 9u);
        QVERIFY(!unbound.Exists());
    }

    void folderReadsAsMissingFile() {
        const QString folder = Dir.filePath("afolder.ini");
        QVERIFY(QDir().mkpath(folder));
        const CIniFile ini(folder);
        QVERIFY(ini.Exists());
        QCOMPARE(ini.ReadUIntDefault("s", "k", 3), 3u);
        CIniFile writer(folder);
        QVERIFY(!writer.WriteString("s", "k", "v"));
        QVERIFY(QFileInfo(folder).isDir());
    }

    void specialFilesAreNeitherReadNorReplaced() {
        const QString fifo = Dir.filePath("fifo.ini");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
        CIniFile ini(fifo);
        QCOMPARE(ini.ReadUIntDefault("s", "k", 5), 5u);
        QCOMPARE(CIniFile::Snapshot(ini).ReadString("s", "k"), QString());
        QVERIFY(!ini.WriteString("s", "k", "v"));
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    }

    void linkChainsReachTheFile() {
        const QString real = Dir.filePath("chain-real.ini");
        WriteBytes(real, "[s]\nk=1\n");
        QVERIFY(QFile::link(real, Dir.filePath("chain-1.ini")));
        QVERIFY(QFile::link(Dir.filePath("chain-1.ini"), Dir.filePath("chain-2.ini")));
        CIniFile ini(Dir.filePath("chain-2.ini"));
        QVERIFY(ini.WriteInt("s", "k", 2));
        QVERIFY(QFileInfo(Dir.filePath("chain-1.ini")).isSymLink());
        QVERIFY(QFileInfo(Dir.filePath("chain-2.ini")).isSymLink());
        QCOMPARE(ReadBytes(real), QByteArray("[s]\nk=2\n"));
    }

    void readLength_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("300 characters") << QString(300, u'a') << QString(255, u'a');
        QTest::newRow("255 characters") << QString(255, u'b') << QString(255, u'b');
        QTest::newRow("256 characters") << QString(256, u'c') << QString(255, u'c');
        const QString emoji = QString::fromUtf8("\U0001F600");
        QTest::newRow("pair across the cut is dropped whole")
            << QString(254, u'd') + emoji + "tail" << QString(254, u'd');
        QTest::newRow("pair just inside the cut is kept")
            << QString(253, u'e') + emoji + "tail" << QString(253, u'e') + emoji;
        QTest::newRow("Latin-1 letters count as one")
            << QString(300, QChar(0xE9)) << QString(255, QChar(0xE9));
    }
    void readLength() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        CIniFile ini(NewPath());
        QVERIFY(ini.WriteString("s", "k", stored));
        QCOMPARE(ini.ReadString("s", "k"), expected);
        // The file keeps the whole value; only the read is cut.
        QVERIFY(QString::fromUtf8(ReadBytes(ini.Path)).contains(stored));
    }

    void readLengthAppliesBeforeParsing() {
        // 255 digits then more: the cut happens first, the number still saturates.
        CIniFile ini(NewPath());
        QVERIFY(ini.WriteString("s", "k", QString(254, u'0') + "12"));
        QCOMPARE(ini.ReadUInt("s", "k"), 1u); // octal "0...01" (the "2" is cut away)
        QCOMPARE(ini.ReadInt("s", "k"), 1);
    }

    void parsing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<std::optional<QString>>("expected");
        const auto v = [](const char* s) { return std::optional<QString>(QString::fromUtf8(s)); };
        const std::optional<QString> none;
        QTest::newRow("plain") << QByteArray("[main]\nNumBox=3\n") << "main"
                               << "NumBox" << v("3");
        QTest::newRow("section case") << QByteArray("[MAIN]\nNumBox=3\n") << "main"
                                      << "NumBox" << v("3");
        QTest::newRow("key case") << QByteArray("[main]\nNUMBOX=3\n") << "Main"
                                  << "numbox" << v("3");
        QTest::newRow("non-ASCII case") << QByteArray("[\xC3\x89T\xC3\x89]\nK=1\n")
                                        << QString::fromUtf8("\u00e9t\u00e9") << "k" << v("1");
        QTest::newRow("blanks around names and value")
            << QByteArray("  [ main ]  \n  NumBox  =  3  \n") << "main"
            << "NumBox" << v("3");
        QTest::newRow("quotes removed") << QByteArray("[s]\nk=\"  padded  \"\n") << "s"
                                        << "k" << v("  padded  ");
        QTest::newRow("single quote kept") << QByteArray("[s]\nk=\"open\n") << "s"
                                           << "k" << v("\"open");
        QTest::newRow("equals in value") << QByteArray("[s]\nk=a=b\n") << "s"
                                         << "k" << v("a=b");
        QTest::newRow("semicolon in value") << QByteArray("[s]\nk=a;b\n") << "s"
                                            << "k" << v("a;b");
        QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << "s"
                                     << "k" << v("");
        QTest::newRow("first duplicate key wins") << QByteArray("[s]\nk=1\nk=2\n") << "s"
                                                  << "k" << v("1");
        QTest::newRow("first duplicate section wins") << QByteArray("[s]\na=1\n[t]\nk=9\n[s]\nk=2\n") << "s"
                                                      << "k" << none;
        QTest::newRow("key of another section") << QByteArray("[a]\nk=1\n[b]\n") << "b"
                                                << "k" << none;
        QTest::newRow("key before any section") << QByteArray("k=1\n[s]\n") << "s"
                                                << "k" << none;
        QTest::newRow("comment semicolon") << QByteArray("[s]\n;k=1\n") << "s"
                                           << "k" << none;
        QTest::newRow("comment hash") << QByteArray("[s]\n# k=1\nk=2\n") << "s"
                                      << "k" << v("2");
        QTest::newRow("commented section header") << QByteArray("[s]\nk=1\n;[t]\nj=2\n") << "s"
                                                  << "j" << v("2");
        QTest::newRow("line without equals") << QByteArray("[s]\nk\nk=5\n") << "s"
                                             << "k" << v("5");
        QTest::newRow("empty key ignored") << QByteArray("[s]\n=5\n") << "s"
                                           << "" << none;
        QTest::newRow("header without bracket") << QByteArray("[s\nk=1\n") << "s"
                                                << "k" << v("1");
        QTest::newRow("text after header") << QByteArray("[s] trailing\nk=1\n") << "s"
                                           << "k" << v("1");
        QTest::newRow("CRLF") << QByteArray("[s]\r\nk=abc\r\n") << "s"
                              << "k" << v("abc");
        QTest::newRow("no final line break") << QByteArray("[s]\nk=abc") << "s"
                                             << "k" << v("abc");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[s]\nk=1\n") << "s"
                                         << "k" << v("1");
        QTest::newRow("UTF-8") << QByteArray("[s]\nk=\xC3\xA9t\xC3\xA9\n") << "s"
                               << "k" << v("\u00e9t\u00e9");
        QTest::newRow("not UTF-8 reads as Latin-1") << QByteArray("[s]\nk=\xE9t\xE9\n") << "s"
                                                    << "k" << v("\u00e9t\u00e9");
        QTest::newRow("truncated UTF-8 sequence reads as Latin-1") << QByteArray("[s]\nk=\xC3\n") << "s"
                                                                   << "k" << v("\u00c3");
        QTest::newRow("encoded surrogate is not UTF-8") << QByteArray("[s]\nk=\xED\xA0\x80\n") << "s"
                                                        << "k" << v("\u00ed\u00a0\u0080");
        QTest::newRow("overlong encoding is not UTF-8") << QByteArray("[s]\nk=\xC0\xAF\n") << "s"
                                                        << "k" << v("\u00c0\u00af");
        QTest::newRow("NUL inside value") << QByteArray("[s]\nk=a\0b\n", 10) << "s"
                                          << "k" << std::optional<QString>(QString::fromLatin1("a\0b", 3));
        QTest::newRow("empty file") << QByteArray() << "s"
                                    << "k" << none;
        QTest::newRow("blank lines") << QByteArray("\n\n[s]\n\n\nk=1\n\n") << "s"
                                     << "k" << v("1");
    }
    void parsing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(std::optional<QString>, expected);
        const CIniFile ini(FileWith(content));
        QCOMPARE(ini.ReadString(section, key), expected.value_or(QString()));
        QCOMPARE(ini.ReadUIntDefault(section, key, 4242) == 4242u, !expected.has_value());
        const CIniFile::Snapshot snapshot(ini);
        QCOMPARE(snapshot.ReadString(section, key), ini.ReadString(section, key));
        QCOMPARE(snapshot.ReadInt(section, key), ini.ReadInt(section, key));
        QCOMPARE(snapshot.ReadUInt(section, key), ini.ReadUInt(section, key));
        QCOMPARE(snapshot.ReadUIntDefault(section, key, 4242), ini.ReadUIntDefault(section, key, 4242));
    }

    void snapshotIsOneReading() {
        CIniFile ini(NewPath());
        const CIniFile::Snapshot none(ini);
        QCOMPARE(none.ReadUIntDefault("s", "k", 8), 8u);
        QCOMPARE(none.ReadString("s", "k"), QString());
        QVERIFY(ini.WriteString("s", "k", QString(300, u'v')));
        const CIniFile::Snapshot taken(ini);
        QVERIFY(ini.WriteString("s", "k", "later"));
        QCOMPARE(taken.ReadString("s", "k"), QString(255, u'v'));
        QCOMPARE(CIniFile::Snapshot(ini).ReadString("s", "k"), QStringLiteral("later"));
    }

    void writes_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty file") << QByteArray() << "s"
                                    << "k"
                                    << "v" << QByteArray("[s]\nk=v\n");
        QTest::newRow("replace in place keeps the rest")
            << QByteArray("; hand notes\n[s]\na=1\nk = old ; note\nz=3\n\n[t]\nk=x\n") << "s"
            << "k"
            << "new" << QByteArray("; hand notes\n[s]\na=1\nk=new\nz=3\n\n[t]\nk=x\n");
        QTest::newRow("hand-written key spelling kept") << QByteArray("[MAIN]\nNUMBOX=3\n") << "main"
                                                        << "NumBox"
                                                        << "4" << QByteArray("[MAIN]\nNUMBOX=4\n");
        QTest::newRow("new key after the last entry of its section")
            << QByteArray("[s]\na=1\n\n; about t\n[t]\nb=2\n") << "s"
            << "k"
            << "v" << QByteArray("[s]\na=1\nk=v\n\n; about t\n[t]\nb=2\n");
        QTest::newRow("new key into an empty section") << QByteArray("[s]\n[t]\nb=2\n") << "s"
                                                       << "k"
                                                       << "v" << QByteArray("[s]\nk=v\n[t]\nb=2\n");
        QTest::newRow("new section at the end after a blank line")
            << QByteArray("[s]\na=1\n") << "t"
            << "k"
            << "v" << QByteArray("[s]\na=1\n\n[t]\nk=v\n");
        QTest::newRow("no final line break") << QByteArray("[s]\na=1") << "s"
                                             << "k"
                                             << "v" << QByteArray("[s]\na=1\nk=v\n");
        QTest::newRow("CRLF kept") << QByteArray("[s]\r\na=1\r\n") << "t"
                                   << "k"
                                   << "v" << QByteArray("[s]\r\na=1\r\n\r\n[t]\r\nk=v\r\n");
        QTest::newRow("CRLF replace") << QByteArray("[s]\r\nk=1\r\nz=2\r\n") << "S"
                                      << "K"
                                      << "9" << QByteArray("[s]\r\nk=9\r\nz=2\r\n");
        QTest::newRow("byte order mark kept") << QByteArray("\xEF\xBB\xBF[s]\nk=1\n") << "s"
                                              << "k"
                                              << "2" << QByteArray("\xEF\xBB\xBF[s]\nk=2\n");
        QTest::newRow("Latin-1 file rewritten as UTF-8")
            << QByteArray("[s]\nname=caf\xE9\n") << "s"
            << "k" << QString::fromUtf8("\u00fc") << QByteArray("[s]\nname=caf\xC3\xA9\nk=\xC3\xBC\n");
        QTest::newRow("only the first duplicate is replaced") << QByteArray("[s]\nk=1\nk=2\n") << "s"
                                                              << "k"
                                                              << "3" << QByteArray("[s]\nk=3\nk=2\n");
        QTest::newRow("first duplicate section takes the key")
            << QByteArray("[s]\na=1\n[s]\nb=2\n") << "s"
            << "k"
            << "v" << QByteArray("[s]\na=1\nk=v\n[s]\nb=2\n");
        QTest::newRow("outer blanks are quoted") << QByteArray() << "s"
                                                 << "k"
                                                 << " v " << QByteArray("[s]\nk=\" v \"\n");
        QTest::newRow("line break becomes a blank") << QByteArray("[s]\nk=1\n") << "s"
                                                    << "k"
                                                    << "a\r\nb=2" << QByteArray("[s]\nk=a  b=2\n");
        QTest::newRow("entries before any section untouched") << QByteArray("k=0\n[s]\n") << "s"
                                                              << "k"
                                                              << "1" << QByteArray("k=0\n[s]\nk=1\n");
    }
    void writes() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        CIniFile ini(FileWith(before));
        QVERIFY(ini.WriteString(section, key, value));
        QCOMPARE(ReadBytes(ini.Path), after);
    }

    void createOnWrite() {
        CIniFile ini(NewPath());
        QVERIFY(!ini.Exists());
        QVERIFY(ini.WriteInt("Box 0", "Port", 80));
        QVERIFY(ini.Exists());
        QCOMPARE(ReadBytes(ini.Path), QByteArray("[Box 0]\nPort=80\n"));
    }

    void numberFormats_data() {
        QTest::addColumn<bool>("unsignedWrite");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<uint>("asUInt");
        QTest::newRow("colour by WriteInt")
            << false << qint64(16699845) << "16699845" << 16699845 << 16699845u;
        QTest::newRow("colour by WriteUInt")
            << true << qint64(16699845) << "16699845" << 16699845 << 16699845u;
        QTest::newRow("all bits by WriteUInt")
            << true << qint64(4294967295) << "4294967295" << 2147483647 << 4294967295u;
        QTest::newRow("all bits by WriteInt") << false << qint64(-1) << "-1" << -1 << 4294967295u;
        QTest::newRow("lowest int") << false << qint64(-2147483648) << "-2147483648" << (-2147483647 - 1)
                                    << 2147483648u;
        QTest::newRow("zero") << true << qint64(0) << "0" << 0 << 0u;
        QTest::newRow("top bit by WriteUInt")
            << true << qint64(2147483648) << "2147483648" << 2147483647 << 2147483648u;
    }
    void numberFormats() {
        QFETCH(bool, unsignedWrite);
        QFETCH(qint64, value);
        QFETCH(QString, text);
        QFETCH(int, asInt);
        QFETCH(uint, asUInt);
        CIniFile ini(NewPath());
        QVERIFY(unsignedWrite ? ini.WriteUInt("s", "k", static_cast<std::uint32_t>(value))
                              : ini.WriteInt("s", "k", static_cast<std::int32_t>(value)));
        QCOMPARE(ReadBytes(ini.Path), "[s]\nk=" + text.toUtf8() + "\n");
        QCOMPARE(ini.ReadInt("s", "k"), asInt);
        QCOMPARE(ini.ReadUInt("s", "k"), asUInt);
    }

    void valueRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("plain") << "LOCAL"
                               << "LOCAL";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("outer blanks") << "  x  "
                                      << "  x  ";
        QTest::newRow("only blanks") << "   "
                                     << "   ";
        QTest::newRow("enclosing quotes") << "\"quoted\""
                                          << "\"quoted\"";
        QTest::newRow("lone quote") << "\""
                                    << "\"";
        QTest::newRow("equals and semicolon") << "a=b;c"
                                              << "a=b;c";
        QTest::newRow("looks like a section") << "[Box 1]"
                                              << "[Box 1]";
        QTest::newRow("looks like a comment") << "; not a comment"
                                              << "; not a comment";
        QTest::newRow("placeholders and backslashes") << "C:\\x\\%ip %status"
                                                      << "C:\\x\\%ip %status";
        QTest::newRow("non-ASCII") << QString::fromUtf8("\u00e9\u4e2d\U0001F600")
                                   << QString::fromUtf8("\u00e9\u4e2d\U0001F600");
        QTest::newRow("line breaks") << "one\ntwo\rthree"
                                     << "one two three";
        QTest::newRow("tab inside") << "a\tb"
                                    << "a\tb";
    }
    void valueRoundTrip() {
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        CIniFile ini(FileWith("[s]\nbefore=1\n[t]\nafter=2\n"));
        QVERIFY(ini.WriteString("s", "k", value));
        QCOMPARE(ini.ReadString("s", "k"), readBack);
        QCOMPARE(ini.ReadString("s", "before"), QStringLiteral("1"));
        QCOMPARE(ini.ReadString("t", "after"), QStringLiteral("2"));
        // Writing what was read changes nothing more.
        const QByteArray once = ReadBytes(ini.Path);
        QVERIFY(ini.WriteString("s", "k", ini.ReadString("s", "k")));
        QCOMPARE(ReadBytes(ini.Path), once);
    }

    void refusedNames_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("equals in key") << "s"
                                       << "a=b";
        QTest::newRow("empty key") << "s"
                                   << "";
        QTest::newRow("blank key") << "s"
                                   << "  ";
        QTest::newRow("key starting a section") << "s"
                                                << "[x";
        QTest::newRow("key starting a comment") << "s"
                                                << ";x";
        QTest::newRow("line break in key") << "s"
                                           << "a\nb=1";
        QTest::newRow("bracket in section") << "a]b"
                                            << "k";
        QTest::newRow("empty section") << ""
                                       << "k";
        QTest::newRow("line break in section") << "a\n[b"
                                               << "k";
    }
    void refusedNames() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        const QByteArray before("[s]\nk=1\n");
        CIniFile ini(FileWith(before));
        QVERIFY(!ini.WriteString(section, key, "v"));
        QVERIFY(!ini.WriteInt(section, key, 1));
        QCOMPARE(ReadBytes(ini.Path), before);
        CIniFile fresh(NewPath());
        QVERIFY(!fresh.WriteString(section, key, "v"));
        QVERIFY(!fresh.Exists());
    }

    void refusedFiles() {
        const QByteArray before("[s]\nk=1\n");
        CIniFile readOnly(FileWith(before));
        QVERIFY(QFile::setPermissions(readOnly.Path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(!readOnly.WriteString("s", "k", "2"));
        QVERIFY(!readOnly.WriteString("s", "new", "2"));
        CIniFile::Batch batch(readOnly);
        batch.WriteInt("s", "k", 3);
        QVERIFY(!batch.Commit());
        QCOMPARE(ReadBytes(readOnly.Path), before);
        QCOMPARE(readOnly.ReadInt("s", "k"), 1);

        CIniFile noFolder(Dir.filePath("no/such/folder/x.ini"));
        QVERIFY(!noFolder.WriteString("s", "k", "v"));
        QVERIFY(!QDir(Dir.filePath("no")).exists());
        CIniFile unbound;
        QVERIFY(!unbound.WriteString("s", "k", "v"));
    }

    void writeLeavesNoTemporaryFiles() {
        QTemporaryDir dir;
        CIniFile ini(dir.filePath("PylarixA.ini"));
        for (int i = 0; i < 20; ++i)
            QVERIFY(ini.WriteInt("s", QStringLiteral("k%1").arg(i), i));
        CIniFile refused(dir.filePath("PylarixA.ini"));
        QVERIFY(!refused.WriteString("s", "a=b", "x"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"PylarixA.ini"});
    }

    void writeKeepsModeAndFollowsLinks() {
        CIniFile ini(FileWith("[s]\nk=1\n"));
        QVERIFY(::chmod(QFile::encodeName(ini.Path).constData(), 0640) == 0);
        QVERIFY(ini.WriteInt("s", "k", 2));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(ini.Path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, 0640u);

        const QString link = Dir.filePath("link.ini");
        QVERIFY(QFile::link(ini.Path, link));
        CIniFile viaLink(link);
        QVERIFY(viaLink.WriteInt("s", "k", 3));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ini.ReadInt("s", "k"), 3);
    }

    void exists() {
        CIniFile ini(NewPath());
        QVERIFY(!ini.Exists());
        QVERIFY(ini.WriteString("s", "k", ""));
        QVERIFY(ini.Exists());
        ini.SetPath(Dir.path());
        QCOMPARE(ini.Path, Dir.path());
        QVERIFY(ini.Exists());
        ini.SetPath(QString());
        QVERIFY(!ini.Exists());
    }

    void batchMatchesOneByOne_data() {
        QTest::addColumn<QByteArray>("start"); // "<missing>" for no file
        QTest::newRow("missing file") << QByteArray("<missing>");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("hand-edited") << QByteArray("; mine\r\n[MAIN]\r\nnumbox = 2\r\n\r\n[Box 0]\r\nText=\" "
                                                   " a  \"\r\n[box 0]\r\nText=dup\r\n# end\r\n");
        QTest::newRow("Latin-1 without final break") << QByteArray("[main]\nName=\xE9t\xE9\nZ=1");
    }
    void batchMatchesOneByOne() {
        QFETCH(QByteArray, start);
        const std::vector<CWrite> writes = {
            {CWrite::String, "main", "App", "Pylarix"},
            {CWrite::Signed, "main", "NumBox", {}, 3},
            {CWrite::Unsigned, "Box 0", "OnLineBoxColor", {}, 0, 16699845u},
            {CWrite::String, "BOX 0", "text", " spaced "},
            {CWrite::String, "Box 2", "Text", "new section"},
            {CWrite::Signed, "main", "numbox", {}, -4},
            {CWrite::String, "Box 0", "bad=key", "refused"},
            {CWrite::String, "Box 1", "Text", "one\ntwo"},
            {CWrite::Unsigned, "main", "Volume", {}, 0, 4294967295u},
            {CWrite::String, "Box 2", "Text", "again"},
        };
        const QString one = NewPath();
        const QString many = NewPath();
        if (start != "<missing>") {
            WriteBytes(one, start);
            WriteBytes(many, start);
        }
        CIniFile single(one);
        CIniFile batched(many);
        CIniFile::Batch batch(batched);
        for (const CWrite& w : writes) {
            switch (w.What) {
            case CWrite::String:
                single.WriteString(w.Section, w.Key, w.Text);
                batch.WriteString(w.Section, w.Key, w.Text);
                break;
            case CWrite::Signed:
                single.WriteInt(w.Section, w.Key, w.IntValue);
                batch.WriteInt(w.Section, w.Key, w.IntValue);
                break;
            case CWrite::Unsigned:
                single.WriteUInt(w.Section, w.Key, w.UIntValue);
                batch.WriteUInt(w.Section, w.Key, w.UIntValue);
                break;
            }
        }
        QCOMPARE(ReadBytes(many), start == "<missing>" ? QByteArray("<missing>") : start);
        QVERIFY(!batch.Commit()); // one of the writes had a key that cannot be stored
        QCOMPARE(ReadBytes(many), ReadBytes(one));
        QCOMPARE(batched.ReadInt("main", "NumBox"), -4);
    }

    void batchWithoutCommitChangesNothing() {
        const QByteArray before("[s]\nk=1\n");
        CIniFile ini(FileWith(before));
        {
            CIniFile::Batch batch(ini);
            batch.WriteInt("s", "k", 2);
            batch.WriteInt("t", "j", 3);
        }
        QCOMPARE(ReadBytes(ini.Path), before);
        CIniFile::Batch batch(ini);
        batch.WriteInt("s", "k", 2);
        QVERIFY(batch.Commit());
        QCOMPARE(ReadBytes(ini.Path), QByteArray("[s]\nk=2\n"));
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_IniFile.moc"
