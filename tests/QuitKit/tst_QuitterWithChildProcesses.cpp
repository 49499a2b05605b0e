#include "ChildProcessWorkspace.h"
#include "LinuxProcess.h"
#include "Quitter.h"

#include <QCoroTask>
#include <QTest>

using Report = Quitter::Report;
using OnRequest = ForkedChild::OnRequest;

// The quitter over real processes: requests go out, real exits come back through pidfds.
class TestQuitterWithChildProcesses : public QObject
{
    Q_OBJECT

private slots:
    void quitsChildrenThatExitOnRequest()
    {
        ChildProcessWorkspace workspace;
        const QList<AppEntry> apps{workspace.launch("One", OnRequest::Exit),
                                   workspace.launch("Two", OnRequest::Exit),
                                   workspace.launch("Three", OnRequest::Exit)};
        Quitter quitter(workspace);
        int progressCalls = 0;
        const Report report =
            QCoro::waitFor(quitter.quit(apps, 30, [&](const Report&) { ++progressCalls; }));

        QCOMPARE(report.closed.size(), 3);
        for (const AppEntry& app : apps)
            QVERIFY(report.closed.contains(app));
        QVERIFY(report.stillOpen.isEmpty());
        QCOMPARE(progressCalls, 3);
    }

    void childIgnoringRequestIsStillOpenAtTimeOut()
    {
        ChildProcessWorkspace workspace;
        const AppEntry obeys = workspace.launch("Obeys", OnRequest::Exit);
        const AppEntry ignores = workspace.launch("Ignores", OnRequest::Ignore);
        Quitter quitter(workspace);
        // Long enough for the obeying child's exit to arrive on a loaded machine.
        const Report report = QCoro::waitFor(quitter.quit({ignores, obeys}, 2));

        QCOMPARE(report, (Report{{obeys}, {ignores}}));
        // Never killed behind the user's back.
        QVERIFY(!LinuxProcess::hasEnded(ignores.pid, workspace.child(ignores.pid).startTime()));
        QVERIFY(quitter.forceQuit(ignores));
        QTRY_VERIFY(!workspace.runningApplication(ignores.pid) ||
                    workspace.runningApplication(ignores.pid)->hasExited);
    }

    void childExitingBeforeTheWaitIsCounted()
    {
        ChildProcessWorkspace workspace;
        const AppEntry early = workspace.launch("Early", OnRequest::Exit);
        const AppEntry later = workspace.launch("Later", OnRequest::Exit);
        workspace.exitBeforeRequestReturns.insert(early.pid);
        Quitter quitter(workspace);
        QList<Report> progress;
        QCoro::Task<Report> run =
            quitter.quit({early, later}, 30, [&](const Report& r) { progress.append(r); });

        // No exit news can have been read yet (the event loop has not run): the sweep saw it.
        QVERIFY(!progress.isEmpty());
        QVERIFY(progress.last().closed.contains(early));
        const Report report = QCoro::waitFor(run);
        QCOMPARE(report.closed.size(), 2);
        QVERIFY(report.closed.contains(later));
        QVERIFY(report.stillOpen.isEmpty());
        QCOMPARE(progress.size(), 2);
    }

    void forceQuitOfGoneChildFails()
    {
        ChildProcessWorkspace workspace;
        const AppEntry app = workspace.launch("Gone", OnRequest::Exit);
        Quitter quitter(workspace);
        QCOMPARE(QCoro::waitFor(quitter.quit({app}, 30)), (Report{{app}, {}}));
        QVERIFY(!quitter.forceQuit(app));
    }
};

QTEST_GUILESS_MAIN(TestQuitterWithChildProcesses)
#include "tst_QuitterWithChildProcesses.moc"
