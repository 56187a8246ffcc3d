#include "platform/Files.h"

#include <QFile>

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) {
    return QFileInfo(path).filePath().toLocal8Bit();
}

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool Fail(QString* errorText, int errorNumber) {
    if (errorText)
        *errorText = SystemErrorText(errorNumber);
    return false;
}

} // namespace

QString SystemErrorText(int errorNumber) {
    char buffer[256] = {};
    // The GNU variant may return a static string instead of filling the buffer.
    const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text ? text : buffer);
}

std::optional<QByteArray> ReadWholeFile(const QString& path, bool* readable) {
    if (readable)
        *readable = true;
    if (path.isEmpty())
        return std::nullopt;
    const QByteArray native = Native(path);
    // Non-blocking, so a FIFO put in the file's place cannot stall the program.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (readable && errno != ENOENT && errno != ENOTDIR)
            *readable = false;
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (readable)
            *readable = false;
        return std::nullopt;
    }
    QByteArray data;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            if (readable)
                *readable = false;
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(chunk, n);
    }
    ::close(fd);
    return data;
}

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText) {
    if (path.isEmpty())
        return Fail(errorText, ENOENT);
    QString target = QFileInfo(path).filePath();
    const QFileInfo link(target);
    if (link.isSymLink()) {
        const QString canonical = link.canonicalFilePath();
        const QString resolved = canonical.isEmpty() ? link.symLinkTarget() : canonical;
        if (!resolved.isEmpty())
            target = resolved;
    }
    const QByteArray nativeTarget = Native(target);

    mode_t mode = 0666;
    bool keepMode = false;
    struct stat st {};
    if (::stat(nativeTarget.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return Fail(errorText, EISDIR);
        if (!S_ISREG(st.st_mode))
            return Fail(errorText, EINVAL);
        // Root passes access(); a file without any write bit still counts as read-only.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(nativeTarget.constData(), W_OK) != 0)
            return Fail(errorText, EACCES);
        mode = st.st_mode & 07777;
        keepMode = true;
    } else if (errno != ENOENT) {
        return Fail(errorText, errno);
    }

    const QFileInfo info(target);
    const QString folder = info.path();
    // Never ends in ".ini", so folder listings of INI files do not see it.
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        // Short, so that a target whose name is near the file-name limit still gets one.
        const QString name = QStringLiteral("%1/.pylarix-%2.tmp")
                                 .arg(folder)
                                 .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        temp = Native(name);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keepMode ? 0600 : mode);
        if (fd < 0 && errno != EEXIST)
            return Fail(errorText, errno);
    }
    if (fd < 0)
        return Fail(errorText, EEXIST);

    int error = 0;
    if (!WriteAll(fd, data.constData(), data.size()))
        error = errno;
    if (!error && keepMode && ::fchmod(fd, mode) != 0)
        error = errno;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.constData(), nativeTarget.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return Fail(errorText, error);
    }
    const int dirFd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool AppendToFile(const QString& path, const QByteArray& data) {
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking: a FIFO in the file's place would stall the caller (for a log, the main thread
    // and every worker waiting on it).
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Not shared while open: a file another writer holds is skipped.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    const bool ok = WriteAll(fd, data.constData(), data.size());
    ::close(fd);
    return ok;
}

QString UnreadableFileReason(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    int error = EINVAL;
    if (::stat(native.constData(), &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (S_ISREG(st.st_mode) && ::access(native.constData(), R_OK) != 0)
        error = errno;
    return SystemErrorText(error);
}

bool RemoveFile(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

unsigned CurrentUserId() {
    return static_cast<unsigned>(::getuid());
}
