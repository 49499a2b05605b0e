#include "ForkedChild.h"
#include "ProcessWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace
{

enum class End { Exit, Kill, ExitAndReap };

void end(ForkedChild& child, End how)
{
    if (how == End::Kill) {
        kill(child.pid(), SIGKILL);
        return;
    }
    child.request();
    if (how == End::ExitAndReap) {
        child.waitForExit();
        child.reap();
    }
}

} // namespace

Q_DECLARE_METATYPE(End)

class TestProcessWatcher : public QObject
{
    Q_OBJECT

private slots:
    void reportsEnd_data()
    {
        QTest::addColumn<End>("how");
        QTest::newRow("exits, not yet reaped") << End::Exit;
        QTest::newRow("killed") << End::Kill;
        QTest::newRow("exits and is reaped before the news is read") << End::ExitAndReap;
    }

    void reportsEnd()
    {
        QFETCH(End, how);
        ForkedChild child;
        ForkedChild bystander;
        ProcessWatcher watcher;
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        QVERIFY(watcher.watch(child.pid(), child.startTime()));
        QVERIFY(watcher.watch(bystander.pid(), bystander.startTime()));

        end(child, how);
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).value<pid_t>(), child.pid());
        QVERIFY(!watcher.isWatching(child.pid()));
        QVERIFY(watcher.isWatching(bystander.pid()));
    }

    void refusesProcessThatIsNotThere_data()
    {
        QTest::addColumn<End>("how");
        QTest::addColumn<quint64>("startTimeOffset");
        QTest::newRow("zombie") << End::Exit << quint64(0);
        QTest::newRow("reaped") << End::ExitAndReap << quint64(0);
        QTest::newRow("running, but started at another time") << End::Kill << quint64(1);
    }

    void refusesProcessThatIsNotThere()
    {
        QFETCH(End, how);
        QFETCH(quint64, startTimeOffset);
        ForkedChild child;
        if (startTimeOffset == 0) {
            end(child, how);
            child.waitForExit();
        }
        ProcessWatcher watcher;
        QVERIFY(!watcher.watch(child.pid(), child.startTime() + startTimeOffset));
        QVERIFY(!watcher.isWatching(child.pid()));
    }

    void unwatchedProcessEndsSilently()
    {
        ForkedChild child;
        ProcessWatcher watcher;
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        QVERIFY(watcher.watch(child.pid(), child.startTime()));
        watcher.unwatch(child.pid());
        child.request();
        child.waitForExit();
        QVERIFY(!ended.wait(100));
    }
};

QTEST_GUILESS_MAIN(TestProcessWatcher)
#include "tst_ProcessWatcher.moc"
