#include "LinuxProcess.h"

#include "PidFd.h"

#include <QFile>

#include <csignal>
#include <optional>
#include <unistd.h>

namespace
{

// The real user id on the "Uid:" line of /proc/PID/status.
std::optional<uid_t> owner(pid_t pid, const QString& procRoot)
{
    QFile status(procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1String("/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (!line.startsWith("Uid:"))
            continue;
        bool ok = false;
        const uid_t uid = line.mid(4).simplified().split(' ').value(0).toUInt(&ok);
        return ok ? std::optional(uid) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

namespace LinuxProcess
{

bool isOursToKill(pid_t pid, const QString& procRoot)
{
    return pid != 1 && pid != getpid() && owner(pid, procRoot) == geteuid();
}

bool killVerified(pid_t pid, quint64 startTime, const QString& procRoot)
{
    const std::optional<PidFd> process = PidFd::open(pid, startTime, procRoot);
    return process && isOursToKill(pid, procRoot) && !process->hasExited() &&
           process->sendSignal(SIGKILL);
}

bool hasEnded(pid_t pid, quint64 startTime, const QString& procRoot)
{
    const std::optional<PidFd> process = PidFd::open(pid, startTime, procRoot);
    return !process || process->hasExited();
}

} // namespace LinuxProcess
