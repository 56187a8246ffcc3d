#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The parsed text of one INI file, with the lookup and replace rules of CIniFile. Lines that are
// not touched by a write are kept exactly as they were read.
class CIniDocument {
public:
    // Decodes UTF-8 (a byte order mark is kept), or Latin-1 when the bytes are not valid UTF-8.
    static CIniDocument Parse(const QByteArray& bytes);

    // The raw value of the first matching key of the first matching section (blanks and one pair
    // of enclosing quotes removed, not yet cut to the read length); nothing when absent.
    std::optional<QString> Value(const QString& section, const QString& key) const;

    // Stores the value; false (and nothing changed) when the section or key name cannot be stored.
    bool Set(const QString& section, const QString& key, const QString& value);

    QByteArray Serialize() const;

    static bool IsStorableSection(const QString& section);
    static bool IsStorableKey(const QString& key);
    // The text written after "key=" so that Value gives back exactly `value` (line breaks become
    // blanks; values with outer blanks or quotes are quoted).
    static QString EncodeValue(const QString& value);

private:
    struct CSection {
        QString Name;                 // as written in the header, trimmed
        std::vector<QString> Lines;   // header first, then the section's lines in file order
        QHash<QString, int> KeyLines; // folded key -> line of its first entry
        int InsertAt = 1;             // just after the last entry (or the header)
    };

    static QString Fold(const QString& name);
    void AddLine(const QString& line);

    bool HasBom = false;
    QString Eol = QStringLiteral("\n");
    bool EndsWithEol = true;
    std::vector<QString> Prelude; // lines before the first section
    std::vector<CSection> Sections;
    QHash<QString, int> SectionIndex; // folded name -> first section of that name
};
