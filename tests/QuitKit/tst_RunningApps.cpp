#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "RunningApps.h"
#include "TestApps.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace
{

constexpr quint64 MB = 1 << 20;

QList<pid_t> pids(const QList<AppEntry>& entries)
{
    QList<pid_t> result;
    for (const AppEntry& entry : entries)
        result.append(entry.pid);
    return result;
}

} // namespace

class TestRunningApps : public QObject
{
    Q_OBJECT

private slots:
    void alwaysKeptHoldsOnlyFinder()
    {
        QCOMPARE(RunningApps::alwaysKept(), QSet<QString>{QStringLiteral("com.apple.finder")});
        QCOMPARE(&RunningApps::alwaysKept(), &RunningApps::alwaysKept());
    }

    void filters_data()
    {
        QTest::addColumn<int>("policy");
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("bundleID"); // null: none
        QTest::addColumn<QStringList>("keep");
        QTest::addColumn<bool>("listed");
        const QString gedit = QStringLiteral("org.gnome.gedit");
        const QString finder = QStringLiteral("com.apple.finder");
        QTest::newRow("regular") << 0 << false << 10 << gedit << QStringList() << true;
        QTest::newRow("accessory") << 1 << false << 10 << gedit << QStringList() << false;
        QTest::newRow("background") << 2 << false << 10 << gedit << QStringList() << false;
        QTest::newRow("terminated") << 0 << true << 10 << gedit << QStringList() << false;
        QTest::newRow("own process") << 0 << false << 4242 << gedit << QStringList() << false;
        QTest::newRow("finder") << 0 << false << 10 << finder << QStringList() << false;
        QTest::newRow("finder, whatever is kept")
            << 0 << false << 10 << finder << QStringList{gedit} << false;
        QTest::newRow("kept") << 0 << false << 10 << gedit << QStringList{gedit} << false;
        QTest::newRow("other kept") << 0 << false << 10 << gedit << QStringList{finder} << true;
        QTest::newRow("no identifier")
            << 0 << false << 10 << QString() << QStringList{gedit} << true;
        QTest::newRow("no identifier, empty text kept")
            << 0 << false << 10 << QString() << QStringList{QStringLiteral("")} << false;
    }

    void filters()
    {
        QFETCH(int, policy);
        QFETCH(bool, terminated);
        QFETCH(int, pid);
        QFETCH(QString, bundleID);
        QFETCH(QStringList, keep);
        QFETCH(bool, listed);
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        RunningApplication running = TestApps::running(pid, QStringLiteral("Some App"));
        running.activationPolicy = ActivationPolicy(policy);
        running.isTerminated = terminated;
        if (!bundleID.isNull())
            running.bundleIdentifier = bundleID;
        workspace.addApp(running);

        for (const bool measure : {false, true}) {
            const QList<AppEntry> entries = RunningApps::snapshot(
                workspace, processes, measure, QSet<QString>(keep.begin(), keep.end()));
            QCOMPARE(entries.size(), listed ? 1 : 0);
            if (listed)
                QCOMPARE(entries[0].bundleID, running.bundleIdentifier);
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("localizedName"); // null: none
        QTest::addColumn<QString>("bundleURL");     // null: none
        QTest::addColumn<QString>("name");
        QTest::newRow("localized") << "Text Editor"
                                   << "/usr/share/applications/org.gnome.gedit.desktop"
                                   << "Text Editor";
        QTest::newRow("desktop file")
            << QString() << "/usr/share/applications/org.gnome.gedit.desktop"
            << "org.gnome.gedit";
        QTest::newRow("bundle") << QString() << "/Applications/Foo Bar.app"
                                << "Foo Bar";
        QTest::newRow("bundle with slash") << QString() << "/Applications/Foo Bar.app/"
                                           << "Foo Bar";
        QTest::newRow("empty localized name") << ""
                                              << "/Applications/Foo Bar.app"
                                              << "Foo Bar";
        QTest::newRow("nothing") << QString() << QString() << "App";
    }

    void names()
    {
        QFETCH(QString, localizedName);
        QFETCH(QString, bundleURL);
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        RunningApplication running = TestApps::running(10);
        running.localizedName =
            localizedName.isNull() ? std::nullopt : std::optional(localizedName);
        if (!bundleURL.isNull())
            running.bundleURL = bundleURL;
        workspace.addApp(running);
        const QList<AppEntry> entries = RunningApps::snapshot(workspace, processes, false, {});
        QCOMPARE(entries.size(), 1);
        QTEST(entries[0].name, "name");
        QCOMPARE(entries[0].bundleURL, running.bundleURL);
        QCOMPARE(entries[0].bundleID, std::nullopt);
    }

    void categoryComesFromTheBundle()
    {
        QTemporaryDir dir;
        const QString game = dir.filePath(QStringLiteral("org.example.Chess.desktop"));
        QVERIFY(TestFiles::writeFile(game, "[Desktop Entry]\nType=Application\nName=Chess\n"
                                           "Exec=chess\nCategories=Game;BoardGame;\n"));
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        RunningApplication chess = TestApps::running(10, QStringLiteral("Chess"));
        chess.bundleURL = game;
        workspace.addApp(chess);
        workspace.addApp(TestApps::running(11, QStringLiteral("Plain")));
        const QList<AppEntry> entries = RunningApps::snapshot(workspace, processes, false, {});
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].category, RunningApps::category(game));
        QVERIFY(entries[0].category);
        QCOMPARE(entries[1].category, std::nullopt);
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
