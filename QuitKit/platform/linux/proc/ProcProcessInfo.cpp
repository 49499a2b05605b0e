#include "ProcProcessInfo.h"

#include "AppUnit.h"
#include "ProcStat.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{

struct ProcFile {
    QByteArray text;
    int error = 0; // errno of the failed open or read; 0 when read whole
};

// Plain system calls: this runs for every process on every measuring snapshot.
ProcFile readWhole(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {{}, errno};
    ProcFile file;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            file = {{}, errno};
        if (n <= 0)
            break;
        file.text.append(buffer, n);
        // The kernel hands a record over whole when it fits, and asking again for the end of
        // the file would build /proc/PID/stat a second time; a short read is the end.
        if (size_t(n) < sizeof buffer)
            break;
    }
    ::close(fd);
    return file;
}

// The figure of a "Key:   123 kB" line, in bytes; nothing when the line is missing.
std::optional<quint64> kilobytes(const QByteArray& text, QByteArrayView key)
{
    qsizetype at = -1;
    do {
        at = text.indexOf(key, at + 1);
    } while (at > 0 && text[at - 1] != '\n');
    if (at < 0)
        return std::nullopt;
    at += key.size();
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    quint64 value = 0;
    const qsizetype digits = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value * 10 + quint64(text[at] - '0');
    if (at == digits)
        return std::nullopt;
    return value * 1024;
}

// Before 5.3 the rollup has no Pss_Anon, and Pss alone would count mapped files too.
std::optional<quint64> rollupFootprint(const QByteArray& rollup)
{
    const std::optional<quint64> anon = kilobytes(rollup, "Pss_Anon:");
    if (!anon)
        return std::nullopt;
    return *anon + kilobytes(rollup, "Pss_Shmem:").value_or(0) +
           kilobytes(rollup, "SwapPss:").value_or(0) +
           kilobytes(rollup, "Private_Hugetlb:").value_or(0);
}

std::optional<quint64> statusFootprint(const QByteArray& status)
{
    const std::optional<quint64> anon = kilobytes(status, "RssAnon:");
    if (!anon)
        return std::nullopt;
    return *anon + kilobytes(status, "RssShmem:").value_or(0) +
           kilobytes(status, "VmSwap:").value_or(0);
}

QByteArray procPath(const QByteArray& root, pid_t pid, const char* file)
{
    return root + '/' + QByteArray::number(pid) + '/' + file;
}

std::optional<ProcStat> readStat(const QByteArray& root, pid_t pid)
{
    const ProcFile file = readWhole(procPath(root, pid, "stat"));
    if (file.error)
        return std::nullopt;
    return ProcStat::parse(file.text);
}

std::optional<pid_t> pidFromName(const char* name)
{
    pid_t pid = 0;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > 99999999)
            return std::nullopt;
        pid = pid * 10 + (*c - '0');
    }
    if (pid <= 0)
        return std::nullopt;
    return pid;
}

// Calls `visit(pid, stat)` for every process folder under `root` but kernel threads, reading
// each record once; `stat` is nothing when the record could not be read whole.
template <typename Visit> void forEachProcess(const QByteArray& root, Visit visit)
{
    DIR* dir = ::opendir(root.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> pid = pidFromName(entry->d_name);
        if (!pid)
            continue;
        const std::optional<ProcStat> stat = readStat(root, *pid);
        if (!stat || !stat->kernelThread)
            visit(*pid, stat);
    }
    ::closedir(dir);
}

} // namespace

ProcProcessInfo::ProcProcessInfo(const QString& procRoot) : root(QFile::encodeName(procRoot)) {}

pid_t ProcProcessInfo::ownPid() const
{
    return ::getpid();
}

QList<pid_t> ProcProcessInfo::allPids() const
{
    QList<pid_t> pids;
    // A process that vanishes meanwhile stays listed; the reads that follow find it gone.
    forEachProcess(root, [&](pid_t pid, const std::optional<ProcStat>&) { pids.append(pid); });
    std::sort(pids.begin(), pids.end());
    return pids;
}

QList<ProcessRecord> ProcProcessInfo::allRecords() const
{
    QList<ProcessRecord> records;
    forEachProcess(root, [&](pid_t pid, const std::optional<ProcStat>& stat) {
        if (stat)
            records.append({pid, stat->parent, stat->startTime});
    });
    std::sort(records.begin(), records.end(),
              [](const ProcessRecord& a, const ProcessRecord& b) { return a.pid < b.pid; });
    return records;
}

std::optional<pid_t> ProcProcessInfo::parent(pid_t pid) const
{
    const std::optional<ProcStat> stat = readStat(root, pid);
    return stat ? std::optional(stat->parent) : std::nullopt;
}

std::optional<quint64> ProcProcessInfo::startTime(pid_t pid) const
{
    const std::optional<ProcStat> stat = readStat(root, pid);
    return stat ? std::optional(stat->startTime) : std::nullopt;
}

std::optional<quint64> ProcProcessInfo::footprint(pid_t pid) const
{
    const ProcFile rollup = readWhole(procPath(root, pid, "smaps_rollup"));
    // ESRCH: the process has exited, or is a zombie without memory.
    if (rollup.error == ESRCH)
        return std::nullopt;
    if (!rollup.error) {
        if (const std::optional<quint64> figure = rollupFootprint(rollup.text))
            return figure;
    }
    // Refused (another user's or a non-dumpable process) or too old: status is world-readable.
    return footprintEstimate(pid);
}

std::optional<quint64> ProcProcessInfo::footprintEstimate(pid_t pid) const
{
    const ProcFile status = readWhole(procPath(root, pid, "status"));
    if (status.error)
        return std::nullopt;
    return statusFootprint(status.text);
}

std::optional<QString> ProcProcessInfo::appUnit(pid_t pid) const
{
    const ProcFile cgroup = readWhole(procPath(root, pid, "cgroup"));
    if (cgroup.error)
        return std::nullopt;
    return AppUnit::fromCgroup(cgroup.text);
}
