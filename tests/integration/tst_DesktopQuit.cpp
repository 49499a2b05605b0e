#include "DesktopSession.h"
#include "DesktopUser.h"
#include "ProcProcessInfo.h"
#include "QuitPlanner.h"
#include "Quitter.h"
#include "RunningApps.h"
#include "TestDesktopApps.h"
#include "TestFiles.h"
#include "X11Workspace.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QTest>

#include <memory>

namespace
{

// Long enough for GTK apps on a loaded machine to close, short enough for a quick suite.
constexpr double quitTimeout = 3.0;

} // namespace

class TestDesktopQuit : public QObject
{
    Q_OBJECT

    DesktopSession session;
    TestDesktopApps entries;
    std::unique_ptr<X11Workspace> workspace;
    ProcProcessInfo processes;
    QHash<QString, QProcess*> apps; // script -> process
    QList<AppEntry> listed;

    AppEntry listedApp(const QString& script) const
    {
        const pid_t pid = pid_t(apps[script]->processId());
        for (const AppEntry& entry : listed) {
            if (entry.pid == pid)
                return entry;
        }
        return {};
    }

    bool allListed()
    {
        listed = RunningApps::snapshot(*workspace, processes, true, {});
        for (const QProcess* app : std::as_const(apps)) {
            if (std::none_of(listed.cbegin(), listed.cend(),
                             [&](const AppEntry& entry) { return entry.pid == app->processId(); }))
                return false;
        }
        return true;
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        entries = TestDesktopApps::install(session);
        workspace = std::make_unique<X11Workspace>();
        for (const QString& script : {QStringLiteral("closer.py"), QStringLiteral("unsaved.py"),
                                      QStringLiteral("actions.py"), QStringLiteral("helper.py")}) {
            QProcess* app = session.startApp(script, {{QStringLiteral("NIMBREL_TEST_LOG"),
                                                       session.scratchPath(script + ".log")}});
            QVERIFY(app->waitForStarted());
            apps.insert(script, app);
        }
        QTRY_VERIFY_WITH_TIMEOUT(allListed(), DesktopSession::appearTimeout);
    }

    void listsAppsWithCategoriesAndMemory()
    {
        const AppEntry closer = listedApp(QStringLiteral("closer.py"));
        QCOMPARE(closer.name, QStringLiteral("Closer"));
        QCOMPARE(closer.desktopId, QStringLiteral("nimbrel-closer"));
        QCOMPARE(closer.desktopFile, entries.closer);
        QCOMPARE(closer.categories,
                 (QStringList{QStringLiteral("Game"), QStringLiteral("ArcadeGame")}));
        QCOMPARE(listedApp(QStringLiteral("unsaved.py")).categories,
                 QStringList{QStringLiteral("Office")});
        QVERIFY(listedApp(QStringLiteral("actions.py")).categories.isEmpty());

        // The helper's 64 MiB child counts for the app that started it.
        const AppEntry helper = listedApp(QStringLiteral("helper.py"));
        QCOMPARE(helper.name, QStringLiteral("Helper Parent"));
        const quint64 own = processes.footprint(helper.pid).value_or(0);
        QVERIFY2(helper.memory >= own + (48u << 20),
                 qPrintable(QStringLiteral("%1 of which own %2").arg(helper.memory).arg(own)));
        QCOMPARE(listed.first().pid, helper.pid);
    }

    void distractionsPlanTheGame()
    {
        const QuitPlan plan = QuitPlanner::plan(listed, QuitPreset::work, {}, {});
        QCOMPARE(plan.toQuit.size(), 1);
        QCOMPARE(plan.toQuit.first().pid, listedApp(QStringLiteral("closer.py")).pid);
    }

    void neverAsksWhatCouldHarmAnotherApp_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("spoofsBusName");
        QTest::addColumn<bool>("acceptsDelete");
        QTest::newRow("names another app's bus name") << "Spoofer" << true << true;
        // openbox would disconnect such a client, losing its unsaved work.
        QTest::newRow("no WM_DELETE_WINDOW") << "Deaf" << false << false;
    }

    void neverAsksWhatCouldHarmAnotherApp()
    {
        QFETCH(QString, name);
        QFETCH(bool, spoofsBusName);
        QFETCH(bool, acceptsDelete);
        const QString owner = QDBusConnection::sessionBus().interface()->serviceOwner(
            QStringLiteral("dev.corvane.NimbrelTest.Actions"));
        QVERIFY(!owner.isEmpty());
        const QString log = session.scratchPath(name + QStringLiteral(".log"));
        QProcess* liar = session.startApp(
            QStringLiteral("liar.py"),
            {{QStringLiteral("NIMBREL_TEST_LOG"), log},
             {QStringLiteral("NIMBREL_LIAR_CLASS"), name.toLower()},
             {QStringLiteral("NIMBREL_LIAR_BUS_NAME"), spoofsBusName ? owner : QString()},
             {QStringLiteral("NIMBREL_LIAR_DELETE"), acceptsDelete ? "1" : "0"}});
        QVERIFY(liar->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(pid_t(liar->processId())),
                                 DesktopSession::appearTimeout);
        AppEntry entry;
        entry.pid = pid_t(liar->processId());
        const Quitter::Report report = QCoro::waitFor(Quitter(*workspace).quit({entry}, 1.0));

        QCOMPARE(report.stillOpen, QList<AppEntry>{entry});
        QCOMPARE(liar->state(), QProcess::Running);
        QTRY_COMPARE_WITH_TIMEOUT(TestFiles::readFile(log).contains("delete window"), acceptsDelete,
                                  DesktopSession::appearTimeout);
        QCOMPARE(apps[QStringLiteral("actions.py")]->state(), QProcess::Running);
        QVERIFY(!TestFiles::readFile(session.scratchPath(QStringLiteral("actions.py.log")))
                     .contains("quit action"));
        liar->kill();
    }

    void quitClosesPolitelyAndLeavesUnsavedWorkOpen()
    {
        const AppEntry closer = listedApp(QStringLiteral("closer.py"));
        const AppEntry unsaved = listedApp(QStringLiteral("unsaved.py"));
        const AppEntry actions = listedApp(QStringLiteral("actions.py"));
        Quitter quitter(*workspace);
        QList<int> progress;
        const Quitter::Report report = QCoro::waitFor(
            quitter.quit({closer, unsaved, actions}, quitTimeout, [&](const Quitter::Report& now) {
                progress.append(int(now.closed.size()));
            }));

        QCOMPARE(report.stillOpen, QList<AppEntry>{unsaved});
        QCOMPARE(report.closed.size(), 2);
        QVERIFY(report.closed.contains(closer));
        QVERIFY(report.closed.contains(actions));
        QCOMPARE(progress, (QList<int>{1, 2}));

        QVERIFY(apps[QStringLiteral("unsaved.py")]->state() == QProcess::Running);
        const auto stillThere = workspace->runningApplication(unsaved.pid);
        QVERIFY(stillThere && !stillThere->hasExited);
        QVERIFY(stillThere->onTaskbar);
        QVERIFY(TestFiles::readFile(session.scratchPath(QStringLiteral("unsaved.py.log")))
                    .contains("asked"));

        const QString actionsLog = QString::fromUtf8(
            TestFiles::readFile(session.scratchPath(QStringLiteral("actions.py.log"))));
        QVERIFY2(actionsLog.contains("quit action"), qPrintable(actionsLog));
        QVERIFY2(!actionsLog.contains("window closed"), qPrintable(actionsLog));
    }

    // Exits are counted as they happen, even while another app's answer is slow, and the result
    // comes 12 s after the press whatever that app does.
    void progressAndBoundRunFromThePress()
    {
        QElapsedTimer sincePress;
        QList<QProcess*> closers;
        QList<qint64> exited;
        for (int delay : {400, 1400, 2400}) {
            QProcess* closer = session.startApp(
                QStringLiteral("late_closer.py"),
                {{QStringLiteral("NIMBREL_CLOSE_DELAY_MS"), QString::number(delay)},
                 {QStringLiteral("NIMBREL_TITLE"), QStringLiteral("Late %1").arg(delay)}});
            QVERIFY(closer->waitForStarted());
            connect(closer, &QProcess::finished, this,
                    [&sincePress, &exited] { exited.append(sincePress.elapsed()); });
            closers.append(closer);
        }
        const QString slowLog = session.scratchPath(QStringLiteral("slow_answer.py.log"));
        QProcess* slow = session.startApp(QStringLiteral("slow_answer.py"),
                                          {{QStringLiteral("NIMBREL_TEST_LOG"), slowLog}});
        QVERIFY(slow->waitForStarted());
        QList<AppEntry> targets;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                targets.clear();
                for (const QProcess* app : std::as_const(closers) + QList<QProcess*>{slow}) {
                    const auto running = workspace->runningApplication(pid_t(app->processId()));
                    if (!running)
                        return false;
                    targets.append(AppEntry{
                        running->pid, QStringLiteral("App"), std::nullopt, std::nullopt, 0, {}});
                }
                return TestFiles::readFile(slowLog).contains("shown");
            }(),
            DesktopSession::appearTimeout);

        QList<qint64> progress;
        sincePress.start();
        const Quitter::Report report =
            QCoro::waitFor(Quitter(*workspace).quit(targets, 12.0, [&](const Quitter::Report&) {
                progress.append(sincePress.elapsed());
            }));
        const qint64 resultAt = sincePress.elapsed();

        QCOMPARE(report.stillOpen, QList<AppEntry>{targets.last()});
        QVERIFY(TestFiles::readFile(slowLog).contains("answered"));
        QCOMPARE(progress.size(), 3);
        QCOMPARE(exited.size(), 3);
        // Each exit is heard of while the slow app still has not answered (5 s after asking).
        for (int i = 0; i < 3; ++i)
            QVERIFY2(qAbs(progress[i] - exited[i]) < 500,
                     qPrintable(QStringLiteral("exit %1 at %2 ms, counted at %3 ms")
                                    .arg(i)
                                    .arg(exited[i])
                                    .arg(progress[i])));
        // A loaded machine may run the time-out a little late, never 2 s late.
        QVERIFY2(resultAt >= 12000 && resultAt < 13000, qPrintable(QString::number(resultAt)));
        slow->kill();
    }

    void forceQuitEndsTheApp()
    {
        const AppEntry unsaved = listedApp(QStringLiteral("unsaved.py"));
        QList<pid_t> ended;
        const auto token = workspace->addTerminationObserver([&](pid_t pid) { ended.append(pid); });
        Quitter quitter(*workspace);
        QVERIFY(quitter.forceQuit(unsaved));
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(unsaved.pid), DesktopSession::appearTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(apps[QStringLiteral("unsaved.py")]->state(), QProcess::NotRunning,
                                  DesktopSession::appearTimeout);
        QVERIFY(!quitter.forceQuit(unsaved));
        workspace->removeTerminationObserver(token);
    }

    void reopenStartsTheAppAgain()
    {
        // Only an entry that names a program can start it again.
        const QString noProgram = session.scratchPath(QStringLiteral("no-program.desktop"));
        QVERIFY(TestFiles::writeFile(noProgram,
                                     "[Desktop Entry]\nType=Application\nName=No Program\n"));
        QVERIFY(!workspace->canLaunchDesktopFile(noProgram));
        QVERIFY(workspace->canLaunchDesktopFile(entries.closer));
        const pid_t before = listedApp(QStringLiteral("closer.py")).pid;
        workspace->launchDesktopFile(entries.closer);
        std::optional<RunningApplication> reopened;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const RunningApplication& app : workspace->runningApplications()) {
                    if (app.desktopId == QStringLiteral("nimbrel-closer") && app.pid != before)
                        reopened = app;
                }
                return reopened.has_value();
            }(),
            DesktopSession::appearTimeout);
        QVERIFY(workspace->forceQuit(reopened->pid));
    }

    void cleanupTestCase() { workspace.reset(); }
};

QTEST_MAIN(TestDesktopQuit)
#include "tst_DesktopQuit.moc"
