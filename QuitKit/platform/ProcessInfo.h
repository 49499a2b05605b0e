#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <sys/types.h>

/// Facts about the machine's processes. Any call may run on any thread.
class ProcessInfo
{
public:
    virtual ~ProcessInfo() = default;

    virtual pid_t ownPid() const = 0;
    /// Every positive process identifier, kernel threads excepted.
    virtual QList<pid_t> allPids() const = 0;
    /// The parent's pid; nothing when the process record cannot be read whole.
    virtual std::optional<pid_t> parent(pid_t pid) const = 0;
    /// When the process started, in clock ticks since boot; tells a reused pid apart.
    virtual std::optional<quint64> startTime(pid_t pid) const = 0;
    /// Bytes that would be freed if the process ended; nothing when it cannot be read.
    virtual std::optional<quint64> footprint(pid_t pid) const = 0;
    /// The desktop app unit the process runs in (e.g. "app-gnome-org.gnome.Evince-1234.scope").
    virtual std::optional<QString> appUnit(pid_t pid) const = 0;
};
