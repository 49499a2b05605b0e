#include "ForkedChild.h"
#include "GnomeWorkspace.h"
#include "ProcFixture.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

// App units in a throwaway cgroup tree, their processes real children described by a folder
// laid out like /proc, their desktop entries in a throwaway data home.
class TestGnomeWorkspace : public QObject
{
    Q_OBJECT

    QTemporaryDir data;
    std::unique_ptr<QTemporaryDir> cgroups;
    std::unique_ptr<ProcFixture> proc;
    std::vector<std::unique_ptr<ForkedChild>> children;

    QString appSlice() const
    {
        return cgroups->filePath(
            QStringLiteral("user.slice/user-%1.slice/user@%1.service/app.slice").arg(geteuid()));
    }

    void install(const QString& id, const QByteArray& extra = {})
    {
        QVERIFY(TestFiles::writeFile(
            data.filePath(QStringLiteral("home/applications/") + id + QLatin1String(".desktop")),
            "[Desktop Entry]\nType=Application\nName=" + id.section(u'.', -1).toUtf8() +
                "\nExec=true\n" + extra));
    }

    // A running child, known to the fixture /proc as started at `startTime`.
    pid_t startChild(quint64 startTime)
    {
        children.push_back(std::make_unique<ForkedChild>());
        const pid_t pid = children.back()->pid();
        proc->add(pid, {.startTime = startTime});
        return pid;
    }

    // Writes the unit folder `unit` (relative to the app slice) holding `pids`.
    static void addUnit(const QString& folder, const QList<pid_t>& pids)
    {
        QByteArray procs;
        for (pid_t pid : pids)
            procs += QByteArray::number(pid) + '\n';
        QVERIFY(TestFiles::writeFile(folder + QLatin1String("/cgroup.procs"), procs));
    }

private slots:
    void initTestCase()
    {
        // GIO reads these once, on first use.
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.filePath(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(data.filePath(QStringLiteral("system"))));
        install(QStringLiteral("org.example.Editor"), "DBusActivatable=true\n");
        install(QStringLiteral("org.example.Mail"));
        install(QStringLiteral("org.example.Flat"));
        install(QStringLiteral("org.example.Dash-y"));
        install(QStringLiteral("org.example.Nested"));
        install(QStringLiteral("org.example.Menuless"), "NoDisplay=true\n");
        install(QStringLiteral("org.example.Removed"), "Hidden=true\n");
    }

    void init()
    {
        cgroups = std::make_unique<QTemporaryDir>();
        proc = std::make_unique<ProcFixture>();
        QVERIFY(QDir().mkpath(appSlice()));
    }

    void cleanup() { children.clear(); }

    void listing_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("name"); // empty: not listed

        QTest::newRow("gnome scope") << "app-gnome-org.example.Editor-4242.scope"
                                     << "Editor";
        QTest::newRow("launcher service") << "app-gnome-org.example.Mail@3a1f.service"
                                          << "Mail";
        QTest::newRow("flatpak scope") << "app-flatpak-org.example.Flat-77.scope"
                                       << "Flat";
        QTest::newRow("escaped dash") << "app-gnome-org.example.Dash\\x2dy-9.scope"
                                      << "Dash-y";
        QTest::newRow("nested slice") << "app-graphical.slice/app-gnome-org.example.Nested-5.scope"
                                      << "Nested";
        QTest::newRow("no menu entry") << "app-gnome-org.example.Menuless-6.scope"
                                       << "";
        QTest::newRow("hidden entry") << "app-gnome-org.example.Removed-8.scope"
                                      << "";
        QTest::newRow("no entry") << "app-gnome-org.example.Unknown-10.scope"
                                  << "";
        QTest::newRow("not an app unit") << "vte-spawn-1b2c.scope"
                                         << "";
    }

    void listing()
    {
        QFETCH(QString, unit);
        QFETCH(QString, name);
        const pid_t pid = startChild(100);
        addUnit(appSlice() + QLatin1Char('/') + unit, {pid});
        GnomeWorkspace workspace(cgroups->path(), proc->root());
        QVERIFY(!workspace.problem());
        const QList<RunningApplication> apps = workspace.runningApplications();
        QCOMPARE(apps.size(), name.isEmpty() ? 0 : 1);
        if (name.isEmpty())
            return;
        QCOMPARE(apps.first().pid, pid);
        QCOMPARE(apps.first().name, name);
        QCOMPARE(apps.first().desktopId, QStringLiteral("org.example.") + name);
    }

    void oneAppPerDesktopIdOwnedByOldestProcess()
    {
        const pid_t child = startChild(300), parent = startChild(200), second = startChild(250);
        addUnit(appSlice() + QLatin1String("/app-gnome-org.example.Editor-1.scope"),
                {child, parent});
        addUnit(appSlice() + QLatin1String("/app-gnome-org.example.Editor-2.scope"), {second});
        GnomeWorkspace workspace(cgroups->path(), proc->root());
        const QList<RunningApplication> apps = workspace.runningApplications();
        QCOMPARE(apps.size(), 1);
        QCOMPARE(apps.first().pid, parent);
    }

    void unitOfAnotherBackendsAppIsLeftOut()
    {
        // X11 lists the unit's X client, which is not its oldest process.
        const pid_t launcher = startChild(100), xClient = startChild(200);
        addUnit(appSlice() + QLatin1String("/app-gnome-org.example.Editor-7.scope"),
                {launcher, xClient});
        GnomeWorkspace workspace(cgroups->path(), proc->root());
        QCOMPARE(workspace.runningApplications().size(), 1);
        workspace.leaveOutUnitsOf([xClient] { return QList<pid_t>{xClient}; });
        QVERIFY(workspace.runningApplications().isEmpty());
        QVERIFY(!workspace.runningApplication(launcher));
    }

    void followsUnitsAndTheirEnd()
    {
        GnomeWorkspace workspace(cgroups->path(), proc->root());
        QVERIFY(workspace.runningApplications().isEmpty());
        QList<pid_t> ended;
        workspace.addTerminationObserver([&](pid_t pid) { ended.append(pid); });
        // Made aside and moved in whole, as it would be seen populated.
        const pid_t pid = startChild(100);
        const QString made =
            cgroups->filePath(QStringLiteral("app-gnome-org.example.Mail-3.scope"));
        addUnit(made, {pid});
        QVERIFY(
            QDir().rename(made, appSlice() + QLatin1String("/app-gnome-org.example.Mail-3.scope")));
        QTRY_COMPARE(workspace.runningApplications().size(), 1);
        // Its unit goes with it: either news must tell of the end once.
        children.back()->request();
        children.back()->waitForExit();
        QVERIFY(QDir(appSlice() + QLatin1String("/app-gnome-org.example.Mail-3.scope"))
                    .removeRecursively());
        QTRY_COMPARE(ended, QList<pid_t>{pid});
        QTest::qWait(0);
        QCOMPARE(ended, QList<pid_t>{pid});
        QVERIFY(workspace.runningApplications().isEmpty());
    }

    void appWithoutBusNameCannotBeAsked()
    {
        const pid_t pid = startChild(100);
        addUnit(appSlice() + QLatin1String("/app-gnome-org.example.Mail-4.scope"), {pid});
        GnomeWorkspace workspace(cgroups->path(), proc->root());
        // Its desktop ID could be a bus name it owns; once nobody is found owning it, it is one
        // that cannot be asked.
        workspace.requestQuit(pid);
        QTRY_COMPARE_WITH_TIMEOUT(workspace.stillOpenReason(pid), StillOpenReason::cannotBeAsked,
                                  20000);
        QVERIFY(!workspace.activate(pid));
    }

    void missingAppSliceIsAProblem()
    {
        QVERIFY(QDir(appSlice()).removeRecursively());
        GnomeWorkspace workspace(cgroups->path(), proc->root());
        QVERIFY(workspace.problem());
        QVERIFY(workspace.listingGap());
    }
};

QTEST_GUILESS_MAIN(TestGnomeWorkspace)
#include "tst_GnomeWorkspace.moc"
