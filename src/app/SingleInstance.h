#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// Path of the per-user local socket that marks the running instance: in the user's runtime
// folder when there is one, else in the folder "Pylarix" of the user's cache folder, which the
// claim makes for the user alone. Never in a folder every user can write.
QString SingleInstanceSocketPath(unsigned userId, const QString& runtimeDir, const QString& cacheDir);

// The user's cache folder: $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
QString CacheFolderFromEnvironment(const QString& xdgCacheHome, const QString& home);

// The request a second start sends to the first, and the first's answer once it has been handled.
inline constexpr char SingleInstanceShowRequest[] = "WM_SHOW_MAIN\n";
inline constexpr char SingleInstanceShowAnswer[] = "0\n";

// One program instance per user through a local socket. The first instance serves the socket and
// reports every show request of a later start; a later start asks the first to show itself.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(QString socketPath, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // True when this process is to run as the instance (it serves the socket unless the socket
    // could not be made). False when another instance answered; it has been asked to show itself.
    // A socket left behind by a crashed instance is removed and taken over. A path in a folder
    // others may write, or held by another user, is neither asked nor taken over: true, without
    // serving.
    bool Claim(int answerTimeoutMs = 3000);

    const QString& SocketPath() const { return Path; }
    bool IsServing() const { return Server.isListening(); }

signals:
    void ShowMainRequested();

private:
    void OnNewConnection();
    static bool AskRunningInstance(const QString& path, int answerTimeoutMs, bool& connected);

    QString Path;
    QLocalServer Server;
};
