#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class CIniDocument;

// One INI file bound by path. Every operation goes to the file: nothing is cached between calls.
//
// Reading: section and key names match without regard to case (surrounding blanks ignored); the
// first matching section and, inside it, the first matching key count. A value reads without its
// surrounding blanks and without one pair of enclosing double quotes, and at most its first 255
// characters. Lines starting with ';' or '#' are comments. A file that is not valid UTF-8 reads as
// Latin-1; a missing file reads as one in which every key is absent.
//
// Writing: the file, the section and the key are created as needed; an existing key's line is
// replaced and every other line stays as it was (line endings included). The new file is written
// as UTF-8 into a temporary file beside it and renamed over it, so a crash leaves either the old or
// the new file. A refused write (read-only file, missing folder, a section or key name that cannot
// be stored) returns false and changes nothing. A line break inside a value is stored as a blank.
class CIniFile {
public:
    CIniFile() = default;
    explicit CIniFile(const QString& path) : Path(path) {}
    virtual ~CIniFile() = default;
    CIniFile(const CIniFile&) = default;
    CIniFile& operator=(const CIniFile&) = default;

    QString Path;

    void SetPath(const QString& path) { Path = path; }
    // Whether a file or folder exists at Path.
    bool Exists() const;

    QString ReadString(const QString& section, const QString& key) const;
    // Base 10, optional sign, saturating at the 32-bit limits; 0 when absent, empty or no digits.
    std::int32_t ReadInt(const QString& section, const QString& key) const;
    // Base from the prefix ("0x" hexadecimal, "0" octal, else decimal); a minus sign negates modulo
    // 2^32; beyond 32 bits reads 4294967295; 0 when absent, empty or no digits.
    std::uint32_t ReadUInt(const QString& section, const QString& key) const;
    // As ReadUInt, but an absent key (or file) yields the default; a present empty value yields 0.
    std::uint32_t ReadUIntDefault(const QString& section, const QString& key,
                                  std::uint32_t defaultValue) const;

    bool WriteString(const QString& section, const QString& key, const QString& value);
    bool WriteInt(const QString& section, const QString& key, std::int32_t value);
    bool WriteUInt(const QString& section, const QString& key, std::uint32_t value);

    // One reading of the file for many reads in a row with no write between them (a load): it
    // answers exactly as the file's own reads would have at the moment it was taken.
    class Snapshot {
    public:
        explicit Snapshot(const CIniFile& file);
        ~Snapshot();
        Snapshot(const Snapshot&) = delete;
        Snapshot& operator=(const Snapshot&) = delete;

        QString ReadString(const QString& section, const QString& key) const;
        std::int32_t ReadInt(const QString& section, const QString& key) const;
        std::uint32_t ReadUInt(const QString& section, const QString& key) const;
        std::uint32_t ReadUIntDefault(const QString& section, const QString& key,
                                      std::uint32_t defaultValue) const;

    private:
        std::unique_ptr<CIniDocument> Document; // null: no file
    };

    // Many writes applied in order to one reading of the file and stored with a single replace.
    // The resulting file is exactly the one that the same writes made one by one would leave.
    // Nothing reaches the file before Commit; a batch dropped without Commit changes nothing.
    class Batch {
    public:
        explicit Batch(const CIniFile& file);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        void WriteString(const QString& section, const QString& key, const QString& value);
        void WriteInt(const QString& section, const QString& key, std::int32_t value);
        void WriteUInt(const QString& section, const QString& key, std::uint32_t value);

        // Replaces the file once. True when every write was stored (false when a name could not be
        // stored or the file was refused; a refused file is left as it was).
        bool Commit();

    private:
        QString FilePath;
        std::unique_ptr<CIniDocument> Document;
        bool AllAccepted = true;
        bool Changed = false;
    };
};

// Number parsing exactly as the reads do it (exposed for the tests of the rules).
std::int32_t ParseIniInt(const QString& text);
std::uint32_t ParseIniUInt(const QString& text);
