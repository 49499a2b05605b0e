#pragma once

#include <QtGlobal>

#include <chrono>
#include <optional>
#include <sys/types.h>

// A real child process for tests: it waits for a request from the test, then exits (or keeps
// ignoring requests), telling the test the moment it exits. Killed and reaped when destroyed.
class ForkedChild
{
public:
    enum class OnRequest { Exit, Ignore };

    // The child first fills `holdBytes` of private memory, so it weighs as much as an app.
    explicit ForkedChild(OnRequest onRequest = OnRequest::Exit, quint64 holdBytes = 0);
    ~ForkedChild();
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    pid_t pid() const { return processId; }
    quint64 startTime() const { return started; }

    // Asks the child to exit; it does so at once unless it ignores requests.
    void request();
    // Blocks until the child has exited, leaving it a zombie until reap().
    void waitForExit();
    // Collects the exited child; its pid is free for reuse afterwards.
    void reap();
    // When the child exited, on the steady clock; nothing when it did not exit on request.
    std::optional<std::chrono::steady_clock::time_point> exitedAt();

private:
    pid_t processId = -1;
    quint64 started = 0;
    int requestPipe = -1; // write end
    int exitPipe = -1;    // read end
    bool reaped = false;
};
