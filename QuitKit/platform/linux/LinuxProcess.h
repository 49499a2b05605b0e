#pragma once

#include <QString>

#include <sys/types.h>

// Questions and orders for one listed process, named by its pid and its start time (clock
// ticks after boot, field 22 of /proc/PID/stat) so that a reused pid is never mistaken for it.
namespace LinuxProcess
{

// Kills the process at once; false when it has already ended or the pid names another process,
// in which case nothing is signalled.
bool forceTerminate(pid_t pid, quint64 startTime,
                    const QString& procRoot = QStringLiteral("/proc"));

// The process is gone, its pid names another process now, or it has exited and awaits reaping.
bool hasEnded(pid_t pid, quint64 startTime, const QString& procRoot = QStringLiteral("/proc"));

} // namespace LinuxProcess
