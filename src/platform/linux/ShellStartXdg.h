#pragma once

#include "platform/ShellStart.h"

// Executables started detached with their arguments; everything else through xdg-open.
class CShellStartXdg final : public IShellStart {
public:
    CShellTarget ClassifyShellTarget(const QString& file) const override;
    bool ShellOpen(const QString& file, const QString& parameters) override;
    void ShellOpenDetached(const QString& file, const QString& parameters) override;
};
