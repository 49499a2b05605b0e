#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <sys/types.h>
#include <utility>

/// A process told apart from a later one that reuses its pid: its pid and its start time.
using ProcessKey = std::pair<pid_t, quint64>;

/// Where a process hangs in the tree and when it started, read together.
struct ProcessRecord {
    pid_t pid = 0;
    pid_t parent = 0;
    quint64 startTime = 0; // clock ticks since boot

    ProcessKey key() const { return {pid, startTime}; }

    friend bool operator==(const ProcessRecord&, const ProcessRecord&) = default;
};

/// Facts about the machine's processes. Any call may run on any thread.
class ProcessInfo
{
public:
    virtual ~ProcessInfo() = default;

    virtual pid_t ownPid() const = 0;
    /// Every positive process identifier, kernel threads excepted.
    virtual QList<pid_t> allPids() const = 0;
    /// The record of every process allPids() lists, in its order, each read once; a process
    /// whose record cannot be read whole (it has ended meanwhile) is left out.
    virtual QList<ProcessRecord> allRecords() const = 0;
    /// The parent's pid; nothing when the process record cannot be read whole.
    virtual std::optional<pid_t> parent(pid_t pid) const = 0;
    /// When the process started, in clock ticks since boot; tells a reused pid apart.
    virtual std::optional<quint64> startTime(pid_t pid) const = 0;
    /// Bytes that would be freed if the process ended; nothing when it cannot be read.
    virtual std::optional<quint64> footprint(pid_t pid) const = 0;
    /// A quick guess at footprint() from the counters the kernel keeps for the process, without
    /// walking its memory; nothing when it cannot be read.
    virtual std::optional<quint64> footprintEstimate(pid_t pid) const = 0;
    /// The desktop app unit the process runs in (e.g. "app-gnome-org.gnome.Evince-1234.scope").
    virtual std::optional<QString> appUnit(pid_t pid) const = 0;
};
