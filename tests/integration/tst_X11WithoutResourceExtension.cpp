#include "DesktopSession.h"
#include "DesktopUser.h"
#include "TestDesktopApps.h"
#include "X11Workspace.h"

#include <QProcess>
#include <QTest>

#include <memory>

// Some X servers (VNC, nested or locked-down ones) lack X-Resource: pids then come from the
// windows' own _NET_WM_PID, and the connection must survive. A stated pid counts only for a
// window of this host whose process holds a connection to the server.
class TestX11WithoutResourceExtension : public QObject
{
    Q_OBJECT

    DesktopSession session{{QStringLiteral("-extension"), QStringLiteral("X-Resource")}};

    static std::optional<RunningApplication> named(X11Workspace& workspace, const QString& name)
    {
        for (const RunningApplication& app : workspace.runningApplications()) {
            if (app.name == name)
                return app;
        }
        return std::nullopt;
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase() { NIMBREL_START_DESKTOP(session); }

    void listsAppsByTheirStatedPid()
    {
        TestDesktopApps::install(session);
        QProcess* app = session.startApp(QStringLiteral("closer.py"));
        QVERIFY(app->waitForStarted());
        X11Workspace workspace;
        QTRY_VERIFY_WITH_TIMEOUT(workspace.runningApplication(pid_t(app->processId())),
                                 DesktopSession::appearTimeout);
        QCOMPARE(workspace.problem(), std::nullopt);
        QCOMPARE(workspace.runningApplication(pid_t(app->processId()))->desktopId,
                 QStringLiteral("nimbrel-closer"));
    }

    void stateNoOtherProcess_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("claim"); // "bystander", "init" or "itself"
        QTest::addColumn<QString>("host");
        QTest::newRow("names a process without a connection") << "Claimer"
                                                              << "bystander"
                                                              << "";
        QTest::newRow("names init") << "Init"
                                    << "init"
                                    << "";
        QTest::newRow("names itself, on another host") << "Remote"
                                                       << "itself"
                                                       << "elsewhere";
    }

    void stateNoOtherProcess()
    {
        QFETCH(QString, name);
        QFETCH(QString, claim);
        QFETCH(QString, host);
        QProcess bystander;
        bystander.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        QVERIFY(bystander.waitForStarted());
        const QString claimed = claim == QLatin1String("bystander")
                                    ? QString::number(bystander.processId())
                                    : QStringLiteral("1");
        QProcess* liar = session.startApp(
            QStringLiteral("liar.py"),
            {{QStringLiteral("NIMBREL_LIAR_CLASS"), name.toLower()},
             {QStringLiteral("NIMBREL_LIAR_PID"), claim == QLatin1String("itself") ? "" : claimed},
             {QStringLiteral("NIMBREL_LIAR_HOST"), host}});
        QVERIFY(liar->waitForStarted());
        X11Workspace workspace;
        std::optional<RunningApplication> listed;
        QTRY_VERIFY_WITH_TIMEOUT((listed = named(workspace, name)), DesktopSession::appearTimeout);
        // Listed and closable, but with no process to measure or kill.
        QVERIFY(listed->pid < 0);
        QVERIFY(!workspace.forceQuit(listed->pid));

        QProcess nimbrelctl;
        nimbrelctl.start(QStringLiteral(NIMBRELCTL_PATH), {QStringLiteral("force-quit"), claimed});
        QVERIFY(nimbrelctl.waitForFinished(60000));
        QCOMPARE(nimbrelctl.exitCode(), 2);
        QCOMPARE(bystander.state(), QProcess::Running);
        bystander.kill();
        bystander.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestX11WithoutResourceExtension)
#include "tst_X11WithoutResourceExtension.moc"
