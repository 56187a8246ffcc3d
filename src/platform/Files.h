#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The program's file calls on the local file system: whole-file reads, atomic replaces, log
// appends and removals.

// The file's bytes; nothing when there is no file there. `readable` is false when something
// exists at the path but cannot be read as a file (a folder, no permission).
std::optional<QByteArray> ReadWholeFile(const QString& path, bool* readable = nullptr);

// Writes `data` into a new temporary file beside `path` (flushed to disk) and renames it over
// `path`, keeping the mode of a file that was there. A symbolic link is followed and its target
// replaced. An existing file without any write permission, a folder at the path and a missing
// folder are refused. On failure nothing at `path` has changed, no temporary file is left and
// `errorText` (when given) holds the system's text for the error.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText = nullptr);

// Appends `data` to the file at `path`, creating it (mode 0644) when missing, without ever
// blocking on what is there. A symbolic link at the path, a file another writer holds locked and
// anything that is not a regular file (a FIFO, a device) are left alone (false).
bool AppendToFile(const QString& path, const QByteArray& data);

// The system's text for why the file at `path` cannot be read (no file, a folder, no permission).
QString UnreadableFileReason(const QString& path);

// Removes the file; true when it is gone afterwards (also when there was none).
bool RemoveFile(const QString& path);

// The real user id of the process.
unsigned CurrentUserId();

// The system's message for an errno value.
QString SystemErrorText(int errorNumber);
