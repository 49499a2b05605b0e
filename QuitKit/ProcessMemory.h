#pragma once

#include <QHash>
#include <QList>
#include <QSet>

#include <optional>
#include <sys/types.h>

class ProcessInfo;
struct ProcessRecord;

// How much memory each app holds: its own process and every process it owns, each process
// counted for at most one app. Stateless; any call may run on any thread.
namespace ProcessMemory
{

// Bytes that ending `pid` would free; nothing when it cannot be read (e.g. it has exited).
std::optional<quint64> footprint(const ProcessInfo& processes, pid_t pid);

// Every positive process identifier on the machine.
QList<pid_t> allPIDs(const ProcessInfo& processes);

// The parent's identifier; nothing when the process record cannot be read whole.
std::optional<pid_t> parent(const ProcessInfo& processes, pid_t pid);

// The oldest process (earliest start, then lowest pid) of the app unit `pid` runs in; `pid`
// itself when it runs in none.
pid_t responsible(const ProcessInfo& processes, pid_t pid);

// The app in `apps` that owns `pid`: `pid` itself, else its responsible process, else the
// nearest of at most 12 ancestors (the walk ends at 0 and 1); nothing when none is in `apps`.
// A listed ancestor inside the responsible process's own unit (an app started from a terminal)
// is nearer than the responsible process and wins over it.
std::optional<pid_t> owner(const ProcessInfo& processes, pid_t pid, const QSet<pid_t>& apps);

// Every app of `apps` mapped to the records of all the processes it owns (none when none is
// running). Walks every process once and reads each record once; the other processes' units
// are read only when an app runs in one. Reads no footprint.
QHash<pid_t, QList<ProcessRecord>> owned(const ProcessInfo& processes, const QSet<pid_t>& apps);

// Every app of `apps` mapped to the footprint of all the processes it owns (0 when none can be
// read), as owned() finds them; each process's footprint is read once.
QHash<pid_t, quint64> totals(const ProcessInfo& processes, const QSet<pid_t>& apps);

} // namespace ProcessMemory
