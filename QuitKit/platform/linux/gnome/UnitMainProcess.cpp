#include "UnitMainProcess.h"

#include "ProcStat.h"

#include <QFileInfo>

#include <unistd.h>

namespace
{

bool isOurs(pid_t pid, const QString& procRoot)
{
    const QFileInfo process(procRoot + QLatin1Char('/') + QString::number(pid));
    return pid != 1 && pid != getpid() && process.exists() && process.ownerId() == geteuid();
}

} // namespace

std::optional<UnitMainProcess::Process> UnitMainProcess::of(const QList<pid_t>& processes,
                                                            const QString& procRoot)
{
    std::optional<Process> oldest;
    for (pid_t pid : processes) {
        const std::optional<ProcStat> stat = ProcStat::read(procRoot, pid);
        if (!stat || stat->hasEnded() || stat->kernelThread)
            continue;
        if (!oldest || stat->startTime < oldest->startTime ||
            (stat->startTime == oldest->startTime && pid < oldest->pid))
            oldest = Process{pid, stat->startTime};
    }
    // A unit whose first process is not ours to quit (this very program, say) is no app to list.
    if (!oldest || !isOurs(oldest->pid, procRoot))
        return std::nullopt;
    return oldest;
}
