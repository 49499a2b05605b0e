#pragma once

#include "ProcessInfo.h"

#include <QHash>
#include <QList>

// A process table the tests build by hand.
class FakeProcessInfo : public ProcessInfo
{
public:
    struct Process {
        std::optional<pid_t> parent = 1;
        quint64 startTime = 0;
        std::optional<quint64> footprint = 0;
        std::optional<QString> appUnit = std::nullopt;
    };

    // Adds or replaces a process; allPids() lists processes in the order first added.
    void add(pid_t pid, const Process& process);
    pid_t own = 4242;

    pid_t ownPid() const override { return own; }
    QList<pid_t> allPids() const override { return order; }
    QList<ProcessRecord> allRecords() const override;
    std::optional<pid_t> parent(pid_t pid) const override;
    std::optional<quint64> startTime(pid_t pid) const override;
    std::optional<quint64> footprint(pid_t pid) const override;
    std::optional<QString> appUnit(pid_t pid) const override;

    // How often footprint() was asked, so tests can tell that nothing was measured.
    mutable int footprintReads = 0;

private:
    QHash<pid_t, Process> processes;
    QList<pid_t> order;
};
