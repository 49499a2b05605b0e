#include "ProcessMemory.h"

#include "ProcessInfo.h"

#include <QString>

namespace
{

constexpr int maxAncestors = 12;

// The oldest process of each of some app units, and which unit each of their processes is in.
struct UnitIndex {
    QHash<pid_t, QString> unitOf;
    QHash<QString, pid_t> oldest;

    // Outside the indexed units this is `pid` itself, which is all callers need there.
    pid_t responsible(pid_t pid) const
    {
        const auto unit = unitOf.constFind(pid);
        return unit == unitOf.constEnd() ? pid : oldest.value(*unit, pid);
    }
};

UnitIndex indexUnits(const ProcessInfo& processes, const QList<pid_t>& pids,
                     const QSet<QString>& units)
{
    UnitIndex index;
    if (units.isEmpty())
        return index;
    QHash<QString, quint64> oldestStart;
    for (const pid_t pid : pids) {
        const std::optional<QString> unit = processes.appUnit(pid);
        if (!unit || !units.contains(*unit))
            continue;
        const std::optional<quint64> start = processes.startTime(pid);
        if (!start)
            continue;
        index.unitOf.insert(pid, *unit);
        const auto known = oldestStart.constFind(*unit);
        if (known == oldestStart.constEnd() || *start < *known ||
            (*start == *known && pid < index.oldest.value(*unit))) {
            oldestStart.insert(*unit, *start);
            index.oldest.insert(*unit, pid);
        }
    }
    return index;
}

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
    return indexUnits(processes, allPIDs(processes), {*unit}).oldest.value(*unit, pid);
}

std::optional<pid_t> ProcessMemory::owner(const ProcessInfo& processes, pid_t pid,
                                          const QSet<pid_t>& apps)
{
    return findOwner(
        pid, apps, [&](pid_t p) { return responsible(processes, p); },
        [&](pid_t p) { return parent(processes, p); });
}

QHash<pid_t, quint64> ProcessMemory::totals(const ProcessInfo& processes, const QSet<pid_t>& apps)
{
    QHash<pid_t, quint64> result;
    for (const pid_t app : apps)
        result.insert(app, 0);
    if (apps.isEmpty())
        return result;

    const QList<pid_t> pids = allPIDs(processes);
    // Only the units the apps run in can make one of them responsible for another process.
    QSet<QString> appUnits;
    for (const pid_t app : apps) {
        if (const std::optional<QString> unit = processes.appUnit(app))
            appUnits.insert(*unit);
    }
    const UnitIndex units = indexUnits(processes, pids, appUnits);

    // Each record is read once per pass, however many descendants walk through it.
    QHash<pid_t, std::optional<pid_t>> parents;
    parents.reserve(pids.size());
    const auto parentOf = [&](pid_t pid) {
        auto known = parents.constFind(pid);
        if (known == parents.constEnd())
            known = parents.insert(pid, processes.parent(pid));
        return *known;
    };
    const auto responsibleFor = [&](pid_t pid) { return units.responsible(pid); };

    // Footprints, the costly reads (the kernel walks the page tables), only for owned processes.
    for (const pid_t pid : pids) {
        const std::optional<pid_t> owner = findOwner(pid, apps, responsibleFor, parentOf);
        if (!owner)
            continue;
        if (const std::optional<quint64> bytes = processes.footprint(pid))
            result[*owner] += *bytes;
    }
    return result;
}
