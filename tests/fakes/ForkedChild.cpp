#include "ForkedChild.h"

#include "ProcStat.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// Runs in the forked child of a threaded process: async-signal-safe calls only.
[[noreturn]] void runChild(ForkedChild::OnRequest onRequest, quint64 holdBytes, int requests,
                           int exits)
{
    if (holdBytes > 0) {
        void* held =
            mmap(nullptr, holdBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (held != MAP_FAILED)
            memset(held, 1, holdBytes);
    }
    char byte = 0;
    for (;;) {
        const ssize_t got = read(requests, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        // End of input means the test is gone: never outlive it.
        if (got == 1 && onRequest == ForkedChild::OnRequest::Ignore)
            continue;
        break;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    [[maybe_unused]] const ssize_t written = write(exits, &now, sizeof now);
    _exit(0);
}

} // namespace

ForkedChild::ForkedChild(OnRequest onRequest, quint64 holdBytes)
{
    int requests[2], exits[2];
    if (pipe2(requests, O_CLOEXEC) != 0 || pipe2(exits, O_CLOEXEC) != 0)
        qFatal("ForkedChild: no pipes");
    processId = fork();
    if (processId < 0)
        qFatal("ForkedChild: fork failed");
    if (processId == 0) {
        close(requests[1]);
        close(exits[0]);
        runChild(onRequest, holdBytes, requests[0], exits[1]);
    }
    close(requests[0]);
    close(exits[1]);
    requestPipe = requests[1];
    exitPipe = exits[0];
    fcntl(exitPipe, F_SETFL, O_NONBLOCK);
    const std::optional<ProcStat> stat = ProcStat::read(QStringLiteral("/proc"), processId);
    if (!stat)
        qFatal("ForkedChild: cannot read the child's start time");
    started = stat->startTime;
}

ForkedChild::~ForkedChild()
{
    close(requestPipe);
    close(exitPipe);
    if (!reaped) {
        kill(processId, SIGKILL);
        reap();
    }
}

void ForkedChild::request()
{
    const char byte = 'q';
    [[maybe_unused]] const ssize_t written = write(requestPipe, &byte, 1);
}

void ForkedChild::waitForExit()
{
    siginfo_t info{};
    while (waitid(P_PID, id_t(processId), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
}

void ForkedChild::reap()
{
    while (waitpid(processId, nullptr, 0) < 0 && errno == EINTR) {
    }
    reaped = true;
}

std::optional<std::chrono::steady_clock::time_point> ForkedChild::exitedAt()
{
    timespec at{};
    if (read(exitPipe, &at, sizeof at) != ssize_t(sizeof at))
        return std::nullopt;
    const auto sinceEpoch = std::chrono::seconds(at.tv_sec) + std::chrono::nanoseconds(at.tv_nsec);
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(sinceEpoch));
}
