#include "FakeProcessInfo.h"

#include <thread>

void FakeProcessInfo::add(pid_t pid, const Process& process)
{
    if (!processes.contains(pid))
        order.append(pid);
    processes.insert(pid, process);
}

QList<ProcessRecord> FakeProcessInfo::allRecords() const
{
    QList<ProcessRecord> records;
    for (const pid_t pid : order) {
        const Process& process = processes[pid];
        if (process.parent)
            records.append({pid, *process.parent, process.startTime});
    }
    return records;
}

std::optional<pid_t> FakeProcessInfo::parent(pid_t pid) const
{
    const auto found = processes.constFind(pid);
    return found == processes.constEnd() ? std::nullopt : found->parent;
}

std::optional<quint64> FakeProcessInfo::startTime(pid_t pid) const
{
    const auto found = processes.constFind(pid);
    return found == processes.constEnd() ? std::nullopt : std::optional(found->startTime);
}

std::optional<quint64> FakeProcessInfo::footprint(pid_t pid) const
{
    ++footprintReads;
    std::this_thread::sleep_for(footprintDelay);
    const auto found = processes.constFind(pid);
    return found == processes.constEnd() ? std::nullopt : found->footprint;
}

std::optional<QString> FakeProcessInfo::appUnit(pid_t pid) const
{
    const auto found = processes.constFind(pid);
    return found == processes.constEnd() ? std::nullopt : found->appUnit;
}

std::optional<quint64> FakeProcessInfo::footprintEstimate(pid_t pid) const
{
    const auto found = processes.constFind(pid);
    return found == processes.constEnd() ? std::nullopt : found->estimate;
}
