#include "ForkedChild.h"
#include "LinuxProcess.h"
#include "ProcStat.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace
{

enum class State { Running, Zombie, Reaped, OtherStartTime };

// What a caller knows of `child` once it is in `state`: its pid and the start time it listed.
quint64 bringTo(ForkedChild& child, State state)
{
    if (state == State::Zombie || state == State::Reaped) {
        child.request();
        child.waitForExit();
    }
    if (state == State::Reaped)
        child.reap();
    return child.startTime() + (state == State::OtherStartTime ? 1 : 0);
}

constexpr char reusedPidFlag[] = "--reused-pid-scenario";

// Runs as pid 1 of a fresh pid namespace with its own /proc, where pids can be handed out
// on purpose: a listed process ends, its pid goes to a newcomer, and the newcomer must survive.
int reusedPidScenario()
{
    ForkedChild listed;
    const pid_t pid = listed.pid();
    const quint64 listedStart = listed.startTime();
    listed.request();
    listed.waitForExit();
    listed.reap();
    // Start times count clock ticks: let a few pass so the newcomer's differs.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QFile lastPid(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
    if (!lastPid.open(QIODevice::WriteOnly) || lastPid.write(QByteArray::number(pid - 1)) < 0)
        return std::fprintf(stderr, "cannot set ns_last_pid\n"), 2;
    lastPid.close();
    ForkedChild newcomer(ForkedChild::OnRequest::Ignore);
    if (newcomer.pid() != pid || newcomer.startTime() == listedStart)
        return std::fprintf(stderr, "pid %d was not reused as planned\n", int(pid)), 2;
    if (LinuxProcess::killVerified(pid, listedStart))
        return std::fprintf(stderr, "the newcomer on a reused pid was signalled\n"), 1;
    if (!LinuxProcess::hasEnded(pid, listedStart))
        return std::fprintf(stderr, "the newcomer was taken for the listed process\n"), 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (LinuxProcess::hasEnded(pid, newcomer.startTime()))
        return std::fprintf(stderr, "the newcomer died\n"), 1;
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(State)

class TestLinuxProcess : public QObject
{
    Q_OBJECT

private slots:
    void hasEnded_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("ended");
        QTest::newRow("running") << State::Running << false;
        QTest::newRow("zombie") << State::Zombie << true;
        QTest::newRow("reaped") << State::Reaped << true;
        QTest::newRow("pid of another process") << State::OtherStartTime << true;
    }

    void hasEnded()
    {
        QFETCH(State, state);
        ForkedChild child;
        const quint64 startTime = bringTo(child, state);
        QTEST(LinuxProcess::hasEnded(child.pid(), startTime), "ended");
    }

    void killVerified_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("killed");
        QTest::newRow("running") << State::Running << true;
        QTest::newRow("zombie") << State::Zombie << false;
        QTest::newRow("reaped") << State::Reaped << false;
        QTest::newRow("pid of another process") << State::OtherStartTime << false;
    }

    void killVerified()
    {
        QFETCH(State, state);
        QFETCH(bool, killed);
        ForkedChild child;
        const quint64 startTime = bringTo(child, state);
        QCOMPARE(LinuxProcess::killVerified(child.pid(), startTime), killed);
        if (state == State::Running)
            QTRY_VERIFY(LinuxProcess::hasEnded(child.pid(), child.startTime()));
        if (state == State::OtherStartTime) {
            QTest::qWait(50);
            QVERIFY(!LinuxProcess::hasEnded(child.pid(), child.startTime()));
        }
    }

    void neverSignalsWhatIsNotOurs_data()
    {
        QTest::addColumn<QString>("whom");
        QTest::newRow("init") << "init";
        QTest::newRow("this program") << "self";
        QTest::newRow("another user's process") << "other user";
    }

    void neverSignalsWhatIsNotOurs()
    {
        QFETCH(QString, whom);
        QProcess other;
        pid_t pid = whom == QLatin1String("init") ? 1 : getpid();
        if (whom == QLatin1String("other user")) {
            if (geteuid() != 0)
                QSKIP("starting another user's process needs root");
            other.start(QStringLiteral("setpriv"),
                        {"--reuid=65534", "--regid=65534", "--clear-groups", "sleep", "600"});
            QVERIFY(other.waitForStarted());
            pid = pid_t(other.processId());
            QTRY_VERIFY(TestFiles::readFile(QStringLiteral("/proc/%1/status").arg(pid))
                            .contains("\nUid:\t65534"));
        }
        const std::optional<ProcStat> stat = ProcStat::read(QStringLiteral("/proc"), pid);
        QVERIFY(stat);
        QVERIFY(!LinuxProcess::killVerified(pid, stat->startTime));
        QVERIFY(!LinuxProcess::hasEnded(pid, stat->startTime));
        other.kill();
        other.waitForFinished();
    }

    void neverSignalsProcessOnReusedPid()
    {
        if (geteuid() != 0)
            QSKIP("making a pid namespace needs root");
        QProcess scenario;
        scenario.start(QStringLiteral("unshare"),
                       {"--pid", "--fork", "--mount-proc", QCoreApplication::applicationFilePath(),
                        reusedPidFlag});
        QVERIFY(scenario.waitForFinished(30000));
        const QByteArray errors = scenario.readAllStandardError();
        if (errors.startsWith("unshare:"))
            QSKIP(errors.constData());
        QVERIFY2(scenario.exitStatus() == QProcess::NormalExit && scenario.exitCode() == 0,
                 errors.constData());
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], reusedPidFlag) == 0)
        return reusedPidScenario();
    QCoreApplication app(argc, argv);
    TestLinuxProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LinuxProcess.moc"
