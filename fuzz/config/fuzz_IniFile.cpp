// Parses arbitrary bytes as an INI file, reads keys named by the input itself, stores one key and
// checks that the stored file reads that value back and every other looked-up value unchanged.
#include "config/IniDocument.h"
#include "config/IniFile.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CIniDocument doc = CIniDocument::Parse(bytes);

    // Names to look up: the bracketed and key-like parts of the input's first lines.
    QStringList sections{QStringLiteral("main"), QStringLiteral("Box 0"), QStringLiteral("skin")};
    QStringList keys{QStringLiteral("App"), QStringLiteral("NumBox"), QStringLiteral("Text")};
    const QString text = QString::fromLatin1(bytes.left(4096));
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size() && i < 16; ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'['))
            sections << line.mid(1).section(u']', 0, 0);
        else if (line.contains(u'='))
            keys << line.section(u'=', 0, 0);
    }

    QList<std::optional<QString>> before;
    for (const QString& s : sections)
        for (const QString& k : keys) {
            const std::optional<QString> v = doc.Value(s, k);
            before << v;
            if (v) {
                ParseIniInt(*v);
                ParseIniUInt(*v);
            }
        }

    // Store a value taken from the input's tail into the first section and key found.
    const QString value = QString::fromUtf8(bytes.right(64));
    const QString& section = sections.back();
    const QString& key = keys.back();
    const bool stored = doc.Set(section, key, value);
    Check(stored == (CIniDocument::IsStorableSection(section) && CIniDocument::IsStorableKey(key)));

    const QByteArray serialized = doc.Serialize();
    const CIniDocument again = CIniDocument::Parse(serialized);
    // What was written is valid UTF-8 and parses to the same answers.
    Check(serialized == again.Serialize());
    qsizetype n = 0;
    for (const QString& s : sections)
        for (const QString& k : keys) {
            const std::optional<QString> v = again.Value(s, k);
            const bool target = stored && s.trimmed().toCaseFolded() == section.trimmed().toCaseFolded() &&
                                k.trimmed().toCaseFolded() == key.trimmed().toCaseFolded();
            if (target) {
                QString expected = value;
                expected.replace(u'\r', u' ').replace(u'\n', u' ');
                Check(v.has_value() && *v == expected);
            } else if (!stored || before[n].has_value()) {
                // A value that was there must be the same, unless the bytes were re-decoded
                // (a Latin-1 file is stored as UTF-8 and reads the same text).
                Check(v == before[n]);
            }
            ++n;
        }
    return 0;
}
