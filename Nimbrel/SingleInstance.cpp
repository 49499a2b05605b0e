#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr char reopenRequest[] = "reopen\n";
constexpr char acknowledgement[] = "ok\n";
constexpr int answerWaitMs = 500;
// A launch holds the lock for one answer wait at most, so this outlasts several launches ahead
// in the queue; a lock held longer belongs to a launch that is starting, stopped or not.
constexpr int lockWaitMs = 10 * answerWaitMs;

bool isPrivateFolder(const QString& path)
{
    struct stat info = {};
    // lstat: a link, even to a good folder, can be pointed elsewhere by whoever owns it.
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == geteuid() && (info.st_mode & 07777) == 0700;
}

// `path` when it is a private folder, made so if missing.
std::optional<QString> madePrivate(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    // Only a folder we have just made is set to 0700; one already there must be so.
    if (mkdir(native.constData(), 0700) == 0)
        chmod(native.constData(), 0700);
    if (!isPrivateFolder(path))
        return std::nullopt;
    return path;
}

QString sharedFallback(const QString& parent)
{
    return QStringLiteral("%1/nimbrel-%2").arg(parent).arg(geteuid());
}

// A file-name fragment naming the display; percent-encoding keeps distinct displays distinct.
// A long name (a Wayland display given by its path) is hashed instead: a socket path holds at
// most 107 bytes.
QString displayFragment()
{
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qgetenv("DISPLAY");
    const QByteArray fragment = display.toPercentEncoding();
    if (fragment.size() <= 24)
        return QString::fromLatin1(fragment);
    return QString::fromLatin1(
        QCryptographicHash::hash(display, QCryptographicHash::Sha256).toHex().left(24));
}

SingleInstance::Role unguarded(const QString& problem)
{
    qWarning().noquote() << "Running on its own, without a single-instance guard:" << problem;
    return SingleInstance::Role::Unguarded;
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const std::optional<QString> folder = privateFolder();
    if (!folder)
        return;
    const QString display = displayFragment();
    serverPath = *folder + QLatin1Char('/') + name +
                 (display.isEmpty() ? QString() : QLatin1Char('-') + display) +
                 QStringLiteral(".socket");
}

SingleInstance::Role SingleInstance::start()
{
    if (serverPath.isEmpty())
        return unguarded(QStringLiteral("neither $XDG_RUNTIME_DIR, %1 nor a folder in the cache "
                                        "folder is a folder of ours closed to others")
                             .arg(sharedFallback(QStringLiteral("/tmp"))));
    // Held from looking for a running launch until listening, so two launches never both listen.
    QLockFile lock(serverPath + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs)) {
        if (lock.error() == QLockFile::LockFailedError) {
            qWarning().noquote() << "Another launch holds" << lock.fileName()
                                 << "and is starting; leaving the popover to it";
            return Role::Secondary;
        }
        return unguarded(QStringLiteral("%1 cannot be made").arg(lock.fileName()));
    }
    if (const std::optional<Role> handedOver = askRunningToReopen())
        return *handedOver;
    return listen();
}

std::optional<QString> SingleInstance::privateFolder(const QString& sharedParent,
                                                     const QString& ownParent)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    if (std::optional<QString> shared = madePrivate(sharedFallback(sharedParent)))
        return shared;
    // Nobody else can make folders in the user's own cache folder.
    const QString own = ownParent.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                            : ownParent;
    if (!QDir::isAbsolutePath(own) || !QDir().mkpath(own))
        return std::nullopt;
    return madePrivate(own + QStringLiteral("/nimbrel-run"));
}

std::optional<SingleInstance::Role> SingleInstance::askRunningToReopen() const
{
    const QDeadlineTimer deadline(answerWaitMs);
    QLocalSocket socket;
    socket.connectToServer(serverPath);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        // A crashed launch leaves its socket behind, refusing connections.
        if (socket.error() == QLocalSocket::ServerNotFoundError ||
            socket.error() == QLocalSocket::ConnectionRefusedError)
            return std::nullopt;
        return unguarded(QStringLiteral("%1: %2").arg(serverPath, socket.errorString()));
    }
    socket.write(reopenRequest);
    socket.flush();
    while (!socket.canReadLine() && socket.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    // Its request stays queued for it, so a busy running launch still opens the popover later.
    if (socket.readLine() != acknowledgement)
        qWarning().noquote() << "The running instance at" << serverPath
                             << "did not answer in time; leaving the popover to it";
    return Role::Secondary;
}

SingleInstance::Role SingleInstance::listen()
{
    // Under the lock and with nobody answering, a socket file here is a crashed launch's.
    QLocalServer::removeServer(serverPath);
    if (!server.listen(serverPath))
        return unguarded(QStringLiteral("%1: %2").arg(serverPath, server.errorString()));
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server.nextPendingConnection())
            serve(client);
    });
    return Role::Primary;
}

void SingleInstance::serve(QLocalSocket* client)
{
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] {
        while (client->canReadLine()) {
            if (client->readLine() != reopenRequest)
                continue;
            // Answered first, so the later launch can end while the popover opens.
            client->write(acknowledgement);
            client->flush();
            emit reopenRequested();
        }
    });
}
