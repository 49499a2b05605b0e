#include "FakeClock.h"
#include "FakeWorkspace.h"
#include "Quitter.h"
#include "TestApps.h"

#include <QCoroTask>
#include <QLocale>
#include <QTest>
#include <QThread>

#include <optional>
#include <thread>

using Report = Quitter::Report;
using TestApps::entry;
using TestApps::running;

namespace
{

QList<qsizetype> closedCounts(const QList<Report>& progress)
{
    QList<qsizetype> counts;
    for (const Report& report : progress)
        counts.append(report.closed.size());
    return counts;
}

bool anyStillOpen(const QList<Report>& progress)
{
    return std::any_of(progress.begin(), progress.end(),
                       [](const Report& report) { return !report.stillOpen.isEmpty(); });
}

// Awaits a run like a caller would, counting how often it is resumed.
QCoro::Task<> awaitRun(QCoro::Task<Report> run, Report* report, int* resumed)
{
    *report = co_await run;
    ++*resumed;
}

} // namespace

class TestQuitter : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void returnsAtOnceWhenNothingIsRunning_data()
    {
        QTest::addColumn<QList<AppEntry>>("apps");
        QTest::newRow("empty list") << QList<AppEntry>{};
        QTest::newRow("all already gone")
            << QList<AppEntry>{entry(30, "Zed"), entry(10, "Ann"), entry(20, "Moe")};
    }

    void returnsAtOnceWhenNothingIsRunning()
    {
        QFETCH(QList<AppEntry>, apps);
        FakeWorkspace workspace;
        Quitter quitter(workspace);
        int progressCalls = 0;
        QCoro::Task<Report> run = quitter.quit(apps, 60, [&](const Report&) { ++progressCalls; });
        QVERIFY(run.isReady());
        QCOMPARE(QCoro::waitFor(run), (Report{apps, {}}));
        QCOMPARE(progressCalls, 0);
        QCOMPARE(workspace.observersAdded, 0);
        QVERIFY(workspace.quitRequests.isEmpty());
    }

    void reportsEachAppSeenToEnd()
    {
        FakeWorkspace workspace;
        for (pid_t pid : {1, 2, 3})
            workspace.addApp(running(pid));
        const AppEntry gone = entry(9, "Gone"), a = entry(1, "A"), b = entry(2, "B"),
                       c = entry(3, "C");
        Quitter quitter(workspace);
        QList<Report> progress;
        QCoro::Task<Report> run =
            quitter.quit({gone, a, b, c}, 60, [&](const Report& r) { progress.append(r); });

        QCOMPARE(workspace.quitRequests, (QList<pid_t>{1, 2, 3}));
        QVERIFY(!run.isReady());
        workspace.endApp(2);
        workspace.endApp(1);
        QVERIFY(!run.isReady());
        workspace.endApp(3);
        QVERIFY(run.isReady());

        QCOMPARE(QCoro::waitFor(run), (Report{{gone, b, a, c}, {}}));
        QCOMPARE(closedCounts(progress), (QList<qsizetype>{2, 3, 4}));
        QVERIFY(!anyStillOpen(progress));
        QCOMPARE(workspace.observerCount(), 0);
        QCOMPARE(workspace.quitRequests.size(), 3);
    }

    void sweepFinishesRunBeforeAnyTimeOut()
    {
        // Both apps end on their request, before the wait has an observer to hear of it.
        FakeWorkspace workspace;
        workspace.addApp(running(1));
        workspace.addApp(running(2));
        workspace.onQuitRequest = [&](pid_t pid) { workspace.endAppQuietly(pid); };
        Quitter quitter(workspace);
        QList<Report> progress;
        QCoro::Task<Report> run = quitter.quit({entry(1, "A"), entry(2, "B")}, 60,
                                               [&](const Report& r) { progress.append(r); });

        QVERIFY(run.isReady());
        const Report report = QCoro::waitFor(run);
        QCOMPARE(report.closed.size(), 2);
        QVERIFY(report.stillOpen.isEmpty());
        QCOMPARE(closedCounts(progress), (QList<qsizetype>{1, 2}));
        QCOMPARE(workspace.observersAdded, 1);
        QCOMPARE(workspace.observerCount(), 0);
    }

    void boundCountsFromThePressWhateverTheAnswers()
    {
        // One app answers its request after 5 s and never exits; the other exits meanwhile.
        FakeWorkspace workspace;
        workspace.addApp(running(1));
        workspace.addApp(running(2));
        workspace.answersLate = true;
        FakeClock clock;
        Quitter quitter(workspace, clock);
        QList<Report> progress;
        QCoro::Task<Report> run = quitter.quit({entry(1, "Slow"), entry(2, "Quick")}, 12,
                                               [&](const Report& r) { progress.append(r); });

        QCOMPARE(workspace.quitRequests, (QList<pid_t>{1, 2}));
        workspace.endApp(2);
        QCOMPARE(closedCounts(progress), QList<qsizetype>{1});
        clock.advance(std::chrono::seconds(5));
        workspace.answerRequests();
        clock.advance(std::chrono::milliseconds(6999));
        QVERIFY(!run.isReady());
        clock.advance(std::chrono::milliseconds(1));
        QVERIFY(run.isReady());
        QCOMPARE(QCoro::waitFor(run), (Report{{entry(2, "Quick")}, {entry(1, "Slow")}}));
    }

    void appsEndingWhileAskedAreCountedOnce()
    {
        // The first app ends, heard of, while the second is still being asked.
        FakeWorkspace workspace;
        workspace.addApp(running(1));
        workspace.addApp(running(2));
        workspace.onQuitRequest = [&](pid_t pid) {
            if (pid == 2)
                workspace.endApp(1);
        };
        FakeClock clock;
        Quitter quitter(workspace, clock);
        QList<Report> progress;
        QCoro::Task<Report> run = quitter.quit({entry(1, "A"), entry(2, "B")}, 12,
                                               [&](const Report& r) { progress.append(r); });
        QCOMPARE(workspace.quitRequests, (QList<pid_t>{1, 2}));
        QVERIFY(!run.isReady());
        workspace.endApp(2);
        QVERIFY(run.isReady());
        QCOMPARE(closedCounts(progress), (QList<qsizetype>{1, 2}));
        QCOMPARE(QCoro::waitFor(run), (Report{{entry(1, "A"), entry(2, "B")}, {}}));
    }

    void reportsAppsStillOpenAtTimeOut_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("stillOpen");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QStringList{"alpha", "Beta", "Örn", "Zeta"};
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden)
                                 << QStringList{"alpha", "Beta", "Zeta", "Örn"};
    }

    void reportsAppsStillOpenAtTimeOut()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, stillOpen);
        QLocale::setDefault(locale);
        FakeWorkspace workspace;
        const QList<AppEntry> apps{entry(1, "Zeta"), entry(2, "Beta"), entry(3, "Örn"),
                                   entry(4, "alpha"), entry(5, "Quiet")};
        for (const AppEntry& entry : apps)
            workspace.addApp(running(entry.pid));
        Quitter quitter(workspace);
        int progressCalls = 0;
        QCoro::Task<Report> run = quitter.quit(apps, 0.05, [&](const Report&) { ++progressCalls; });
        // Ends without anyone being told: found gone when the time-out settles the run.
        workspace.endAppQuietly(5);

        const Report report = QCoro::waitFor(run);
        QStringList names;
        for (const AppEntry& entry : report.stillOpen)
            names.append(entry.name);
        QCOMPARE(names, stillOpen);
        QCOMPARE(report.closed, (QList<AppEntry>{entry(5, "Quiet")}));
        QCOMPARE(progressCalls, 0);
        QCOMPARE(workspace.quitRequests.size(), apps.size());
        QVERIFY(workspace.forceQuitRequests.isEmpty());
        QCOMPARE(workspace.observerCount(), 0);
    }

    void lateEventsChangeNothing_data()
    {
        QTest::addColumn<bool>("endsInTime");
        QTest::newRow("after every app closed") << true;
        QTest::newRow("after the time-out") << false;
    }

    void lateEventsChangeNothing()
    {
        QFETCH(bool, endsInTime);
        FakeWorkspace workspace;
        workspace.addApp(running(1));
        workspace.addApp(running(2));
        Quitter quitter(workspace);
        int progressCalls = 0;
        Report report;
        int resumed = 0;
        QCoro::Task<> caller = awaitRun(quitter.quit({entry(1, "A"), entry(2, "B")}, 0.05,
                                                     [&](const Report&) { ++progressCalls; }),
                                        &report, &resumed);
        workspace.endApp(1);
        if (endsInTime)
            workspace.endApp(2);
        QTRY_COMPARE(resumed, 1);
        const Report final = report;
        const int progressAtEnd = progressCalls;

        // The time-out (if not yet fired) and repeated or late notifications come after the end.
        QTest::qWait(150);
        workspace.endApp(2);
        workspace.notifyTerminated(1);
        QCOMPARE(resumed, 1);
        QCOMPARE(report, final);
        QCOMPARE(progressCalls, progressAtEnd);
        QCOMPARE(workspace.observerCount(), 0);
    }

    void duplicatePidsBecomeOnePendingEntry()
    {
        FakeWorkspace workspace;
        workspace.addApp(running(1));
        Quitter quitter(workspace);
        int progressCalls = 0;
        QCoro::Task<Report> run = quitter.quit({entry(1, "first"), entry(1, "second")}, 60,
                                               [&](const Report&) { ++progressCalls; });
        QCOMPARE(workspace.quitRequests, (QList<pid_t>{1, 1}));
        workspace.endApp(1);
        QVERIFY(run.isReady());
        QCOMPARE(QCoro::waitFor(run), (Report{{entry(1, "second")}, {}}));
        QCOMPARE(progressCalls, 1);
    }

    void overlappingRunsAreIndependent()
    {
        FakeWorkspace workspace;
        for (pid_t pid : {1, 2, 3})
            workspace.addApp(running(pid));
        Quitter quitter(workspace);
        QList<Report> firstProgress, secondProgress;
        QCoro::Task<Report> first = quitter.quit({entry(1, "A"), entry(2, "B")}, 0.05,
                                                 [&](const Report& r) { firstProgress.append(r); });
        QCoro::Task<Report> second = quitter.quit(
            {entry(1, "A"), entry(3, "C")}, 60, [&](const Report& r) { secondProgress.append(r); });
        QCOMPARE(workspace.observerCount(), 2);

        workspace.endApp(1);
        QCOMPARE(firstProgress.size(), 1);
        QCOMPARE(secondProgress.size(), 1);
        workspace.endApp(3);
        QVERIFY(second.isReady());
        QVERIFY(!first.isReady());
        QCOMPARE(firstProgress.size(), 1);
        QCOMPARE(workspace.observerCount(), 1);

        QCOMPARE(QCoro::waitFor(second), (Report{{entry(1, "A"), entry(3, "C")}, {}}));
        QCOMPARE(QCoro::waitFor(first), (Report{{entry(1, "A")}, {entry(2, "B")}}));
        QCOMPARE(workspace.observerCount(), 0);
    }

    void movesCallerOnOtherThreadToMainThread()
    {
        FakeWorkspace workspace;
        workspace.addApp(running(1));
        QList<QThread*> requestThreads;
        workspace.onQuitRequest = [&](pid_t pid) {
            requestThreads.append(QThread::currentThread());
            workspace.endAppQuietly(pid);
        };
        Quitter quitter(workspace);
        Report report;
        int resumed = 0;
        std::optional<QCoro::Task<>> caller;
        std::thread([&] {
            caller = awaitRun(quitter.quit({entry(1, "A")}, 60), &report, &resumed);
        }).join();

        QTRY_COMPARE(resumed, 1);
        QCOMPARE(requestThreads, (QList<QThread*>{QThread::currentThread()}));
        QCOMPARE(report, (Report{{entry(1, "A")}, {}}));
    }

    void forceQuit_data()
    {
        QTest::addColumn<bool>("isRunning");
        QTest::addColumn<ForceQuitState>("state");
        QTest::addColumn<bool>("killSucceeds");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("result");
        QTest::newRow("running") << true << ForceQuitState::possible << true << true << true;
        QTest::newRow("running, kill refused")
            << true << ForceQuitState::possible << false << true << false;
        QTest::newRow("no running application")
            << false << ForceQuitState::possible << true << false << false;
        QTest::newRow("unverified") << true << ForceQuitState::unverified << true << false << false;
        QTest::newRow("another user's")
            << true << ForceQuitState::otherUser << true << false << false;
    }

    void forceQuit()
    {
        QFETCH(bool, isRunning);
        QFETCH(ForceQuitState, state);
        QFETCH(bool, killSucceeds);
        QFETCH(bool, asked);
        FakeWorkspace workspace;
        if (isRunning)
            workspace.addApp(running(7));
        workspace.forceQuitStates.insert(7, state);
        workspace.forceQuitResult = killSucceeds;
        Quitter quitter(workspace);
        QTEST(quitter.forceQuit(entry(7, "Seven")), "result");
        QCOMPARE(workspace.forceQuitRequests.size(), asked ? 1 : 0);
    }

    void reportSaysWhichAppsCannotBeForceQuit()
    {
        FakeWorkspace workspace;
        for (pid_t pid : {-5, 6, 7})
            workspace.addApp(running(pid));
        workspace.forceQuitStates = {{-5, ForceQuitState::unverified},
                                     {6, ForceQuitState::otherUser}};
        FakeClock clock;
        Quitter quitter(workspace, clock);
        QCoro::Task<Report> run =
            quitter.quit({entry(-5, "Window"), entry(6, "Root's"), entry(7, "Mine")}, 1);
        clock.advance(std::chrono::seconds(1));
        const Report report = QCoro::waitFor(run);
        QCOMPARE(report.stillOpen.size(), 3);
        QCOMPARE(report.forceQuitStates,
                 (QHash<pid_t, ForceQuitState>{{-5, ForceQuitState::unverified},
                                               {6, ForceQuitState::otherUser}}));
        QCOMPARE(report.forceQuitState(entry(7, "Mine")), ForceQuitState::possible);
    }
};

QTEST_GUILESS_MAIN(TestQuitter)
#include "tst_Quitter.moc"
