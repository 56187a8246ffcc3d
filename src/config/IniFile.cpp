#include "config/IniFile.h"

#include "config/IniDocument.h"
#include "platform/Files.h"

#include <QFileInfo>
#include <limits>

namespace {

// Reads go through a buffer of 256 characters: at most 255 come back.
constexpr qsizetype ReadLength = 255;

QString CutToReadLength(QString value) {
    if (value.size() > ReadLength) {
        value.truncate(ReadLength);
        // Never hand back half of a surrogate pair.
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

std::optional<QString> ReadRaw(const QString& path, const QString& section, const QString& key) {
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return CIniDocument::Parse(*bytes).Value(section, key);
}

// The document a write starts from: empty for a missing file, nothing when the file is there but
// cannot be read (writing over it would lose its content).
std::optional<CIniDocument> LoadForWrite(const QString& path) {
    bool readable = true;
    const std::optional<QByteArray> bytes = ReadWholeFile(path, &readable);
    if (!readable)
        return std::nullopt;
    return CIniDocument::Parse(bytes.value_or(QByteArray()));
}

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

int DigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'Z')
        return u - u'A' + 10;
    return 99;
}

// Skips leading white space and one optional sign, as the C library's number parsers do.
qsizetype SkipBlanksAndSign(const QString& text, bool& negative) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsSpace(text[i]))
        ++i;
    negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    return i;
}

} // namespace

std::int32_t ParseIniInt(const QString& text) {
    const qsizetype n = text.size();
    bool negative = false;
    qsizetype i = SkipBlanksAndSign(text, negative);
    // Accumulated as a magnitude; stops growing once past the range so it cannot overflow.
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < n && DigitValue(text[i]) < 10; ++i) {
        magnitude = magnitude * 10 + DigitValue(text[i]);
        if (magnitude > Limit)
            magnitude = Limit + 1;
    }
    if (negative)
        return magnitude >= Limit ? std::numeric_limits<std::int32_t>::min()
                                  : static_cast<std::int32_t>(-magnitude);
    return magnitude >= Limit ? std::numeric_limits<std::int32_t>::max()
                              : static_cast<std::int32_t>(magnitude);
}

std::uint32_t ParseIniUInt(const QString& text) {
    const qsizetype n = text.size();
    bool negative = false;
    qsizetype i = SkipBlanksAndSign(text, negative);
    int base = 10;
    if (i < n && text[i] == u'0') {
        if (i + 2 < n && (text[i + 1] == u'x' || text[i + 1] == u'X') && DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    constexpr std::uint64_t Max = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < n && DigitValue(text[i]) < base; ++i) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(text[i]));
        if (value > Max) {
            overflow = true;
            value = Max;
        }
    }
    if (overflow)
        return static_cast<std::uint32_t>(Max);
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

bool CIniFile::Exists() const {
    return !Path.isEmpty() && QFileInfo::exists(Path);
}

QString CIniFile::ReadString(const QString& section, const QString& key) const {
    return CutToReadLength(ReadRaw(Path, section, key).value_or(QString()));
}

std::int32_t CIniFile::ReadInt(const QString& section, const QString& key) const {
    return ParseIniInt(ReadString(section, key));
}

std::uint32_t CIniFile::ReadUInt(const QString& section, const QString& key) const {
    return ParseIniUInt(ReadString(section, key));
}

std::uint32_t CIniFile::ReadUIntDefault(const QString& section, const QString& key,
                                        std::uint32_t defaultValue) const {
    const std::optional<QString> raw = ReadRaw(Path, section, key);
    if (!raw)
        return defaultValue;
    return ParseIniUInt(CutToReadLength(*raw));
}

bool CIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    std::optional<CIniDocument> doc = LoadForWrite(Path);
    if (!doc || !doc->Set(section, key, value))
        return false;
    return WriteFileAtomically(Path, doc->Serialize());
}

bool CIniFile::WriteInt(const QString& section, const QString& key, std::int32_t value) {
    return WriteString(section, key, QString::number(value));
}

bool CIniFile::WriteUInt(const QString& section, const QString& key, std::uint32_t value) {
    return WriteString(section, key, QString::number(value));
}

CIniFile::Snapshot::Snapshot(const CIniFile& file) {
    if (const std::optional<QByteArray> bytes = ReadWholeFile(file.Path))
        Document = std::make_unique<CIniDocument>(CIniDocument::Parse(*bytes));
}

CIniFile::Snapshot::~Snapshot() = default;

QString CIniFile::Snapshot::ReadString(const QString& section, const QString& key) const {
    return Document ? CutToReadLength(Document->Value(section, key).value_or(QString())) : QString();
}

std::int32_t CIniFile::Snapshot::ReadInt(const QString& section, const QString& key) const {
    return ParseIniInt(ReadString(section, key));
}

std::uint32_t CIniFile::Snapshot::ReadUInt(const QString& section, const QString& key) const {
    return ParseIniUInt(ReadString(section, key));
}

std::uint32_t CIniFile::Snapshot::ReadUIntDefault(const QString& section, const QString& key,
                                                  std::uint32_t defaultValue) const {
    const std::optional<QString> raw = Document ? Document->Value(section, key) : std::nullopt;
    return raw ? ParseIniUInt(CutToReadLength(*raw)) : defaultValue;
}

CIniFile::Batch::Batch(const CIniFile& file) : FilePath(file.Path) {
    std::optional<CIniDocument> doc = LoadForWrite(FilePath);
    if (doc)
        Document = std::make_unique<CIniDocument>(std::move(*doc));
}

CIniFile::Batch::~Batch() = default;

void CIniFile::Batch::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!Document || !Document->Set(section, key, value)) {
        AllAccepted = false;
        return;
    }
    Changed = true;
}

void CIniFile::Batch::WriteInt(const QString& section, const QString& key, std::int32_t value) {
    WriteString(section, key, QString::number(value));
}

void CIniFile::Batch::WriteUInt(const QString& section, const QString& key, std::uint32_t value) {
    WriteString(section, key, QString::number(value));
}

bool CIniFile::Batch::Commit() {
    if (!Document)
        return false;
    if (Changed && !WriteFileAtomically(FilePath, Document->Serialize()))
        return false;
    Changed = false;
    return AllAccepted;
}
