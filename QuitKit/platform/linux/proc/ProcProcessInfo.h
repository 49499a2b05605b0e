#pragma once

#include "ProcessInfo.h"

#include <QByteArray>
#include <QString>

/// Process facts read from a /proc file system, by default the live one. Tests point it at a
/// folder laid out like /proc (PID/stat, PID/smaps_rollup, PID/status, PID/cgroup).
class ProcProcessInfo : public ProcessInfo
{
public:
    explicit ProcProcessInfo(const QString& procRoot = QStringLiteral("/proc"));

    pid_t ownPid() const override;
    QList<pid_t> allPids() const override;
    QList<ProcessRecord> allRecords() const override;
    std::optional<pid_t> parent(pid_t pid) const override;
    std::optional<quint64> startTime(pid_t pid) const override;
    /// Pss_Anon + Pss_Shmem + SwapPss (+ Private_Hugetlb) of smaps_rollup; RssAnon + RssShmem +
    /// VmSwap of status when the rollup is refused or too old to split Pss; nothing once the
    /// process has exited.
    std::optional<quint64> footprint(pid_t pid) const override;
    /// RssAnon + RssShmem + VmSwap of status: shared memory counted whole in every process.
    std::optional<quint64> footprintEstimate(pid_t pid) const override;
    std::optional<QString> appUnit(pid_t pid) const override;

private:
    QByteArray root; // encoded for the system calls
};
