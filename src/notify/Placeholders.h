#pragma once

#include "notify/StatusRecord.h"

#include <QString>
#include <cstdint>

// Which words "%status" stands for.
enum class StatusWords {
    WithoutChecking, // a monitor's status file
    WithChecking,    // the double-click command
    LeftAsTyped,     // the Test button of the file settings: "%status" is not replaced
};

// Replaces "%ip", "%status", "%method", "%port", "%text" in that order, case-sensitive, each in
// one left-to-right pass over the text the previous ones left.
QString ExpandPlaceholders(const QString& text, const CStatusRecord& record, StatusWords words);

// A file and the parameters it is started with.
struct CShellCommand {
    QString File;
    QString Parameters;
    bool operator==(const CShellCommand&) const = default;
};

// The monitor's own file with its parameters expanded (no "CHECKING"; the file is not expanded).
CShellCommand StatusFileCommand(const QString& execFilePath, const QString& execFileParam,
                                const CStatusRecord& record);
// The double-click command: "%ip" also in the file, "CHECKING" among the status words.
CShellCommand DoubleClickFileCommand(const QString& dcobefPath, const QString& dcobefParameters,
                                     const CStatusRecord& record);
// The Test button of the file settings: "%status" stays as typed.
CShellCommand TestFileCommand(const QString& execFilePath, const QString& execFileParam,
                              const QString& ipAdress, std::int32_t verifyMetod, std::int32_t port,
                              const QString& text);

// Start the command through the shell layer on a thread of their own; the result is not looked at.
void RunStatusFile(const CShellCommand& command);
void RunDoubleClickFile(const CShellCommand& command);
