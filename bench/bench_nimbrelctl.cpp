// Times nimbrelctl as scripts run it, whole processes from start to exit: --version and --help
// against a Qt Core program that prints a line, and list --json on a throwaway desktop with 6 X
// apps and 300 idle processes against smem reading the same machine, quiet and with one core
// kept busy. Usage: bench_nimbrelctl [NIMBRELCTL] (another build's program to compare).
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

struct Command {
    const char* label;
    QList<QByteArray> arguments;
    int runs;
};

// The median milliseconds of each command, run in turn so that every one sees the same machine;
// negative for one that failed.
QList<double> medianTimes(const QList<Command>& commands)
{
    QList<QList<double>> times(commands.size());
    const int rounds = std::max_element(commands.begin(), commands.end(), [](auto& a, auto& b) {
                           return a.runs < b.runs;
                       })->runs;
    for (int run = 0; run < rounds; ++run) {
        for (qsizetype i = 0; i < commands.size(); ++i) {
            if (run < commands[i].runs)
                times[i].append(wholeProcessMs(commands[i].arguments));
        }
    }
    QList<double> medians;
    for (const QList<double>& each : times) {
        const bool failed = std::any_of(each.begin(), each.end(), [](double ms) { return ms < 0; });
        medians.append(failed ? -1 : median(each));
    }
    return medians;
}

// Prints list --json against smem; the ratio, 0 when either failed.
double printListAgainstSmem(const QList<Command>& commands, const QList<double>& medians,
                            const char* when, double goal)
{
    const double ratio = medians[0] > 0 && medians[1] > 0 ? medians[1] / medians[0] : 0;
    printf("%-24s %6.1f ms (median of %d), %s\n", commands[1].label, medians[1], commands[1].runs,
           when);
    printf("%-24s %6.1f ms (median of %d), %s: %.1fx faster than smem, %s (at least %gx)\n",
           commands[0].label, medians[0], commands[0].runs, when, ratio, verdict(ratio >= goal),
           goal);
    return ratio;
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

    const QList<Command> answers{
        {"Qt Core floor", {PRINT_LINE_PATH}, 41},
        {"nimbrelctl --version", {ctl, "--version"}, 41},
        {"nimbrelctl --help", {ctl, "--help"}, 41},
    };
    const QList<double> answered = medianTimes(answers);
    printf("%-24s %6.1f ms (median of %d): a Qt Core program that prints a line\n",
           answers[0].label, answered[0], answers[0].runs);
    for (int i = 1; i < answers.size(); ++i) {
        const double ratio = answered[0] > 0 && answered[i] > 0 ? answered[i] / answered[0] : 0;
        printf("%-24s %6.1f ms (median of %d): %.2fx the floor, %s (at most 1.5x)\n",
               answers[i].label, answered[i], answers[i].runs, ratio,
               verdict(ratio > 0 && ratio <= 1.5));
    }

    const QList<Command> listings{
        {"nimbrelctl list --json", {ctl, "list", "--json"}, 21},
        {"smem -c \"pid pss uss\"", {"smem", "-c", "pid pss uss"}, 11},
    };
    const double quiet = printListAgainstSmem(listings, medianTimes(listings), "quiet", 10);
    // One core kept busy, as by a build or a video call beside it.
    const pid_t busy = spawn({"sh", "-c", "while :; do :; done"});
    const auto stopBusy = qScopeGuard([busy] {
        kill(busy, SIGKILL);
        waitpid(busy, nullptr, 0);
    });
    const double loaded = printListAgainstSmem(listings, medianTimes(listings), "one core busy", 8);
    return listed >= expected && quiet > 0 && loaded > 0 ? 0 : 1;
}
