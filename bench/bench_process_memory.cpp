// Times ProcessMemory::totals over app trees it starts itself, against smem reading the same
// processes, and checks the figures against its own reading of /proc/PID/smaps_rollup.
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

} // namespace

int main(int argc, char* argv[])
{
    // Helpers orphaned by a killed app come back here to be reaped.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    // The trees are forked before Qt starts any thread.
    const std::optional<Trees> trees = startTrees();
    if (!trees)
        return 1;
    const auto cleanUp = qScopeGuard([&] { stopTrees(trees->apps); });
    QCoreApplication app(argc, argv);

    const ProcProcessInfo processes;
    const QSet<pid_t> appSet(trees->apps.begin(), trees->apps.end());
    int started = 0;
    for (const QList<pid_t>& members : trees->members)
        started += int(members.size());

    constexpr int warmUp = 3, passes = 30;
    QList<double> passMs;
    QHash<pid_t, quint64> totals;
    for (int pass = 0; pass < warmUp + passes; ++pass) {
        QElapsedTimer timer;
        timer.start();
        totals = ProcessMemory::totals(processes, appSet);
        if (pass >= warmUp)
            passMs.append(double(timer.nsecsElapsed()) / 1e6);
    }
    QHash<pid_t, quint64> independent;
    for (auto tree = trees->members.cbegin(); tree != trees->members.cend(); ++tree) {
        for (const pid_t pid : tree.value())
            independent[tree.key()] += independentFootprint(pid);
    }
    const int examined = int(ProcessMemory::allPIDs(processes).size());
    const double ms = median(passMs);

    printf("bench_process_memory: %d apps, %d processes started (%d large), %d on the machine\n",
           int(trees->apps.size()), started, trees->large, examined);
    printf("processes examined:      %d\n", examined);
    printf("totals(for:) per pass:   %.2f ms (median of %d)\n", ms, passes);
    printf("per process:             %.1f us\n", ms * 1000 / qMax(examined, 1));

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
    double slowest = 0;
    for (const auto& run : smemRuns) {
        QList<double> runs;
        for (int i = 0; i < 3; ++i)
            runs.append(smemMilliseconds(run.arguments));
        const double smemMs = median(runs);
        if (smemMs < 0) {
            printf("%-26s could not run (is the smem package installed?)\n", run.label);
            continue;
        }
        printf("%-26s %.1f ms per pass (median of 3): totals is %.1fx faster\n", run.label, smemMs,
               smemMs / ms);
        slowest = slowest == 0 ? smemMs / ms : qMin(slowest, smemMs / ms);
    }

    bool agree = true;
    for (const pid_t app : trees->apps) {
        const quint64 ours = totals.value(app), theirs = independent.value(app);
        // Idle trees change little between the two readings; allow for page-table noise.
        const bool close = qAbs(qint64(ours) - qint64(theirs)) <= qint64(theirs / 100 + MB / 4);
        agree = agree && close;
        printf("check %-8s pid %-7d %3d processes  totals %8.1f MB  /proc reading %8.1f MB  %s\n",
               shapes[trees->apps.indexOf(app)].name, app, int(trees->members.value(app).size()),
               double(ours) / MB, double(theirs) / MB, close ? "agree" : "DIFFER");
    }
    printf("goal: at least 5x faster than smem: %s\n",
           slowest == 0 ? "not measured" : (slowest >= 5 ? "met" : "NOT MET"));
    return agree ? 0 : 1;
}
