#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Whole-file reads and atomic replaces on the local file system.

// The file's bytes; nothing when there is no file there. `readable` is false when something
// exists at the path but cannot be read as a file (a folder, no permission).
std::optional<QByteArray> ReadWholeFile(const QString& path, bool* readable = nullptr);

// Writes `data` into a new temporary file beside `path` (flushed to disk) and renames it over
// `path`, keeping the mode of a file that was there. A symbolic link is followed and its target
// replaced. An existing file without any write permission, a folder at the path and a missing
// folder are refused. On failure nothing at `path` has changed, no temporary file is left and
// `errorText` (when given) holds the system's text for the error.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText = nullptr);

// The system's message for an errno value.
QString SystemErrorText(int errorNumber);
