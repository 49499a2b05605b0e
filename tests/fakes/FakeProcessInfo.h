#pragma once

#include "ProcessInfo.h"

#include <QHash>
#include <QList>

#include <atomic>
#include <chrono>

// A process table the tests build by hand. Any call may run on any thread while the table
// stays unchanged.
class FakeProcessInfo : public ProcessInfo
{
public:
    struct Process {
        std::optional<pid_t> parent = 1;
        quint64 startTime = 0;
        std::optional<quint64> footprint = 0;
        std::optional<QString> appUnit = std::nullopt;
        std::optional<quint64> estimate = 0;
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
    std::optional<quint64> footprintEstimate(pid_t pid) const override;
    std::optional<QString> appUnit(pid_t pid) const override;

    // A count threads may add to at once; a copied or assigned table counts its own reads.
    struct ReadCount : std::atomic<int> {
        ReadCount() : std::atomic<int>(0) {}
        ReadCount(const ReadCount&) : std::atomic<int>(0) {}
        ReadCount& operator=(const ReadCount&)
        {
            store(0);
            return *this;
        }
    };
    // How often footprint() was asked, so tests can tell that nothing was measured.
    mutable ReadCount footprintReads;
    // How long each footprint() takes, as the kernel's walk of a large process would.
    std::chrono::milliseconds footprintDelay{0};

private:
    QHash<pid_t, Process> processes;
    QList<pid_t> order;
};
