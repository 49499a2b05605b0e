#pragma once

#include "ServerClientSockets.h"

#include <QList>
#include <QString>

#include <optional>
#include <sys/types.h>

// The processes that hold a connection to the compositor now, as the kernel's socket records
// show: the only pids a Wayland backend may trust. The server-side check is the one the X11
// backend makes; it names no X11 detail.
class CompositorClients
{
public:
    // The clients of the compositor at the other end of `connectionFd`; nothing when they
    // cannot be told (no socket diagnostics, a compositor in another pid namespace).
    static std::optional<CompositorClients> of(int connectionFd,
                                               const QString& procRoot = QStringLiteral("/proc"));

    // `pid` is a process of this user, neither init nor this program, that holds a connection.
    bool isVerified(pid_t pid);
    // Every verified process.
    QList<pid_t> all();

private:
    CompositorClients(ServerClientSockets sockets, QString procRoot);

    ServerClientSockets sockets;
    QString procRoot;
};
