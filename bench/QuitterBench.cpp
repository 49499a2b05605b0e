// Quits N real child processes through the quitter and prints how long the report took to
// arrive after the last child exited (nothing polls, so this should stay well under 5 ms at
// N = 100) and the CPU time the run cost this process.
#include "ChildProcessWorkspace.h"
#include "Quitter.h"

#include <QCoreApplication>
#include <QCoroTask>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace
{

using Clock = std::chrono::steady_clock;

struct Figures {
    double delayMs = 0;
    double cpuMs = 0;
    qsizetype closed = 0;
};

double cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

QCoro::Task<> quitAll(Quitter& quitter, QList<AppEntry> apps, Quitter::Report* report,
                      Clock::time_point* reportedAt)
{
    QCoro::Task<Quitter::Report> running = quitter.quit(std::move(apps), 30);
    *report = co_await running;
    *reportedAt = Clock::now();
}

Figures run(int count)
{
    ChildProcessWorkspace workspace;
    QList<AppEntry> apps;
    for (int i = 0; i < count; ++i)
        apps.append(
            workspace.launch(QStringLiteral("Child %1").arg(i), ForkedChild::OnRequest::Exit));
    Quitter quitter(workspace);

    Quitter::Report report;
    Clock::time_point reportedAt;
    const double cpuBefore = cpuMilliseconds();
    QCoro::waitFor(quitAll(quitter, apps, &report, &reportedAt));
    const double cpuAfter = cpuMilliseconds();

    Clock::time_point lastExit;
    for (const AppEntry& app : apps)
        lastExit = std::max(lastExit, workspace.child(app.pid).exitedAt().value_or(lastExit));
    return {std::chrono::duration<double, std::milli>(reportedAt - lastExit).count(),
            cpuAfter - cpuBefore, report.closed.size()};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int rounds = 5;
    std::printf("%6s  %12s  %12s  %12s  %s\n", "apps", "delay med ms", "delay max ms", "cpu med ms",
                "closed");
    for (const int count : {1, 10, 100}) {
        std::vector<Figures> figures;
        for (int round = 0; round < rounds; ++round)
            figures.push_back(run(count));
        const auto median = [&](auto field) {
            std::vector<double> values;
            for (const Figures& f : figures)
                values.push_back(f.*field);
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        const double maxDelay = std::max_element(figures.begin(), figures.end(),
                                                 [](const Figures& a, const Figures& b) {
                                                     return a.delayMs < b.delayMs;
                                                 })
                                    ->delayMs;
        std::printf("%6d  %12.3f  %12.3f  %12.3f  %lld/%d\n", count, median(&Figures::delayMs),
                    maxDelay, median(&Figures::cpuMs),
                    static_cast<long long>(figures.back().closed), count);
    }
    return 0;
}
