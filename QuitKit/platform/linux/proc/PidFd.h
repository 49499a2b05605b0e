#pragma once

#include <QString>

#include <optional>
#include <sys/types.h>

// An open pidfd: a handle on one process that stays with it even after its pid is reused.
class PidFd
{
public:
    // Opens `pid` when it is still the process that started at `startTime` (field 22 of
    // `<procRoot>/<pid>/stat`); nothing when it is gone or the pid now names another process.
    static std::optional<PidFd> open(pid_t pid, quint64 startTime, const QString& procRoot);

    PidFd(PidFd&& other) noexcept;
    PidFd& operator=(PidFd&& other) noexcept;
    PidFd(const PidFd&) = delete;
    PidFd& operator=(const PidFd&) = delete;
    ~PidFd();

    int descriptor() const { return fd; }
    // The process has exited (it may still wait, as a zombie, to be reaped).
    bool hasExited() const;
    // Sends `signal` to this very process; false when it could not be delivered.
    bool sendSignal(int signal) const;

private:
    explicit PidFd(int fd_) : fd(fd_) {}
    int fd = -1;
};
