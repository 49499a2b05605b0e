#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "RunningApps.h"
#include "TestApps.h"

#include <QTest>

namespace
{

constexpr quint64 MB = 1 << 20;
using TestApps::pids;

} // namespace

class TestRunningApps : public QObject
{
    Q_OBJECT

private slots:
    void filters_data()
    {
        QTest::addColumn<bool>("onTaskbar");
        QTest::addColumn<bool>("exited");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("desktopId"); // null: none
        QTest::addColumn<QStringList>("keep");
        QTest::addColumn<bool>("listed");
        const QString gedit = QStringLiteral("org.gnome.gedit");
        const QString other = QStringLiteral("org.example.Other");
        QTest::newRow("on the taskbar") << true << false << 10 << gedit << QStringList() << true;
        QTest::newRow("off the taskbar") << false << false << 10 << gedit << QStringList() << false;
        QTest::newRow("exited") << true << true << 10 << gedit << QStringList() << false;
        QTest::newRow("own process") << true << false << 4242 << gedit << QStringList() << false;
        QTest::newRow("kept") << true << false << 10 << gedit << QStringList{gedit} << false;
        QTest::newRow("other kept") << true << false << 10 << gedit << QStringList{other} << true;
        QTest::newRow("no desktop ID")
            << true << false << 10 << QString() << QStringList{gedit} << true;
        QTest::newRow("no desktop ID, empty text kept")
            << true << false << 10 << QString() << QStringList{QStringLiteral("")} << false;
    }

    void filters()
    {
        QFETCH(bool, onTaskbar);
        QFETCH(bool, exited);
        QFETCH(int, pid);
        QFETCH(QString, desktopId);
        QFETCH(QStringList, keep);
        QFETCH(bool, listed);
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        RunningApplication running = TestApps::running(pid, QStringLiteral("Some App"));
        running.onTaskbar = onTaskbar;
        running.hasExited = exited;
        if (!desktopId.isNull())
            running.desktopId = desktopId;
        workspace.addApp(running);

        for (const bool measure : {false, true}) {
            const QList<AppEntry> entries = RunningApps::snapshot(
                workspace, processes, measure, QSet<QString>(keep.begin(), keep.end()));
            QCOMPARE(entries.size(), listed ? 1 : 0);
            if (listed)
                QCOMPARE(entries[0].desktopId, running.desktopId);
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("given");       // null: none
        QTest::addColumn<QString>("desktopFile"); // null: none
        QTest::addColumn<QString>("name");
        const QString gedit = QStringLiteral("/usr/share/applications/org.gnome.gedit.desktop");
        QTest::newRow("given") << "Text Editor" << gedit << "Text Editor";
        QTest::newRow("desktop file") << QString() << gedit << "org.gnome.gedit";
        QTest::newRow("empty given name") << "" << gedit << "org.gnome.gedit";
        QTest::newRow("nothing") << QString() << QString() << "App";
    }

    void names()
    {
        QFETCH(QString, given);
        QFETCH(QString, desktopFile);
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        RunningApplication running = TestApps::running(10);
        running.name = given.isNull() ? std::nullopt : std::optional(given);
        if (!desktopFile.isNull())
            running.desktopFile = desktopFile;
        workspace.addApp(running);
        const QList<AppEntry> entries = RunningApps::snapshot(workspace, processes, false, {});
        QCOMPARE(entries.size(), 1);
        QTEST(entries[0].name, "name");
        QCOMPARE(entries[0].desktopFile, running.desktopFile);
        QCOMPARE(entries[0].desktopId, std::nullopt);
    }

    void categoriesComeFromTheWorkspace()
    {
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        RunningApplication chess = TestApps::running(10, QStringLiteral("Chess"));
        chess.categories = QStringList{QStringLiteral("Game"), QStringLiteral("BoardGame")};
        workspace.addApp(chess);
        const QList<AppEntry> entries = RunningApps::snapshot(workspace, processes, false, {});
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].categories, chess.categories);
    }

    void withoutMeasuringSortsByName()
    {
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        TestApps::addRunning(workspace, processes, 10, QStringLiteral("Beta"), std::nullopt,
                             900 * MB);
        TestApps::addRunning(workspace, processes, 11, QStringLiteral("alpha"), std::nullopt,
                             100 * MB);
        const QList<AppEntry> entries = RunningApps::snapshot(workspace, processes, false, {});
        QCOMPARE(pids(entries), (QList<pid_t>{11, 10}));
        QCOMPARE(entries[0].memory, 0u);
        QCOMPARE(entries[1].memory, 0u);
        QCOMPARE(processes.footprintReads, 0);
    }

    void measuringSortsByMemoryThenName()
    {
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        const QList<std::pair<QString, quint64>> apps{
            {QStringLiteral("Zed"), 100 * MB},  {QStringLiteral("Same"), 50 * MB},
            {QStringLiteral("beta"), 100 * MB}, {QStringLiteral("Big"), 900 * MB},
            {QStringLiteral("Same"), 50 * MB},  {QStringLiteral("Alpha"), 100 * MB}};
        pid_t pid = 20;
        for (const auto& [name, bytes] : apps) {
            TestApps::addRunning(workspace, processes, pid, name, std::nullopt, bytes);
            ++pid;
        }
        // A helper of Zed's makes it the second largest.
        processes.add(40, {.parent = 20, .footprint = 1 * MB});
        const QList<AppEntry> entries = RunningApps::snapshot(workspace, processes, true, {});
        QCOMPARE(pids(entries), (QList<pid_t>{23, 20, 25, 22, 21, 24}));
        QCOMPARE(entries[0].memory, 900 * MB);
        QCOMPARE(entries[1].memory, 101 * MB);
    }
};

QTEST_GUILESS_MAIN(TestRunningApps)
#include "tst_RunningApps.moc"
