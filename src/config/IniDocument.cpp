#include "config/IniDocument.h"

#include <QStringDecoder>

namespace {

// The text of a line without the carriage return of a CR LF ending.
QStringView Content(const QString& line) {
    QStringView v(line);
    if (v.endsWith(u'\r'))
        v.chop(1);
    return v;
}

enum class LineKind { Other, Section, Entry };

struct CLineInfo {
    LineKind Kind = LineKind::Other;
    QString Name; // section name or key, trimmed
    QStringView RawValue;
};

CLineInfo Classify(const QString& line) {
    CLineInfo info;
    const QStringView text = Content(line).trimmed();
    if (text.isEmpty())
        return info;
    if (text.front() == u'[') {
        QStringView name = text.mid(1);
        const qsizetype close = name.indexOf(u']');
        if (close >= 0)
            name = name.left(close);
        info.Kind = LineKind::Section;
        info.Name = name.trimmed().toString();
        return info;
    }
    if (text.front() == u';' || text.front() == u'#')
        return info;
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return info;
    const QStringView key = text.left(eq).trimmed();
    if (key.isEmpty())
        return info;
    info.Kind = LineKind::Entry;
    info.Name = key.toString();
    info.RawValue = text.mid(eq + 1);
    return info;
}

QString DecodeValue(QStringView raw) {
    QStringView v = raw.trimmed();
    if (v.size() >= 2 && v.front() == u'"' && v.back() == u'"')
        v = v.mid(1, v.size() - 2);
    return v.toString();
}

} // namespace

QString CIniDocument::Fold(const QString& name) {
    return name.trimmed().toCaseFolded();
}

CIniDocument CIniDocument::Parse(const QByteArray& bytes) {
    CIniDocument doc;
    QByteArrayView data(bytes);
    if (data.startsWith("\xEF\xBB\xBF")) {
        doc.HasBom = true;
        data = data.sliced(3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        text = QString::fromLatin1(data);
        doc.HasBom = false;
    }
    if (text.isEmpty())
        return doc;

    QList<QStringView> lines = QStringView(text).split(u'\n');
    doc.EndsWithEol = text.endsWith(u'\n');
    if (doc.EndsWithEol)
        lines.removeLast();
    if (!lines.isEmpty() && lines.front().endsWith(u'\r') && text.size() > lines.front().size())
        doc.Eol = QStringLiteral("\r\n");
    for (const QStringView& line : lines)
        doc.AddLine(line.toString());
    return doc;
}

void CIniDocument::AddLine(const QString& line) {
    const CLineInfo info = Classify(line);
    if (info.Kind == LineKind::Section) {
        CSection section;
        section.Name = info.Name;
        section.Lines.push_back(line);
        const QString folded = Fold(info.Name);
        if (!SectionIndex.contains(folded))
            SectionIndex.insert(folded, static_cast<int>(Sections.size()));
        Sections.push_back(std::move(section));
        return;
    }
    if (Sections.empty()) {
        Prelude.push_back(line);
        return;
    }
    CSection& section = Sections.back();
    section.Lines.push_back(line);
    if (info.Kind == LineKind::Entry) {
        const int at = static_cast<int>(section.Lines.size()) - 1;
        const QString folded = Fold(info.Name);
        if (!section.KeyLines.contains(folded))
            section.KeyLines.insert(folded, at);
        section.InsertAt = at + 1;
    }
}

std::optional<QString> CIniDocument::Value(const QString& section, const QString& key) const {
    const auto s = SectionIndex.constFind(Fold(section));
    if (s == SectionIndex.constEnd())
        return std::nullopt;
    const CSection& sec = Sections[static_cast<size_t>(*s)];
    const auto k = sec.KeyLines.constFind(Fold(key));
    if (k == sec.KeyLines.constEnd())
        return std::nullopt;
    return DecodeValue(Classify(sec.Lines[static_cast<size_t>(*k)]).RawValue);
}

bool CIniDocument::IsStorableSection(const QString& section) {
    const QString name = section.trimmed();
    return !name.isEmpty() && !section.contains(u']') && !section.contains(u'\n') && !section.contains(u'\r');
}

bool CIniDocument::IsStorableKey(const QString& key) {
    const QString name = key.trimmed();
    if (name.isEmpty() || key.contains(u'=') || key.contains(u'\n') || key.contains(u'\r'))
        return false;
    const QChar first = name.front();
    return first != u'[' && first != u';' && first != u'#';
}

QString CIniDocument::EncodeValue(const QString& value) {
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool quoted = v.size() >= 2 && v.front() == u'"' && v.back() == u'"';
    if (quoted || v != v.trimmed())
        return u'"' + v + u'"';
    return v;
}

bool CIniDocument::Set(const QString& section, const QString& key, const QString& value) {
    if (!IsStorableSection(section) || !IsStorableKey(key))
        return false;
    const QString lineEnd = Eol == QLatin1String("\r\n") ? QStringLiteral("\r") : QString();
    const QString encoded = EncodeValue(value);
    EndsWithEol = true;

    const QString foldedSection = Fold(section);
    auto s = SectionIndex.constFind(foldedSection);
    if (s == SectionIndex.constEnd()) {
        std::vector<QString>& tail = Sections.empty() ? Prelude : Sections.back().Lines;
        if (!tail.empty() && !Content(tail.back()).trimmed().isEmpty())
            tail.push_back(lineEnd);
        CSection fresh;
        fresh.Name = section.trimmed();
        fresh.Lines.push_back(u'[' + section.trimmed() + u']' + lineEnd);
        SectionIndex.insert(foldedSection, static_cast<int>(Sections.size()));
        Sections.push_back(std::move(fresh));
        s = SectionIndex.constFind(foldedSection);
    }
    CSection& sec = Sections[static_cast<size_t>(*s)];
    const QString foldedKey = Fold(key);
    const auto k = sec.KeyLines.constFind(foldedKey);
    if (k != sec.KeyLines.constEnd()) {
        QString& line = sec.Lines[static_cast<size_t>(*k)];
        const QString writtenKey = Classify(line).Name;
        line = writtenKey + u'=' + encoded + lineEnd;
        return true;
    }
    const int at = sec.InsertAt;
    sec.Lines.insert(sec.Lines.begin() + at, key.trimmed() + u'=' + encoded + lineEnd);
    sec.KeyLines.insert(foldedKey, at);
    sec.InsertAt = at + 1;
    return true;
}

QByteArray CIniDocument::Serialize() const {
    QString text;
    bool first = true;
    auto add = [&](const QString& line) {
        if (!first)
            text += u'\n';
        text += line;
        first = false;
    };
    for (const QString& line : Prelude)
        add(line);
    for (const CSection& section : Sections)
        for (const QString& line : section.Lines)
            add(line);
    if (!first && EndsWithEol)
        text += u'\n';
    QByteArray out = HasBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    out += text.toUtf8();
    return out;
}
