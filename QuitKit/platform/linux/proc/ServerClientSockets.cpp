#include "ServerClientSockets.h"

#include "UnixSockets.h"

#include <QDir>
#include <QFile>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace
{

bool serverIsInOurPidNamespace(int connectionFd)
{
    ucred server{};
    socklen_t size = sizeof server;
    // The kernel gives pid 0 for a peer it cannot name in our namespace.
    return getsockopt(connectionFd, SOL_SOCKET, SO_PEERCRED, &server, &size) == 0 && server.pid > 0;
}

// A server listens on a path and on the same name in the abstract namespace.
QByteArray listeningName(const QByteArray& name)
{
    return name.startsWith('@') ? name.mid(1) : name;
}

std::optional<quint32> socketInode(const QString& link)
{
    std::array<char, 64> target{};
    const ssize_t size =
        readlink(QFile::encodeName(link).constData(), target.data(), target.size());
    const QByteArray text(target.data(), size > 0 ? int(size) : 0);
    if (!text.startsWith("socket:[") || !text.endsWith(']'))
        return std::nullopt;
    bool ok = false;
    const quint32 inode = text.mid(8, text.size() - 9).toUInt(&ok);
    return ok ? std::optional(inode) : std::nullopt;
}

} // namespace

std::optional<ServerClientSockets> ServerClientSockets::of(int connectionFd,
                                                           const QString& procRoot)
{
    struct stat own {
    };
    if (fstat(connectionFd, &own) != 0 || !S_ISSOCK(own.st_mode) ||
        !serverIsInOurPidNamespace(connectionFd))
        return std::nullopt;
    const std::optional<QList<UnixSockets::Socket>> sockets = UnixSockets::connected();
    if (!sockets)
        return std::nullopt;
    QHash<quint32, const UnixSockets::Socket*> byInode;
    for (const UnixSockets::Socket& socket : *sockets)
        byInode.insert(socket.inode, &socket);
    const UnixSockets::Socket* ours = byInode.value(quint32(own.st_ino));
    const UnixSockets::Socket* serverEnd = ours ? byInode.value(ours->peer) : nullptr;
    if (!serverEnd || serverEnd->name.isEmpty())
        return std::nullopt;
    // The server's end of every client connection carries the name the server listens on.
    const QByteArray server = listeningName(serverEnd->name);
    QSet<quint32> clients;
    for (const UnixSockets::Socket& socket : *sockets) {
        if (socket.peer != 0 && listeningName(socket.name) == server)
            clients.insert(socket.peer);
    }
    return ServerClientSockets(std::move(clients), procRoot);
}

ServerClientSockets::ServerClientSockets(QSet<quint32> clientInodes_, QString procRoot_)
    : clientInodes(std::move(clientInodes_)), procRoot(std::move(procRoot_))
{
}

int ServerClientSockets::connectionsHeldBy(pid_t pid)
{
    if (pid <= 0)
        return 0;
    auto known = held.constFind(pid);
    if (known == held.constEnd())
        known = held.insert(pid, connectionsOf(pid));
    return int(known->size());
}

QSet<quint32> ServerClientSockets::heldByNoneOf(const QList<pid_t>& claimants)
{
    QSet<quint32> unclaimed = clientInodes;
    for (pid_t pid : claimants) {
        if (connectionsHeldBy(pid) > 0)
            unclaimed.subtract(held.value(pid));
    }
    return unclaimed;
}

QList<pid_t> ServerClientSockets::holdersOf(quint32 connection) const
{
    QList<pid_t> holders;
    const QDir processes(procRoot);
    for (const QString& name : processes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const pid_t pid = name.toInt(&isPid);
        struct stat process {
        };
        if (!isPid || pid <= 0 ||
            stat(QFile::encodeName(processes.filePath(name)).constData(), &process) != 0 ||
            process.st_uid != getuid())
            continue;
        if (connectionsOf(pid).contains(connection))
            holders.append(pid);
    }
    return holders;
}

QSet<quint32> ServerClientSockets::connectionsOf(pid_t pid) const
{
    const QDir descriptors(procRoot + QLatin1Char('/') + QString::number(pid) +
                           QLatin1String("/fd"));
    QSet<quint32> connections;
    for (const QString& fd : descriptors.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const std::optional<quint32> inode = socketInode(descriptors.filePath(fd));
        if (inode && clientInodes.contains(*inode))
            connections.insert(*inode);
    }
    return connections;
}
