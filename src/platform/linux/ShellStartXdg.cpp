#include "platform/linux/ShellStartXdg.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <system_error>
#include <thread>

static bool HasUrlScheme(const QString& file) {
    const QUrl url(file, QUrl::StrictMode);
    // A single letter before ":" is no scheme worth opening; neither is a bare path.
    return url.isValid() && url.scheme().size() > 1 && file.contains(QStringLiteral(":"));
}

CShellTarget CShellStartXdg::ClassifyShellTarget(const QString& file) const {
    if (file.isEmpty())
        return {};
    const QFileInfo info(file);
    if (info.isAbsolute() || file.contains(QLatin1Char('/'))) {
        if (!info.exists())
            return HasUrlScheme(file) ? CShellTarget{ShellTargetKind::Opener, file} : CShellTarget{};
        if (info.isFile() && info.isExecutable())
            return {ShellTargetKind::Executable, info.absoluteFilePath()};
        return {ShellTargetKind::Opener, info.absoluteFilePath()};
    }
    const QString found = QStandardPaths::findExecutable(file);
    if (!found.isEmpty())
        return {ShellTargetKind::Executable, found};
    if (HasUrlScheme(file))
        return {ShellTargetKind::Opener, file};
    if (info.exists())
        return {ShellTargetKind::Opener, info.absoluteFilePath()};
    return {};
}

bool CShellStartXdg::ShellOpen(const QString& file, const QString& parameters) {
    const CShellTarget target = ClassifyShellTarget(file);
    switch (target.Kind) {
    case ShellTargetKind::None:
        return false;
    case ShellTargetKind::Executable:
        return QProcess::startDetached(target.Path, QProcess::splitCommand(parameters));
    case ShellTargetKind::Opener: {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty())
            return false;
        const QUrl url = HasUrlScheme(target.Path) && !QFileInfo::exists(target.Path)
                             ? QUrl(target.Path)
                             : QUrl::fromLocalFile(target.Path);
        return QProcess::startDetached(opener, {url.toString()});
    }
    }
    return false;
}

void CShellStartXdg::ShellOpenDetached(const QString& file, const QString& parameters) {
    try {
        std::thread([this, file, parameters] { ShellOpen(file, parameters); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: dropped like a start that fails.
    }
}
