#pragma once

#include <QString>

// How a file given to the shell is started.
enum class ShellTargetKind {
    None,       // nothing to start: empty, or a path that does not exist
    Executable, // started directly with the parameters split into arguments
    Opener,     // a folder, document or URL handed to the desktop's opener
};

struct CShellTarget {
    ShellTargetKind Kind = ShellTargetKind::None;
    QString Path; // the executable's full path, or the path or URL for the opener
};

// Executables are absolute paths with the execute bit or names found on PATH; a URL with a
// scheme and an existing file or folder go to the opener.
CShellTarget ClassifyShellTarget(const QString& file);

// Starts the file as its kind says, never through a command shell: the parameter text is split
// into arguments (quotes group, nothing is interpreted). True when the start worked.
bool ShellOpen(const QString& file, const QString& parameters);

// Runs ShellOpen on a thread of its own; the caller does not wait and the result is dropped.
void ShellOpenDetached(const QString& file, const QString& parameters);
