#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The machine's connected unix stream sockets as the kernel's socket diagnostics report them
// (what `ss -x` shows), in this process's network namespace.
namespace UnixSockets
{

struct Socket {
    quint32 inode = 0;
    quint32 peer = 0; // the inode at the other end
    QByteArray name;  // the bound or connected-to path; abstract names start with '@'
};

// Every connected socket; nothing when the kernel does not answer.
std::optional<QList<Socket>> connected();

} // namespace UnixSockets
