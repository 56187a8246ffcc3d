#include "config/Autostart.h"

#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString DesktopEntryGroup = QStringLiteral("[Desktop Entry]");

// Characters that make an Exec argument need quotes, and those escaped inside the quotes.
bool NeedsQuotes(QChar c) {
    return QStringLiteral(" \t\n\"'\\><~|&;$*?#()`").contains(c);
}

bool EscapedInQuotes(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\');
}

QString QuoteExecArgument(const QString& argument) {
    QString quoted;
    bool quotes = argument.isEmpty();
    for (QChar c : argument) {
        quotes = quotes || NeedsQuotes(c);
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        if (EscapedInQuotes(c))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quotes ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

// A string value's own escapes (\s, \n, \t, \r, \\).
QString UnescapeValue(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            out += next;
        }
    }
    return out;
}

// Splits an Exec command into its arguments; nothing when its quoting is broken.
std::optional<QStringList> ExecArguments(const QString& command) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('\\') && i + 1 < command.size() && EscapedInQuotes(command[i + 1])) {
                current += command[++i];
            } else {
                current += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('"'))
            inQuotes = true;
        else if (c == QLatin1Char('%') && i + 1 < command.size() && command[i + 1] == QLatin1Char('%'))
            current += command[++i];
        else
            current += c;
    }
    if (inQuotes)
        return std::nullopt;
    if (inArgument)
        arguments << current;
    return arguments;
}

} // namespace

QString AutostartEntryPathIn(const QString& configHome) {
    return configHome + QStringLiteral("/autostart/Pylarix.desktop");
}

QByteArray AutostartEntryText(const QString& programPath) {
    QString exec = QuoteExecArgument(programPath);
    exec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return (DesktopEntryGroup + QStringLiteral("\nType=Application\nName=Pylarix\nExec=") + exec +
            QStringLiteral("\nTerminal=false\n"))
        .toUtf8();
}

bool AutostartEntryStarts(const QByteArray& entryText, const QString& programPath) {
    bool inGroup = false;
    std::optional<QString> exec;
    bool hidden = false;
    for (const QString& raw : QString::fromUtf8(entryText).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == DesktopEntryGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Exec"))
            exec = UnescapeValue(value);
        else if (key == QLatin1String("Hidden"))
            hidden = value == QLatin1String("true");
    }
    if (!exec || hidden)
        return false;
    const std::optional<QStringList> arguments = ExecArguments(*exec);
    return arguments && arguments->size() == 1 &&
           arguments->constFirst().compare(programPath, Qt::CaseInsensitive) == 0;
}

std::optional<bool> ReadStartAtLogin(const QString& entryPath, const QString& programPath) {
    if (entryPath.isEmpty())
        return std::nullopt;
    bool readable = true;
    const std::optional<QByteArray> text = ReadWholeFile(entryPath, &readable);
    if (!readable)
        return std::nullopt;
    return text && AutostartEntryStarts(*text, programPath);
}

bool WriteStartAtLogin(const QString& entryPath, bool on, const QString& programPath) {
    if (entryPath.isEmpty())
        return false;
    if (!on)
        return RemoveFile(entryPath);
    QDir().mkpath(QFileInfo(entryPath).absolutePath());
    return WriteFileAtomically(entryPath, AutostartEntryText(programPath));
}
