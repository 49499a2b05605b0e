#include "DesktopSession.h"
#include "TestDesktopApps.h"
#include "X11Workspace.h"

#include <QTest>

// Some X servers (VNC, nested or locked-down ones) lack X-Resource: pids then come from the
// windows' own _NET_WM_PID, and the connection must survive.
class TestX11WithoutResourceExtension : public QObject
{
    Q_OBJECT

    DesktopSession session{{QStringLiteral("-extension"), QStringLiteral("X-Resource")}};

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
        QCOMPARE(workspace.runningApplication(pid_t(app->processId()))->bundleIdentifier,
                 QStringLiteral("nimbrel-closer"));
    }
};

QTEST_GUILESS_MAIN(TestX11WithoutResourceExtension)
#include "tst_X11WithoutResourceExtension.moc"
