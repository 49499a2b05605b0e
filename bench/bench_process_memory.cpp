// Times ProcessMemory::totals over app trees it starts itself, against the floor (one plain read
// of each measured process's smaps_rollup) and smem reading the same processes; then over 100,
// 1,000 and 5,000 processes and an app with 20 GB mapped. Checks every figure against its own
// reading of /proc/PID/smaps_rollup.
#include "ProcProcessInfo.h"
#include "ProcessMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr size_t MB = size_t(1) << 20;

// One made-up app: its main process forks `children`, each of which forks `grandchildren`.
struct AppShape {
    const char* name;
    int children;
    int grandchildren;
    size_t mainMB;   // private memory of the main process
    size_t helperMB; // private memory of every helper
    size_t sharedMB; // one shared mapping every process of the app touches
};

// About 300 processes: a browser, an IDE and a chat app with their helpers, a few smaller apps,
// and a terminal full of small shells and tools.
constexpr AppShape shapes[] = {
    {"browser", 6, 4, 256, 8, 16}, {"ide", 5, 3, 192, 4, 0}, {"chat", 4, 2, 128, 4, 8},
    {"player", 2, 1, 96, 2, 0},    {"mail", 3, 2, 64, 2, 0}, {"terminal", 12, 12, 4, 1, 0},
    {"services", 8, 6, 8, 1, 0},
};

struct Report {
    int app;
    pid_t pid;
};

// Kept reachable so that the compiler cannot drop the allocation.
char* volatile privateMemory = nullptr;

void touch(size_t megabytes)
{
    privateMemory = static_cast<char*>(malloc(megabytes * MB));
    if (privateMemory)
        memset(privateMemory, 0x5a, megabytes * MB);
}

[[noreturn]] void settle(int reportFd, int app, volatile const char* shared, size_t sharedBytes)
{
    // Reading the shared pages maps them here too, so every process holds a share.
    [[maybe_unused]] volatile char sink = 0;
    for (size_t at = 0; at < sharedBytes; at += 4096)
        sink = shared[at];
    const Report report{app, getpid()};
    if (write(reportFd, &report, sizeof report) != sizeof report)
        _exit(1);
    for (;;)
        pause();
}

pid_t forkHelper()
{
    const pid_t pid = fork();
    if (pid == 0)
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    return pid;
}

// Runs in the forked main process of app `index`.
[[noreturn]] void runApp(int reportFd, int index)
{
    const AppShape& shape = shapes[index];
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const size_t sharedBytes = shape.sharedMB * MB;
    volatile char* shared = nullptr;
    if (sharedBytes) {
        void* region =
            mmap(nullptr, sharedBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (region == MAP_FAILED)
            _exit(1);
        memset(region, 0x33, sharedBytes);
        shared = static_cast<volatile char*>(region);
    }
    for (int c = 0; c < shape.children; ++c) {
        if (forkHelper() != 0)
            continue;
        for (int g = 0; g < shape.grandchildren; ++g) {
            if (forkHelper() == 0) {
                touch(shape.helperMB);
                settle(reportFd, index, shared, sharedBytes);
            }
        }
        touch(shape.helperMB);
        settle(reportFd, index, shared, sharedBytes);
    }
    touch(shape.mainMB);
    settle(reportFd, index, shared, sharedBytes);
}

struct Trees {
    QList<pid_t> apps;
    QHash<pid_t, QList<pid_t>> members; // app -> every process of its tree, itself included
    int large = 0;
};

std::optional<Trees> startTrees()
{
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    Trees trees;
    int expected = 0;
    for (int index = 0; index < int(std::size(shapes)); ++index) {
        const pid_t app = fork();
        if (app < 0)
            break;
        if (app == 0) {
            close(fds[0]);
            runApp(fds[1], index);
        }
        trees.apps.append(app);
        expected += 1 + shapes[index].children * (1 + shapes[index].grandchildren);
        trees.large += shapes[index].mainMB >= 100 ? 1 : 0;
    }
    close(fds[1]);
    for (int seen = 0; seen < expected; ++seen) {
        pollfd ready{fds[0], POLLIN, 0};
        Report report{};
        if (poll(&ready, 1, 60000) != 1 || read(fds[0], &report, sizeof report) != sizeof report)
            break;
        trees.members[trees.apps[report.app]].append(report.pid);
    }
    close(fds[0]);
    int started = 0;
    for (const QList<pid_t>& members : std::as_const(trees.members))
        started += int(members.size());
    if (started != expected || trees.apps.size() != int(std::size(shapes))) {
        fprintf(stderr, "bench_process_memory: started %d of %d processes\n", started, expected);
        return trees.apps.isEmpty() ? std::nullopt : std::optional(trees);
    }
    return trees;
}

void stopTrees(const QList<pid_t>& apps)
{
    for (const pid_t app : apps)
        kill(-app, SIGKILL);
    // As subreaper this process inherits the orphaned helpers: reap them all.
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
}

// One app of `processes` idle processes, its main one and that one's children; the main one
// maps `mappedBytes` it hardly touches, as a program reserving address space does.
std::optional<Trees> startFlatApp(int processes, size_t mappedBytes)
{
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    const pid_t app = fork();
    if (app == 0) {
        close(fds[0]);
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (int helper = 1; helper < processes; ++helper) {
            if (forkHelper() == 0)
                settle(fds[1], 0, nullptr, 0);
        }
        // Mapped after the helpers are forked, so that only the main process holds it.
        if (mappedBytes) {
            void* region = mmap(nullptr, mappedBytes, PROT_READ,
                                MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
            if (region == MAP_FAILED)
                _exit(1);
            // One page in every 64 MB: page tables reach across the range, hardly any memory.
            [[maybe_unused]] volatile char sink = 0;
            for (size_t at = 0; at < mappedBytes; at += 64 * MB)
                sink = static_cast<const volatile char*>(region)[at];
        }
        settle(fds[1], 0, nullptr, 0);
    }
    close(fds[1]);
    Trees trees;
    if (app > 0)
        trees.apps.append(app);
    for (int seen = 0; app > 0 && seen < processes; ++seen) {
        pollfd ready{fds[0], POLLIN, 0};
        Report report{};
        if (poll(&ready, 1, 60000) != 1 || read(fds[0], &report, sizeof report) != sizeof report)
            break;
        trees.members[app].append(report.pid);
    }
    close(fds[0]);
    if (trees.members.value(app).size() != processes) {
        fprintf(stderr, "bench_process_memory: started %d of %d processes\n",
                int(trees.members.value(app).size()), processes);
        stopTrees(trees.apps);
        return std::nullopt;
    }
    return trees;
}

// Bytes quitting the process would free, read with no code of the engine.
quint64 independentFootprint(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    quint64 kilobytes = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() == 3 && (words[0] == "Pss_Anon:" || words[0] == "Pss_Shmem:" ||
                                  words[0] == "SwapPss:" || words[0] == "Private_Hugetlb:"))
            kilobytes += words[1].toULongLong();
    }
    return kilobytes * 1024;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Milliseconds smem takes for one run with `arguments`; negative when it cannot run.
double smemMilliseconds(const QStringList& arguments)
{
    QProcess smem;
    QElapsedTimer timer;
    timer.start();
    smem.start(QStringLiteral("smem"), arguments);
    if (!smem.waitForFinished(300000) || smem.exitStatus() != QProcess::NormalExit ||
        smem.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

// The floor of any memory pass: open each process's smaps_rollup and read it once, nothing else.
void readEveryRollup(const QList<pid_t>& pids)
{
    char buffer[4096];
    char path[64];
    for (const pid_t pid : pids) {
        snprintf(path, sizeof path, "/proc/%d/smaps_rollup", int(pid));
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        [[maybe_unused]] const ssize_t size = read(fd, buffer, sizeof buffer);
        close(fd);
    }
}

struct PassTimes {
    double passMs = 0;
    double floorMs = 0;
    QHash<pid_t, quint64> totals;

    double ratio() const { return passMs / qMax(floorMs, 1e-6); }
};

// Medians of `passes` passes and floors, taken in turn so that both see the same machine.
PassTimes timePasses(const ProcProcessInfo& processes, const Trees& trees, int passes)
{
    const QSet<pid_t> apps(trees.apps.begin(), trees.apps.end());
    QList<pid_t> measured;
    for (const QList<pid_t>& members : trees.members)
        measured.append(members);
    QList<double> passMs, floorMs;
    PassTimes times;
    constexpr int warmUp = 2;
    for (int pass = 0; pass < warmUp + passes; ++pass) {
        QElapsedTimer timer;
        timer.start();
        times.totals = ProcessMemory::totals(processes, apps);
        const double passTook = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        readEveryRollup(measured);
        const double floorTook = double(timer.nsecsElapsed()) / 1e6;
        if (pass >= warmUp) {
            passMs.append(passTook);
            floorMs.append(floorTook);
        }
    }
    times.passMs = median(passMs);
    times.floorMs = median(floorMs);
    return times;
}

const char* verdict(bool met)
{
    return met ? "goal met" : "goal missed";
}

// Compares every app's total with the independent reading of its processes; prints one line
// per app (named by `names`, in the order of the apps) and returns whether they all agree.
bool checkTotals(const Trees& trees, const QHash<pid_t, quint64>& totals,
                 const QList<const char*>& names)
{
    bool agree = true;
    for (int index = 0; index < trees.apps.size(); ++index) {
        const pid_t app = trees.apps[index];
        quint64 theirs = 0;
        for (const pid_t pid : trees.members.value(app))
            theirs += independentFootprint(pid);
        const quint64 ours = totals.value(app);
        // Idle trees change little between the two readings; allow for page-table noise.
        const bool close = qAbs(qint64(ours) - qint64(theirs)) <= qint64(theirs / 100 + MB / 4);
        agree = agree && close;
        printf("check %-8s pid %-7d %4d processes  totals %8.1f MB  /proc reading %8.1f MB  %s\n",
               names.value(index, "app"), app, int(trees.members.value(app).size()),
               double(ours) / MB, double(theirs) / MB, close ? "agree" : "DIFFER");
    }
    return agree;
}

// The scaling runs: each starts its own app, times the pass over it and stops it again.
bool runScaling(const ProcProcessInfo& processes)
{
    bool agree = true;
    QList<std::pair<int, PassTimes>> steps;
    for (const int count : {100, 1000, 5000}) {
        const std::optional<Trees> trees = startFlatApp(count, 0);
        if (!trees) {
            printf("%5d processes: could not be started\n", count);
            continue;
        }
        // Small runs are short and noisy: they get more passes.
        const PassTimes times = timePasses(processes, *trees, 5 + 5000 / count);
        const int examined = int(processes.allRecords().size());
        printf("%5d processes (%d on the machine): pass %7.2f ms (%.1f us per process), floor "
               "%7.2f ms: %.2fx the floor, %s (at most 2x)\n",
               count, examined, times.passMs, times.passMs * 1000 / examined, times.floorMs,
               times.ratio(), verdict(times.ratio() <= 2));
        agree = checkTotals(*trees, times.totals, {"flat"}) && agree;
        stopTrees(trees->apps);
        steps.append({count, times});
    }
    // What each added process costs the pass and the floor (which is linear by construction).
    for (qsizetype i = 1; i < steps.size(); ++i) {
        const auto& [fewer, before] = steps[i - 1];
        const auto& [more, after] = steps[i];
        const double pass = (after.passMs - before.passMs) * 1000 / (more - fewer);
        const double floor = (after.floorMs - before.floorMs) * 1000 / (more - fewer);
        printf("each added process from %d to %d: pass %.1f us, floor %.1f us: %s (linear: within "
               "2x of the floor)\n",
               fewer, more, pass, floor, verdict(pass <= 2 * qMax(floor, 0.0)));
    }

    // The same 100 processes once more, the main one with 20 GB mapped.
    constexpr size_t mapped = size_t(20) << 30;
    const std::optional<Trees> mapper = startFlatApp(100, mapped);
    if (!mapper) {
        printf("20 GB mapped: could not be started\n");
        return agree;
    }
    const PassTimes times = timePasses(processes, *mapper, 5 + 5000 / 100);
    printf("  100 processes, one with 20 GB mapped (%.1f MB resident): pass %7.2f ms (%+.2f ms), "
           "floor %7.2f ms: %.2fx the floor, %s (at most 2x)\n",
           double(independentFootprint(mapper->apps.first())) / MB, times.passMs,
           times.passMs - (steps.isEmpty() ? 0 : steps.first().second.passMs), times.floorMs,
           times.ratio(), verdict(times.ratio() <= 2));
    agree = checkTotals(*mapper, times.totals, {"mapped"}) && agree;
    stopTrees(mapper->apps);
    return agree;
}

} // namespace

int main(int argc, char* argv[])
{
    // Helpers orphaned by a killed app come back here to be reaped.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    // The trees are forked before Qt starts any thread.
    const std::optional<Trees> trees = startTrees();
    if (!trees)
        return 1;
    auto cleanUp = qScopeGuard([&] { stopTrees(trees->apps); });
    QCoreApplication app(argc, argv);

    const ProcProcessInfo processes;
    int started = 0;
    for (const QList<pid_t>& members : trees->members)
        started += int(members.size());

    const PassTimes times = timePasses(processes, *trees, 30);
    const int examined = int(processes.allRecords().size());
    printf("bench_process_memory: %d apps, %d processes started (%d large), %d on the machine\n",
           int(trees->apps.size()), started, trees->large, examined);
    printf("totals(for:) per pass:   %.2f ms (median of 30), %.1f us per process\n", times.passMs,
           times.passMs * 1000 / qMax(examined, 1));
    printf("floor per pass:          %.2f ms (one smaps_rollup read of each of the %d)\n",
           times.floorMs, started);
    printf("pass against the floor:  %.2fx: %s (at most 2x)\n", times.ratio(),
           verdict(times.ratio() <= 2));

    // The helpers are forks of this program, so its name picks out exactly the apps' trees.
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const struct {
        const char* label;
        QStringList arguments;
    } smemRuns[] = {
        {"smem, every process",
         {QStringLiteral("-H"), QStringLiteral("-c"), QStringLiteral("pid pss uss swap")}},
        {"smem, the apps' processes",
         {QStringLiteral("-H"), QStringLiteral("-c"), QStringLiteral("pid pss uss swap"),
          QStringLiteral("-P"), exe}},
    };
    for (const auto& run : smemRuns) {
        QList<double> runs;
        for (int i = 0; i < 3; ++i)
            runs.append(smemMilliseconds(run.arguments));
        const double smemMs = median(runs);
        if (smemMs < 0) {
            printf("%-26s could not run (is the smem package installed?)\n", run.label);
            continue;
        }
        printf("%-26s %.1f ms per pass (median of 3): totals is %.1fx faster, %s (at least 5x)\n",
               run.label, smemMs, smemMs / times.passMs, verdict(smemMs / times.passMs >= 5));
    }

    QList<const char*> names;
    for (const AppShape& shape : shapes)
        names.append(shape.name);
    bool agree = checkTotals(*trees, times.totals, names);
    stopTrees(trees->apps);
    cleanUp.dismiss();

    agree = runScaling(processes) && agree;
    return agree ? 0 : 1;
}
