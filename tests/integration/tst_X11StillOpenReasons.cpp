#include "DesktopSession.h"
#include "DesktopUser.h"
#include "Quitter.h"
#include "X11Workspace.h"

#include <QTest>

#include <csignal>
#include <memory>

namespace
{

// The ping takes a second to count as unanswered; the rest is room for a loaded machine.
constexpr double quitTimeout = 3.0;

} // namespace

// Why an app is still open after a real quit run on a real desktop: it asks to save, it answers
// pings but stays, it is frozen and answers none, or it takes no close request at all.
class TestX11StillOpenReasons : public QObject
{
    Q_OBJECT

    DesktopSession session;
    std::unique_ptr<X11Workspace> workspace;
    QProcess* app = nullptr;

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        workspace = std::make_unique<X11Workspace>();
        QVERIFY(!workspace->problem());
    }

    void reasonOfAnAppStillOpen_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("frozen");
        QTest::addColumn<int>("reason");
        QTest::newRow("asks to save")
            << "unsaved.py" << false << int(StillOpenReason::askingToSave);
        QTest::newRow("answers pings") << "ponger.py" << false << int(StillOpenReason::none);
        QTest::newRow("frozen") << "ponger.py" << true << int(StillOpenReason::notResponding);
        QTest::newRow("no WM_DELETE_WINDOW")
            << "liar.py" << false << int(StillOpenReason::cannotBeAsked);
    }

    void reasonOfAnAppStillOpen()
    {
        QFETCH(QString, script);
        QFETCH(bool, frozen);
        QFETCH(int, reason);
        // Only liar.py reads it: its window then lacks WM_DELETE_WINDOW.
        app = session.startApp(script, {{QStringLiteral("NIMBREL_LIAR_DELETE"), "0"}});
        QVERIFY(app->waitForStarted());
        const pid_t pid = pid_t(app->processId());
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(pid), DesktopSession::appearTimeout);
        if (frozen)
            QCOMPARE(::kill(pid, SIGSTOP), 0);

        AppEntry entry;
        entry.pid = pid;
        const Quitter::Report report =
            QCoro::waitFor(Quitter(*workspace).quit({entry}, quitTimeout));
        QCOMPARE(report.stillOpen, QList<AppEntry>{entry});
        QCOMPARE(int(report.reason(entry)), reason);
    }

    // openbox asks in a dialog of its own (for the root window) whether to kill an app that did
    // not answer its ping after a close request: the window manager is never an app.
    void windowManagersPromptIsNoApp()
    {
        app = session.startApp(QStringLiteral("ponger.py"));
        QVERIFY(app->waitForStarted());
        const pid_t pid = pid_t(app->processId());
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(pid), DesktopSession::appearTimeout);
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        const int before = session.managedWindowCount();
        QVERIFY(workspace->requestQuit(pid));
        QTRY_COMPARE_WITH_TIMEOUT(session.managedWindowCount(), before + 1,
                                  DesktopSession::appearTimeout);
        const QList<RunningApplication> apps = workspace->runningApplications();
        QCOMPARE(apps.size(), 1);
        QCOMPARE(apps.first().pid, pid);
    }

    void cleanup()
    {
        // A stopped app takes no polite signal; SIGKILL ends it all the same.
        if (app) {
            app->kill();
            app->waitForFinished();
        }
        app = nullptr;
    }
};

QTEST_GUILESS_MAIN(TestX11StillOpenReasons)
#include "tst_X11StillOpenReasons.moc"
