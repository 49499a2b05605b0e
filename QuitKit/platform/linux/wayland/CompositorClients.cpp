#include "CompositorClients.h"

#include "ProcProcessInfo.h"

#include <QFileInfo>

#include <unistd.h>

std::optional<CompositorClients> CompositorClients::of(int connectionFd, const QString& procRoot)
{
    std::optional<ServerClientSockets> sockets = ServerClientSockets::of(connectionFd, procRoot);
    if (!sockets)
        return std::nullopt;
    return CompositorClients(std::move(*sockets), procRoot);
}

CompositorClients::CompositorClients(ServerClientSockets sockets_, QString procRoot_)
    : sockets(std::move(sockets_)), procRoot(std::move(procRoot_))
{
}

bool CompositorClients::isVerified(pid_t pid)
{
    if (pid <= 1 || pid == getpid())
        return false;
    // /proc/PID belongs to the process's user; another user's app is not ours to quit.
    const QFileInfo process(procRoot + QLatin1Char('/') + QString::number(pid));
    return process.exists() && process.ownerId() == geteuid() && sockets.connectionsHeldBy(pid) > 0;
}

QList<pid_t> CompositorClients::all()
{
    QList<pid_t> clients;
    for (pid_t pid : ProcProcessInfo(procRoot).allPids()) {
        if (isVerified(pid))
            clients.append(pid);
    }
    return clients;
}
