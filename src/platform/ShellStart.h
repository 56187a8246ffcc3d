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

// Starts files the way the desktop's shell would, never through a command shell.
class IShellStart {
public:
    virtual ~IShellStart() = default;
    // Executables are absolute paths with the execute bit or names found on PATH; a URL with a
    // scheme and an existing file or folder go to the opener.
    virtual CShellTarget ClassifyShellTarget(const QString& file) const = 0;
    // Starts the file as its kind says: the parameter text is split into arguments (quotes
    // group, nothing is interpreted). True when the start worked.
    virtual bool ShellOpen(const QString& file, const QString& parameters) = 0;
    // Runs ShellOpen on a thread of its own; the caller does not wait and the result is dropped.
    virtual void ShellOpenDetached(const QString& file, const QString& parameters) = 0;
};

// The process's shell start (platform/Platform.h installs it; the null one until then).
IShellStart& SystemShellStart();
