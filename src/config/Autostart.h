#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Start at login through the desktop's autostart entry (a desktop entry file whose Exec starts
// the program without arguments).

// "<config home>/autostart/Pylarix.desktop".
QString AutostartEntryPathIn(const QString& configHome);

// A valid desktop entry starting programPath, quoted as the format asks.
QByteArray AutostartEntryText(const QString& programPath);

// Whether the entry's text starts exactly programPath, without arguments, compared without
// regard to case. A hidden entry (the desktop's way of switching one off) starts nothing.
bool AutostartEntryStarts(const QByteArray& entryText, const QString& programPath);

// Whether start at login is on for programPath: the entry exists and starts it. Nothing when
// that cannot be told (no entry path, an entry that cannot be read).
std::optional<bool> ReadStartAtLogin(const QString& entryPath, const QString& programPath);

// Writes the entry atomically (creating the autostart folder) when on, else removes it. False
// when that failed; the caller ignores it quietly.
bool WriteStartAtLogin(const QString& entryPath, bool on, const QString& programPath);
