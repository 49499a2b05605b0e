#include "LinuxProcess.h"

#include "PidFd.h"

#include <csignal>

namespace LinuxProcess
{

bool forceTerminate(pid_t pid, quint64 startTime, const QString& procRoot)
{
    const std::optional<PidFd> process = PidFd::open(pid, startTime, procRoot);
    return process && !process->hasExited() && process->sendSignal(SIGKILL);
}

bool hasEnded(pid_t pid, quint64 startTime, const QString& procRoot)
{
    const std::optional<PidFd> process = PidFd::open(pid, startTime, procRoot);
    return !process || process->hasExited();
}

} // namespace LinuxProcess
