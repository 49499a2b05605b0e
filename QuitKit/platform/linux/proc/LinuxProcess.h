#pragma once

#include <QString>

#include <sys/types.h>

// Questions and orders for one listed process, named by its pid and its start time (clock
// ticks after boot, field 22 of /proc/PID/stat) so that a reused pid is never mistaken for it.
namespace LinuxProcess
{

// Kills the process at once; false when it has already ended, the pid names another process,
// init, this program or another user's process, or the kernel did not deliver the signal.
bool killVerified(pid_t pid, quint64 startTime, const QString& procRoot = QStringLiteral("/proc"));

// Not init, not this program, and run by this user: a process this program may kill.
bool isOursToKill(pid_t pid, const QString& procRoot = QStringLiteral("/proc"));

// The process is gone, its pid names another process now, or it has exited and awaits reaping.
bool hasEnded(pid_t pid, quint64 startTime, const QString& procRoot = QStringLiteral("/proc"));

} // namespace LinuxProcess
