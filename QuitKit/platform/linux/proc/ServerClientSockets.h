#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <sys/types.h>

// The connections one local server (an X server, a Wayland compositor) has to its clients, and
// which processes hold them now: the kernel's record, which no client can forge and which
// follows a connection across fork().
class ServerClientSockets
{
public:
    // The clients of the server at the other end of `connectionFd`; nothing when they cannot be
    // told (not a unix socket, no socket diagnostics, or the server sits in another pid
    // namespace, where the pids it reports mean other processes here).
    static std::optional<ServerClientSockets> of(int connectionFd,
                                                 const QString& procRoot = QStringLiteral("/proc"));

    // How many of the server's client connections `pid` holds now; 0 when it holds none or its
    // descriptors cannot be read (another user's process).
    int connectionsHeldBy(pid_t pid);
    // The connections that none of `claimants` holds.
    QSet<quint32> heldByNoneOf(const QList<pid_t>& claimants);
    // The processes of this user whose descriptors hold `connection`.
    QList<pid_t> holdersOf(quint32 connection) const;

private:
    ServerClientSockets(QSet<quint32> clientInodes, QString procRoot);
    QSet<quint32> connectionsOf(pid_t pid) const;

    QSet<quint32> clientInodes;
    QString procRoot;
    QHash<pid_t, QSet<quint32>> held;
};
