#include "DesktopSession.h"
#include "DesktopUser.h"
#include "X11Workspace.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <memory>

namespace
{

enum class Listed { underItsOwnPid, underItsChild, unverified, notAtAll };

// The kernel hands out `pid` next when it is told the one before was the last; other programs
// forking meanwhile can take it first, so this tries a few times.
std::unique_ptr<QProcess> bystanderWithPid(pid_t pid)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QFile lastPid(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
        if (!lastPid.open(QIODevice::WriteOnly) || lastPid.write(QByteArray::number(pid - 1)) < 0)
            return nullptr;
        lastPid.close();
        auto bystander = std::make_unique<QProcess>();
        bystander->start(QStringLiteral("sleep"), {QStringLiteral("600")});
        if (bystander->waitForStarted() && bystander->processId() == pid)
            return bystander;
        bystander->kill();
        bystander->waitForFinished();
    }
    return nullptr;
}

std::unique_ptr<QProcess> bystander()
{
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral("sleep"), {QStringLiteral("600")});
    process->waitForStarted();
    return process;
}

} // namespace

// Windows name their process themselves; only the kernel's record of who holds the client's
// X connection decides which process an app is, so force quit never hits another one.
class TestX11ClientPid : public QObject
{
    Q_OBJECT

    DesktopSession session;
    std::unique_ptr<X11Workspace> workspace;

    std::optional<RunningApplication> appNamed(const QString& name)
    {
        for (const RunningApplication& app : workspace->runningApplications()) {
            if (app.name == name)
                return app;
        }
        return std::nullopt;
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        workspace = std::make_unique<X11Workspace>();
        QVERIFY(!workspace->problem());
    }

    void neverNamesAnotherProcess_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("claimsBystander");
        QTest::addColumn<bool>("bystanderReusesItsPid");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("transient");
        QTest::addColumn<Listed>("listed");
        QTest::newRow("_NET_WM_PID names another process") << "Claimer"
                                                           << "" << true << false << ""
                                                           << "" << Listed::underItsOwnPid;
        QTest::newRow("forked after connecting; its pid reused") << "Forker"
                                                                 << "fork" << false << true << ""
                                                                 << "" << Listed::underItsChild;
        QTest::newRow("RetainPermanent, exited; its pid reused") << "Retainer"
                                                                 << "retain" << false << true << ""
                                                                 << "" << Listed::unverified;
        QTest::newRow("dialog for the root window") << "Prompt"
                                                    << "" << false << false << ""
                                                    << "root" << Listed::notAtAll;
        // Its connection is held by what forwards it (ssh -X), here the app itself.
        QTest::newRow("names another machine") << "Remote"
                                               << "" << false << false << "elsewhere.example"
                                               << "" << Listed::unverified;
    }

    void neverNamesAnotherProcess()
    {
        QFETCH(QString, name);
        QFETCH(QString, mode);
        QFETCH(bool, claimsBystander);
        QFETCH(bool, bystanderReusesItsPid);
        QFETCH(QString, host);
        QFETCH(QString, transient);
        QFETCH(Listed, listed);
        std::unique_ptr<QProcess> other = claimsBystander ? bystander() : nullptr;
        const int before = session.managedWindowCount();
        QProcess* liar = session.startApp(
            QStringLiteral("liar.py"), {{QStringLiteral("NIMBREL_LIAR_CLASS"), name.toLower()},
                                        {QStringLiteral("NIMBREL_LIAR_MODE"), mode},
                                        {QStringLiteral("NIMBREL_LIAR_HOST"), host},
                                        {QStringLiteral("NIMBREL_LIAR_TRANSIENT"), transient},
                                        {QStringLiteral("NIMBREL_LIAR_PID"),
                                         other ? QString::number(other->processId()) : QString()}});
        QVERIFY(liar->waitForStarted());
        const pid_t liarPid = pid_t(liar->processId());
        QTRY_COMPARE_WITH_TIMEOUT(session.managedWindowCount(), before + 1,
                                  DesktopSession::appearTimeout);
        if (bystanderReusesItsPid) {
            QTRY_COMPARE_WITH_TIMEOUT(liar->state(), QProcess::NotRunning,
                                      DesktopSession::appearTimeout);
            other = bystanderWithPid(liarPid);
            if (!other)
                QSKIP("the next pid cannot be chosen here (needs root)");
        }

        const std::optional<RunningApplication> app = appNamed(name);
        QCOMPARE(app.has_value(), listed != Listed::notAtAll);
        if (listed == Listed::underItsOwnPid)
            QCOMPARE(app->pid, liarPid);
        if (listed == Listed::underItsChild) {
            const pid_t child = app->pid;
            QVERIFY(child > 0 && child != liarPid && child != pid_t(other->processId()));
            QFile command(QStringLiteral("/proc/%1/cmdline").arg(child));
            QVERIFY(command.open(QIODevice::ReadOnly));
            QVERIFY(command.readAll().contains("liar.py"));
        }
        if (listed == Listed::unverified) {
            QVERIFY(app->pid < 0);
            QVERIFY(!workspace->forceQuit(app->pid));
        }
        if (other) {
            QCOMPARE(workspace->runningApplication(pid_t(other->processId())), std::nullopt);
            QVERIFY(!workspace->forceQuit(pid_t(other->processId())));
            QCOMPARE(other->state(), QProcess::Running);
            other->kill();
            other->waitForFinished();
        }
    }

    // Sandboxed, the server's pids mean other processes: no app gets a pid at all.
    void serverInAnotherPidNamespaceGivesNoPids()
    {
        session.startApp(QStringLiteral("liar.py"),
                         {{QStringLiteral("NIMBREL_LIAR_CLASS"), QStringLiteral("sandboxed")}});
        QTRY_VERIFY_WITH_TIMEOUT(appNamed(QStringLiteral("Sandboxed")),
                                 DesktopSession::appearTimeout);
        QProcess sandboxed;
        sandboxed.start(QStringLiteral("unshare"),
                        {QStringLiteral("--pid"), QStringLiteral("--fork"),
                         QStringLiteral("--mount-proc"), QStringLiteral(NIMBRELCTL_PATH),
                         QStringLiteral("list"), QStringLiteral("--json")});
        QVERIFY(sandboxed.waitForFinished(60000));
        const QByteArray listed = sandboxed.readAllStandardOutput();
        if (sandboxed.exitCode() != 0 && listed.isEmpty())
            QSKIP("no pid namespace can be made here");
        const QJsonArray apps = QJsonDocument::fromJson(listed).array();
        QVERIFY(!apps.isEmpty());
        for (const QJsonValue& app : apps) {
            QVERIFY(app[QStringLiteral("pid")].isNull());
            QVERIFY(app[QStringLiteral("memory")].isNull());
        }
    }

    void cleanupTestCase() { workspace.reset(); }
};

QTEST_MAIN(TestX11ClientPid)
#include "tst_X11ClientPid.moc"
