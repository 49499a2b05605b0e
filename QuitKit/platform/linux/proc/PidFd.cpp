#include "PidFd.h"

#include "ProcStat.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

std::optional<PidFd> PidFd::open(pid_t pid, quint64 startTime, const QString& procRoot)
{
    if (pid <= 0)
        return std::nullopt;
    // glibc's <sys/pidfd.h> cannot be included from C++ (no extern "C"); the syscall is stable.
    const int fd = int(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        return std::nullopt;
    PidFd process(fd);
    // Checked after opening: the pidfd now pins this process, so its start time cannot change.
    const std::optional<ProcStat> stat = ProcStat::read(procRoot, pid);
    if (!stat || stat->startTime != startTime)
        return std::nullopt;
    return process;
}

PidFd::PidFd(PidFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}

PidFd& PidFd::operator=(PidFd&& other) noexcept
{
    std::swap(fd, other.fd);
    return *this;
}

PidFd::~PidFd()
{
    if (fd >= 0)
        close(fd);
}

bool PidFd::hasExited() const
{
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN);
}

bool PidFd::sendSignal(int signal) const
{
    return syscall(SYS_pidfd_send_signal, fd, signal, nullptr, 0) == 0;
}
