// Times nimbrelctl as scripts run it, whole processes from start to exit: --version, --help and
// list --json on a throwaway desktop with 6 X apps and 300 idle processes, against smem reading
// the same machine. Usage: bench_nimbrelctl [NIMBRELCTL] (another build's program to compare).
#include "DesktopSession.h"
#include "TestDesktopApps.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{

constexpr int idleProcesses = 300;
const char* const appScripts[] = {"closer.py", "unsaved.py", "actions.py",
                                  "helper.py", "hidden.py",  "renamer.py"};

// Starts `arguments` with its output thrown away; 0 when it could not start.
pid_t spawn(const QList<QByteArray>& arguments)
{
    QList<char*> argv;
    for (const QByteArray& argument : arguments)
        argv.append(const_cast<char*>(argument.constData()));
    argv.append(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? 0 : pid;
}

// Milliseconds from starting `arguments` to its exit; negative when it failed.
double wholeProcessMs(const QList<QByteArray>& arguments)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = spawn(arguments);
    int status = 0;
    if (pid == 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

int listedApps(const QByteArray& ctl)
{
    QProcess list;
    list.start(QString::fromLocal8Bit(ctl), {QStringLiteral("list"), QStringLiteral("--json")});
    list.waitForFinished(60000);
    return int(QJsonDocument::fromJson(list.readAllStandardOutput()).array().size());
}

const char* verdict(bool met)
{
    return met ? "goal met" : "goal missed";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QByteArray ctl = argc > 1 ? QByteArray(argv[1]) : QByteArray(NIMBRELCTL_PATH);
    DesktopSession session;
    if (const std::optional<QString> problem = session.start()) {
        fprintf(stderr, "bench_nimbrelctl: no desktop: %s\n", qPrintable(*problem));
        return 1;
    }
    TestDesktopApps::install(session);
    for (const char* script : appScripts)
        session.startApp(QString::fromLatin1(script));
    QList<pid_t> idle;
    const auto stopIdle = qScopeGuard([&] {
        for (const pid_t pid : std::as_const(idle)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    });
    for (int i = 0; i < idleProcesses; ++i) {
        if (const pid_t pid = spawn({"sleep", "1000"}))
            idle.append(pid);
    }
    // The hidden app stays off the taskbar; the other five are listed once their windows map.
    const int expected = int(std::size(appScripts)) - 1;
    QDeadlineTimer deadline(DesktopSession::appearTimeout);
    int listed = 0;
    while ((listed = listedApps(ctl)) < expected && !deadline.hasExpired())
        QThread::msleep(100);
    int processes = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
        processes += entry.toInt() > 0 ? 1 : 0;
    printf("bench_nimbrelctl: %d X apps (%d listed), %d idle processes, %d on the machine\n",
           int(std::size(appScripts)), listed, int(idle.size()), processes);

    const struct {
        const char* label;
        QList<QByteArray> arguments;
        int runs;
    } commands[] = {
        {"nimbrelctl --version", {ctl, "--version"}, 41},
        {"nimbrelctl --help", {ctl, "--help"}, 41},
        {"nimbrelctl list --json", {ctl, "list", "--json"}, 21},
        {"smem -c \"pid pss uss\"", {"smem", "-c", "pid pss uss"}, 11},
    };
    QList<QList<double>> times(std::size(commands));
    // In turn, so that every command sees the same machine.
    for (int run = 0; run < commands[0].runs; ++run) {
        for (size_t i = 0; i < std::size(commands); ++i) {
            if (run < commands[i].runs)
                times[i].append(wholeProcessMs(commands[i].arguments));
        }
    }
    QList<double> medians;
    for (size_t i = 0; i < std::size(commands); ++i) {
        const bool failed =
            std::any_of(times[i].begin(), times[i].end(), [](double ms) { return ms < 0; });
        medians.append(failed ? -1 : median(times[i]));
    }
    for (int i = 0; i < 2; ++i) {
        printf("%-24s %6.1f ms (median of %d): %s (at most 8 ms)\n", commands[i].label, medians[i],
               commands[i].runs, verdict(medians[i] >= 0 && medians[i] <= 8));
    }
    const double ratio = medians[2] > 0 && medians[3] > 0 ? medians[3] / medians[2] : 0;
    printf("%-24s %6.1f ms (median of %d)\n", commands[3].label, medians[3], commands[3].runs);
    printf("%-24s %6.1f ms (median of %d): %.1fx faster than smem, %s (at least 8x)\n",
           commands[2].label, medians[2], commands[2].runs, ratio, verdict(ratio >= 8));
    return listed >= expected && ratio > 0 ? 0 : 1;
}
