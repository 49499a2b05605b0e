#include "ProcessMemory.h"

#include "ProcessInfo.h"

#include <QString>

namespace
{

constexpr int maxAncestors = 12;

// The oldest process of each of some app units, and which unit each of their processes is in.
struct UnitIndex {
    QHash<pid_t, QString> unitOf;
    QHash<QString, ProcessRecord> oldest;

    void add(const ProcessRecord& process, const QString& unit)
    {
        unitOf.insert(process.pid, unit);
        const auto known = oldest.constFind(unit);
        if (known == oldest.constEnd() || process.startTime < known->startTime ||
            (process.startTime == known->startTime && process.pid < known->pid))
            oldest.insert(unit, process);
    }

    // Outside the indexed units this is `pid` itself, which is all callers need there.
    pid_t responsible(pid_t pid) const
    {
        const auto unit = unitOf.constFind(pid);
        return unit == unitOf.constEnd() ? pid : oldest.value(*unit, ProcessRecord{.pid = pid}).pid;
    }
};

// The nearest of at most `maxAncestors` ancestors that is in `apps`; the walk ends at 0 and 1.
template <typename ParentOf>
std::optional<pid_t> nearestAncestor(pid_t pid, const QSet<pid_t>& apps, ParentOf parentOf)
{
    pid_t current = pid;
    for (int step = 0; step < maxAncestors; ++step) {
        const std::optional<pid_t> up = parentOf(current);
        if (!up || *up == 0 || *up == 1)
            return std::nullopt;
        if (apps.contains(*up))
            return *up;
        current = *up;
    }
    return std::nullopt;
}

// The attribution rule, with the responsible process and parents looked up as the caller can.
template <typename ResponsibleFor, typename ParentOf>
std::optional<pid_t> findOwner(pid_t pid, const QSet<pid_t>& apps, ResponsibleFor responsibleFor,
                               ParentOf parentOf)
{
    if (apps.contains(pid))
        return pid;
    // The walk starts from the process itself: an ancestor's responsible process never counts.
    const std::optional<pid_t> ancestor = nearestAncestor(pid, apps, parentOf);
    const pid_t responsible = responsibleFor(pid);
    if (!apps.contains(responsible))
        return ancestor;
    // Apps started from a terminal or launcher share its unit; each owns what it started there.
    if (ancestor && responsibleFor(*ancestor) == responsible)
        return ancestor;
    return responsible;
}

} // namespace

std::optional<quint64> ProcessMemory::footprint(const ProcessInfo& processes, pid_t pid)
{
    return processes.footprint(pid);
}

QList<pid_t> ProcessMemory::allPIDs(const ProcessInfo& processes)
{
    QList<pid_t> pids = processes.allPids();
    pids.removeIf([](pid_t pid) { return pid <= 0; });
    return pids;
}

std::optional<pid_t> ProcessMemory::parent(const ProcessInfo& processes, pid_t pid)
{
    return processes.parent(pid);
}

pid_t ProcessMemory::responsible(const ProcessInfo& processes, pid_t pid)
{
    const std::optional<QString> unit = processes.appUnit(pid);
    if (!unit)
        return pid;
    UnitIndex index;
    for (const ProcessRecord& process : processes.allRecords()) {
        if (processes.appUnit(process.pid) == unit)
            index.add(process, *unit);
    }
    return index.responsible(pid);
}

std::optional<pid_t> ProcessMemory::owner(const ProcessInfo& processes, pid_t pid,
                                          const QSet<pid_t>& apps)
{
    return findOwner(
        pid, apps, [&](pid_t p) { return responsible(processes, p); },
        [&](pid_t p) { return parent(processes, p); });
}

QHash<pid_t, QList<ProcessRecord>> ProcessMemory::owned(const ProcessInfo& processes,
                                                        const QSet<pid_t>& apps)
{
    QHash<pid_t, QList<ProcessRecord>> result;
    for (const pid_t app : apps)
        result.insert(app, {});
    if (apps.isEmpty())
        return result;

    // One read of each record gives the whole tree: parents and start times together.
    const QList<ProcessRecord> records = processes.allRecords();
    QHash<pid_t, pid_t> parents;
    parents.reserve(records.size());
    for (const ProcessRecord& process : records)
        parents.insert(process.pid, process.parent);
    const auto parentOf = [&](pid_t pid) -> std::optional<pid_t> {
        const auto known = parents.constFind(pid);
        return known == parents.constEnd() ? std::nullopt : std::optional(*known);
    };

    // Only the units the apps run in can make one of them responsible for another process, so
    // the other processes' units are read only when an app runs in one.
    QHash<pid_t, std::optional<QString>> appUnitOf;
    QSet<QString> appUnits;
    for (const pid_t app : apps) {
        const std::optional<QString> unit = processes.appUnit(app);
        appUnitOf.insert(app, unit);
        if (unit)
            appUnits.insert(*unit);
    }
    UnitIndex units;
    if (!appUnits.isEmpty()) {
        for (const ProcessRecord& process : records) {
            const std::optional<QString> unit = apps.contains(process.pid)
                                                    ? appUnitOf.value(process.pid)
                                                    : processes.appUnit(process.pid);
            if (unit && appUnits.contains(*unit))
                units.add(process, *unit);
        }
    }
    const auto responsibleFor = [&](pid_t pid) { return units.responsible(pid); };

    for (const ProcessRecord& process : records) {
        if (const std::optional<pid_t> owner =
                findOwner(process.pid, apps, responsibleFor, parentOf))
            result[*owner].append(process);
    }
    return result;
}

QHash<pid_t, quint64> ProcessMemory::totals(const ProcessInfo& processes, const QSet<pid_t>& apps)
{
    QHash<pid_t, quint64> result;
    // Footprints, the costly reads (the kernel walks the page tables), only for owned processes.
    const QHash<pid_t, QList<ProcessRecord>> owners = owned(processes, apps);
    for (auto app = owners.cbegin(); app != owners.cend(); ++app) {
        quint64 bytes = 0;
        for (const ProcessRecord& process : *app)
            bytes += processes.footprint(process.pid).value_or(0);
        result.insert(app.key(), bytes);
    }
    return result;
}
