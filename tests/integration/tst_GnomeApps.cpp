#include "CgroupAppSlice.h"
#include "GnomeWorkspace.h"
#include "MutterSession.h"
#include "TestFiles.h"

#include <QHash>
#include <QProcess>
#include <QTest>

#include <memory>

// GTK apps on a headless mutter, each in an app unit of a private cgroup tree, seen through
// the GNOME backend on the compositor's own session bus; as root, all of it runs as the desktop
// user, in a tree handed to that user.
class TestGnomeApps : public QObject
{
    Q_OBJECT

    MutterSession session;
    CgroupAppSlice slice;
    std::unique_ptr<GnomeWorkspace> workspace;
    int units = 0;

    // Starts test app `script` inside a new unit of app `id`; returns its pid once listed.
    pid_t startInUnit(const QString& id, const QString& script, const QString& log,
                      QHash<QString, QString> environment = {})
    {
        environment.insert(QStringLiteral("NIMBREL_TEST_LOG"), log);
        const QString unit =
            slice.addUnit(QStringLiteral("app-gnome-%1-%2.scope")
                              .arg(QString(id).replace(u'-', QStringLiteral("\\x2d")))
                              .arg(++units));
        // The shell moves itself into the unit first, so everything the app starts is in it.
        QProcess* app =
            session.startApp(QStringLiteral("echo $$ > '%1/cgroup.procs' && exec %2 %3/%4")
                                 .arg(unit, QStringLiteral(NIMBREL_TEST_PYTHON),
                                      QStringLiteral(NIMBREL_TEST_APPS_DIR), script),
                             environment);
        if (!app->waitForStarted())
            return 0;
        const pid_t pid = pid_t(app->processId());
        if (!QTest::qWaitFor([&] { return workspace->runningApplication(pid).has_value(); },
                             20000) ||
            !QTest::qWaitFor([&] { return TestFiles::readFile(log).contains("shown"); }, 20000))
            return 0;
        return pid;
    }

    void installEntry(const QString& id, const QByteArray& extra)
    {
        session.installDesktopEntry(id + QLatin1String(".desktop"),
                                    "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() +
                                        "\nExec=true\n" + extra);
    }

public:
    static void initMain() { CgroupAppSlice::runAsDesktopUser(); }

private slots:
    void initTestCase()
    {
        if (const std::optional<QString> problem = session.start())
            QSKIP(qPrintable(QStringLiteral("mutter cannot start: ") + *problem));
        if (const std::optional<QString> problem = slice.create())
            QSKIP(qPrintable(QStringLiteral("no app units can be made: ") + *problem));
        installEntry(QStringLiteral("dev.corvane.NimbrelTest.Actions"), "DBusActivatable=true\n");
        installEntry(QStringLiteral("dev.corvane.NimbrelTest.OwnsItsName"), {});
        installEntry(QStringLiteral("dev.corvane.NimbrelTest.UnsavedText"),
                     "DBusActivatable=true\n");
        installEntry(QStringLiteral("nimbrel-closer"), {});
        workspace = std::make_unique<GnomeWorkspace>(slice.root());
        QVERIFY(!workspace->problem());
    }

    void cleanupTestCase() { workspace.reset(); }

    // Whether its entry says DBusActivatable or not, a GApplication owning its desktop ID as a
    // bus name (as mousepad does) is asked through its quit action.
    void politeQuitClosesCleanApp_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("D-Bus activatable") << QStringLiteral("dev.corvane.NimbrelTest.Actions");
        QTest::newRow("owns its ID's bus name")
            << QStringLiteral("dev.corvane.NimbrelTest.OwnsItsName");
    }

    void politeQuitClosesCleanApp()
    {
        QFETCH(QString, id);
        const QString log = session.scratchPath(id + QStringLiteral(".log"));
        const pid_t pid =
            startInUnit(id, "actions.py", log, {{QStringLiteral("NIMBREL_APP_ID"), id}});
        QVERIFY(pid > 0);
        QCOMPARE(workspace->runningApplication(pid)->name, id);
        QList<pid_t> ended;
        const auto token =
            workspace->addTerminationObserver([&](pid_t gone) { ended.append(gone); });
        QVERIFY(workspace->requestQuit(pid));
        QTRY_COMPARE_WITH_TIMEOUT(ended, QList<pid_t>{pid}, 20000);
        workspace->removeTerminationObserver(token);
        QVERIFY(TestFiles::readFile(log).contains("quit action"));
        QVERIFY(!workspace->runningApplication(pid));
    }

    void appWithUnsavedTextStaysOpenUntilForceQuit()
    {
        const QString log = session.scratchPath(QStringLiteral("unsaved.log"));
        const pid_t pid = startInUnit(QStringLiteral("dev.corvane.NimbrelTest.UnsavedText"),
                                      "unsaved_application.py", log);
        QVERIFY(pid > 0);
        QVERIFY(workspace->requestQuit(pid));
        QTRY_VERIFY_WITH_TIMEOUT(TestFiles::readFile(log).contains("asked"), 20000);
        QCOMPARE(workspace->stillOpenReason(pid), StillOpenReason::none);
        QVERIFY(!workspace->runningApplication(pid)->hasExited);
        QVERIFY(workspace->forceQuit(pid));
        QTRY_VERIFY_WITH_TIMEOUT(!workspace->runningApplication(pid), 20000);
    }

    void appWithoutPoliteQuitIsNotAsked()
    {
        const QString log = session.scratchPath(QStringLiteral("closer.log"));
        const pid_t pid = startInUnit(QStringLiteral("nimbrel-closer"), "closer.py", log);
        QVERIFY(pid > 0);
        QVERIFY(!workspace->requestQuit(pid));
        QCOMPARE(workspace->stillOpenReason(pid), StillOpenReason::cannotBeAsked);
        QVERIFY(!workspace->runningApplication(pid)->hasExited);
        QVERIFY(workspace->forceQuit(pid));
        QTRY_VERIFY_WITH_TIMEOUT(!workspace->runningApplication(pid), 20000);
    }
};

QTEST_GUILESS_MAIN(TestGnomeApps)
#include "tst_GnomeApps.moc"
