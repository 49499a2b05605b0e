#include "CombinedWorkspace.h"
#include "FakeWorkspace.h"

#include <QTest>

// Two backends of one session: the X11 one first, as the factory puts it.
class TestCombinedWorkspace : public QObject
{
    Q_OBJECT

    static RunningApplication app(pid_t pid)
    {
        RunningApplication running;
        running.pid = pid;
        return running;
    }

private slots:
    void routesEachAppToTheBackendThatListsIt_data()
    {
        QTest::addColumn<bool>("inFirst");
        QTest::addColumn<bool>("inSecond");
        QTest::addColumn<int>("owner"); // 0: none
        QTest::newRow("first only") << true << false << 1;
        QTest::newRow("second only") << false << true << 2;
        QTest::newRow("both: the first one's") << true << true << 1;
        QTest::newRow("neither") << false << false << 0;
    }

    void routesEachAppToTheBackendThatListsIt()
    {
        QFETCH(bool, inFirst);
        QFETCH(bool, inSecond);
        QFETCH(int, owner);
        auto first = std::make_unique<FakeWorkspace>();
        auto second = std::make_unique<FakeWorkspace>();
        FakeWorkspace* backends[] = {first.get(), second.get()};
        if (inFirst)
            first->addApp(app(42));
        if (inSecond)
            second->addApp(app(42));
        std::vector<std::unique_ptr<Workspace>> parts;
        parts.push_back(std::move(first));
        parts.push_back(std::move(second));
        CombinedWorkspace combined(std::move(parts));

        QCOMPARE(combined.runningApplications().size(), owner ? 1 : 0);
        QCOMPARE(combined.requestQuit(42), owner != 0);
        QCOMPARE(combined.activate(42), owner != 0);
        QCOMPARE(combined.forceQuit(42), owner != 0);
        for (int i = 0; i < 2; ++i) {
            const QList<pid_t> asked = i + 1 == owner ? QList<pid_t>{42} : QList<pid_t>{};
            QCOMPARE(backends[i]->quitRequests, asked);
            QCOMPARE(backends[i]->forceQuitRequests, asked);
            QCOMPARE(backends[i]->activations, asked);
        }
    }

    void passesOnEveryBackendsEndedApps()
    {
        auto first = std::make_unique<FakeWorkspace>();
        auto second = std::make_unique<FakeWorkspace>();
        FakeWorkspace& x11 = *first;
        FakeWorkspace& wayland = *second;
        x11.addApp(app(1001));
        wayland.addApp(app(-0x40000000));
        std::vector<std::unique_ptr<Workspace>> parts;
        parts.push_back(std::move(first));
        parts.push_back(std::move(second));
        {
            CombinedWorkspace combined(std::move(parts));
            QList<pid_t> ended;
            combined.addTerminationObserver([&](pid_t pid) { ended.append(pid); });
            x11.endApp(1001);
            wayland.endApp(-0x40000000);
            QCOMPARE(ended, (QList<pid_t>{1001, -0x40000000}));
        }
    }

    void gapOfOneBackendIsPartial()
    {
        auto first = std::make_unique<FakeWorkspace>();
        first->gap = Workspace::ListingGap{QStringLiteral("the X server does not answer")};
        std::vector<std::unique_ptr<Workspace>> parts;
        parts.push_back(std::move(first));
        parts.push_back(std::make_unique<FakeWorkspace>());
        CombinedWorkspace combined(std::move(parts));
        const std::optional<Workspace::ListingGap> gap = combined.listingGap();
        QVERIFY(gap);
        QVERIFY(gap->partial);
        QCOMPARE(gap->reason, QStringLiteral("the X server does not answer"));
    }
};

QTEST_GUILESS_MAIN(TestCombinedWorkspace)
#include "tst_CombinedWorkspace.moc"
