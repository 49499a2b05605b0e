#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <sys/types.h>

// The process that stands for an app unit: its oldest one (earliest start, then lowest pid),
// accepted only when it is one of this user's processes, not init and not this program.
namespace UnitMainProcess
{

struct Process {
    pid_t pid = 0;
    quint64 startTime = 0; // clock ticks after boot, to tell a reused pid apart
};

/// The main process among `processes` (a unit's), read from `procRoot`; nothing when none of
/// them still runs or the oldest is not ours to list.
std::optional<Process> of(const QList<pid_t>& processes, const QString& procRoot);

} // namespace UnitMainProcess
