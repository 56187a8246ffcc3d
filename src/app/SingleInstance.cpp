#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString WithoutTrailingSlashes(QString dir) {
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir;
}

// The socket's folder belongs to this user and no one else may write into it, and whatever is at
// the socket's path is this user's: else another user could answer for the running instance or
// block the path. A missing folder is made, for this user only.
bool SocketPathIsPrivate(const QString& path) {
    const QString folder = QFileInfo(path).path();
    const QByteArray nativeFolder = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(nativeFolder.constData(), &st) != 0) {
        if (errno != ENOENT || !QDir().mkpath(folder) || ::chmod(nativeFolder.constData(), 0700) != 0 ||
            ::lstat(nativeFolder.constData(), &st) != 0)
            return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 022) != 0)
        return false;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    return st.st_uid == ::geteuid();
}

} // namespace

QString SingleInstanceSocketPath(unsigned userId, const QString& runtimeDir, const QString& cacheDir) {
    const QString name = QStringLiteral("Pylarix-%1").arg(userId);
    if (!runtimeDir.isEmpty() && QDir::isAbsolutePath(runtimeDir) && QFileInfo(runtimeDir).isDir())
        return WithoutTrailingSlashes(runtimeDir) + '/' + name;
    return WithoutTrailingSlashes(cacheDir) + QStringLiteral("/Pylarix/") + name;
}

QString CacheFolderFromEnvironment(const QString& xdgCacheHome, const QString& home) {
    if (QDir::isAbsolutePath(xdgCacheHome))
        return xdgCacheHome;
    return home + QStringLiteral("/.cache");
}

CSingleInstance::CSingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), Path(std::move(socketPath)) {
    Server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&Server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

CSingleInstance::~CSingleInstance() {
    Server.close();
}

bool CSingleInstance::AskRunningInstance(const QString& path, int answerTimeoutMs, bool& connected) {
    QLocalSocket socket;
    socket.connectToServer(path);
    connected = socket.waitForConnected(answerTimeoutMs);
    if (!connected)
        return false;
    socket.write(SingleInstanceShowRequest, qint64(std::strlen(SingleInstanceShowRequest)));
    socket.waitForBytesWritten(answerTimeoutMs);
    // Waiting for the answer mirrors the synchronous WM_SHOW_MAIN: the first instance has shown
    // itself before this start ends. A first instance that does not answer is left alone.
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            break;
    }
    return true;
}

bool CSingleInstance::Claim(int answerTimeoutMs) {
    if (Server.isListening())
        return true;
    // A path that is not this user's alone is left alone: the program runs, without the socket.
    if (!SocketPathIsPrivate(Path))
        return true;
    // Two starts at the same moment must not both take over: the check and the take-over run
    // under a lock file, which a crashed holder does not keep (QLockFile checks its process).
    QLockFile lock(Path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    const bool locked = lock.tryLock(answerTimeoutMs);

    bool connected = false;
    AskRunningInstance(Path, answerTimeoutMs, connected);
    if (connected)
        return false;

    // Nobody answers: a socket file left by a crash must not block this start.
    QLocalServer::removeServer(Path);
    // A socket that cannot be served (folder not writable) does not stop the program from running.
    Server.listen(Path);
    if (locked)
        lock.unlock();
    return true;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = Server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only the one known request acts; anything else (or too much) closes the connection.
            const qint64 requestSize = qint64(std::strlen(SingleInstanceShowRequest));
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > requestSize)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(requestSize + 1);
            if (line == SingleInstanceShowRequest) {
                emit ShowMainRequested();
                socket->write(SingleInstanceShowAnswer, qint64(std::strlen(SingleInstanceShowAnswer)));
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}
