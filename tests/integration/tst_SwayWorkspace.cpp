#include "DesktopUser.h"
#include "EnvironmentGuard.h"
#include "SwaySession.h"
#include "TestFiles.h"
#include "WaylandWorkspace.h"
#include "WorkspaceFactory.h"

#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <memory>

namespace
{

const QString python = QStringLiteral(NIMBREL_TEST_PYTHON);
const QString notesScript = QStringLiteral(NIMBREL_TEST_APPS_DIR "/unsaved.py");
const QString closerScript = QStringLiteral(NIMBREL_TEST_APPS_DIR "/closer.py");
const QString footEntry = QStringLiteral("/usr/share/applications/foot.desktop");

// foot running a long sleep, titled `title`, saying only what goes wrong.
QStringList footArguments(const QString& title = QStringLiteral("foot"))
{
    return {QStringLiteral("--log-level=warning"), QStringLiteral("--title=") + title,
            QStringLiteral("sleep"), QStringLiteral("600")};
}

} // namespace

// The Wayland backend against a real headless sway with real clients: foot, GTK and Qt on
// Wayland, and a GTK app on its Xwayland.
class TestSwayWorkspace : public QObject
{
    Q_OBJECT

    SwaySession session;
    WaylandApps& clients = session.apps();
    std::unique_ptr<WaylandWorkspace> workspace;
    QList<pid_t> ended;

    std::optional<RunningApplication> unverified(Workspace& listing)
    {
        for (const RunningApplication& app : listing.runningApplications()) {
            if (app.pid < 0)
                return app;
        }
        return std::nullopt;
    }

    bool swayShowsTitle(const QString& title) const
    {
        const QList<QJsonObject> windows = session.windows();
        return std::any_of(windows.cbegin(), windows.cend(),
                           [&](const QJsonObject& window) { return window["name"] == title; });
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_SWAY(session);
        session.installDesktopEntry(
            QStringLiteral("nimbrel-notes.desktop"),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Unsaved Notes\nExec=%1 %2\n"
                           "StartupWMClass=nimbrel-unsaved-notes\n")
                .arg(python, notesScript));
        workspace =
            std::make_unique<WaylandWorkspace>(session.waylandDisplay(), session.swaySocket());
        QVERIFY(!workspace->problem());
        workspace->addTerminationObserver([this](pid_t pid) { ended.append(pid); });
    }

    void cleanup()
    {
        clients.stopAll();
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplications().isEmpty(),
                                 SwaySession::appearTimeout);
        ended.clear();
    }

    void listsNativeAppsByVerifiedPid_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("desktopId");
        QTest::newRow("foot") << "foot" << footArguments() << "Foot"
                              << "foot";
        QTest::newRow("GTK, named by StartupWMClass")
            << python << QStringList{notesScript} << "Unsaved Notes"
            << "nimbrel-notes";
        QTest::newRow("Qt") << QStringLiteral(PANEL_HOST_PATH) << QStringList{} << "panel_host"
                            << "";
    }

    void listsNativeAppsByVerifiedPid()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const pid_t pid = clients.startListed(*workspace, program, arguments);
        QVERIFY(pid);
        const std::optional<RunningApplication> app = workspace->runningApplication(pid);
        QTEST(app->name.value_or(QString()), "name");
        QTEST(app->desktopId.value_or(QString()), "desktopId");
        QVERIFY(app->onTaskbar);
        QVERIFY(!app->hasExited);
        QCOMPARE(WaylandApps::countOf(workspace->runningApplications(), pid), 1);
    }

    void politeQuit_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("closes");
        QTest::newRow("foot closes") << "foot" << footArguments() << true;
        QTest::newRow("Qt closes") << QStringLiteral(PANEL_HOST_PATH) << QStringList{} << true;
        QTest::newRow("GTK with unsaved text asks") << python << QStringList{notesScript} << false;
    }

    void politeQuit()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, closes);
        const QString log = session.scratchPath(QStringLiteral("notes.log"));
        QFile::remove(log);
        const pid_t pid = clients.startListed(*workspace, program, arguments,
                                              {{QStringLiteral("NIMBREL_TEST_LOG"), log}});
        QVERIFY(pid);
        QVERIFY(workspace->requestQuit(pid));
        if (closes) {
            QTRY_VERIFY_WITH_TIMEOUT(ended.contains(pid), SwaySession::appearTimeout);
            QCOMPARE(workspace->runningApplication(pid), std::nullopt);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(TestFiles::readFile(log).contains("asked"),
                                 SwaySession::appearTimeout);
        // Its question is a dialog of the same app, not an app of its own.
        QTRY_COMPARE_WITH_TIMEOUT(workspace->runningApplications().size(), 1,
                                  SwaySession::appearTimeout);
        QVERIFY(workspace->runningApplication(pid));
        QVERIFY(!ended.contains(pid));
        QTRY_COMPARE_WITH_TIMEOUT(workspace->stillOpenReason(pid), StillOpenReason::askingToSave,
                                  SwaySession::appearTimeout);
    }

    void showBringsTheWindowForward()
    {
        const pid_t first = clients.startListed(*workspace, QStringLiteral("foot"),
                                                footArguments(QStringLiteral("First")));
        const pid_t second = clients.startListed(*workspace, QStringLiteral("foot"),
                                                 footArguments(QStringLiteral("Second")));
        QVERIFY(first && second);
        QTRY_COMPARE_WITH_TIMEOUT(session.focusedPid(), second, SwaySession::appearTimeout);
        QVERIFY(workspace->activate(first));
        QTRY_COMPARE_WITH_TIMEOUT(session.focusedPid(), first, SwaySession::appearTimeout);
    }

    void forceQuitKillsOnlyVerifiedApps()
    {
        const pid_t pid = clients.startListed(*workspace, QStringLiteral("foot"), footArguments());
        QVERIFY(pid);
        QVERIFY(workspace->forceQuit(pid));
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(pid), SwaySession::appearTimeout);
        QVERIFY(!workspace->forceQuit(pid));
    }

    void lookAlikesAreNeverGuessed()
    {
        // Same app id, same title: sway's tree cannot tell which process drew which window.
        QProcess* one =
            clients.start(QStringLiteral("foot"), footArguments(QStringLiteral("Twin")));
        QProcess* two =
            clients.start(QStringLiteral("foot"), footArguments(QStringLiteral("Twin")));
        QVERIFY(one && two);
        QTRY_VERIFY_WITH_TIMEOUT(session.windowPids().contains(pid_t(one->processId())) &&
                                     session.windowPids().contains(pid_t(two->processId())),
                                 SwaySession::appearTimeout);
        // A look at a desktop where both are up already, as nimbrelctl takes.
        WaylandWorkspace fresh(session.waylandDisplay(), session.swaySocket());
        const QList<RunningApplication> apps = fresh.runningApplications();
        QCOMPARE(apps.size(), 1);
        const RunningApplication twins = apps.first();
        QVERIFY(twins.pid < 0);
        QCOMPARE(twins.name, QStringLiteral("Foot"));
        QVERIFY(!fresh.forceQuit(twins.pid));
        QList<pid_t> endedHere;
        fresh.addTerminationObserver([&](pid_t pid) { endedHere.append(pid); });
        // Closing asks both windows; the app ends with its last one.
        QVERIFY(fresh.requestQuit(twins.pid));
        QVERIFY(one->waitForFinished(SwaySession::appearTimeout));
        QVERIFY(two->waitForFinished(SwaySession::appearTimeout));
        QTRY_VERIFY_WITH_TIMEOUT(endedHere.contains(twins.pid), SwaySession::appearTimeout);
    }

    void withoutSwayIpcTheAppIdLeadsToOneProcess()
    {
        WaylandWorkspace withoutIpc(session.waylandDisplay(), QString());
        const QHash<QString, QString> launched{
            {QStringLiteral("GIO_LAUNCHED_DESKTOP_FILE"), footEntry}};
        const pid_t foot =
            clients.startListed(withoutIpc, QStringLiteral("foot"), footArguments(), launched);
        QVERIFY2(foot, "foot was not found through its desktop entry");
        const pid_t notes = clients.startListed(withoutIpc, python, {notesScript});
        QVERIFY2(notes, "the GTK app was not found through its entry's command");
        // A second foot makes the desktop entry fit two processes: neither is guessed.
        QVERIFY(clients.start(QStringLiteral("foot"), footArguments(QStringLiteral("Other")),
                              launched));
        QTRY_VERIFY_WITH_TIMEOUT(unverified(withoutIpc).has_value(), SwaySession::appearTimeout);
        QVERIFY(withoutIpc.runningApplication(foot));
        QCOMPARE(withoutIpc.backendName(), QStringLiteral("Wayland (wlroots foreign toplevels)"));
    }

    void xwaylandAppIsListedOnceAndQuitThroughX11()
    {
        const std::unique_ptr<Workspace> combined = WorkspaceFactory::createWorkspace();
        QVERIFY2(combined->backendName().startsWith(QLatin1String("X11 + Wayland")),
                 qPrintable(combined->backendName()));
        QVERIFY(!combined->listingGap());
        const pid_t x11App =
            clients.startListed(*combined, python, {closerScript}, {{"GDK_BACKEND", "x11"}});
        const pid_t native =
            clients.startListed(*combined, QStringLiteral("foot"), footArguments());
        QVERIFY(x11App && native);
        QCOMPARE(workspace->runningApplication(x11App), std::nullopt);
        const QList<RunningApplication> apps = combined->runningApplications();
        QCOMPARE(WaylandApps::countOf(apps, x11App), 1);
        QCOMPARE(WaylandApps::countOf(apps, native), 1);
        QCOMPARE(apps.size(), 2);

        QList<pid_t> endedHere;
        combined->addTerminationObserver([&](pid_t pid) { endedHere.append(pid); });
        QVERIFY(combined->requestQuit(x11App));
        QVERIFY(combined->requestQuit(native));
        QTRY_VERIFY_WITH_TIMEOUT(endedHere.contains(x11App) && endedHere.contains(native),
                                 SwaySession::appearTimeout);
    }

    void xwaylandAppIsListedOnceWithoutSwayIpc_data()
    {
        QTest::addColumn<QString>("retitled");
        QTest::newRow("as it maps") << QString();
        QTest::newRow("retitled once listed") << "Closer, renamed";
    }

    void xwaylandAppIsListedOnceWithoutSwayIpc()
    {
        QFETCH(QString, retitled);
        // As on labwc or wayfire: only X11's own list tells which toplevels are Xwayland's.
        EnvironmentGuard withoutSwayIpc;
        withoutSwayIpc.set("SWAYSOCK", "");
        const std::unique_ptr<Workspace> combined = WorkspaceFactory::createWorkspace();
        QVERIFY2(!combined->backendName().contains(QLatin1String("sway IPC")),
                 qPrintable(combined->backendName()));
        const pid_t x11App =
            clients.startListed(*combined, python, {closerScript}, {{"GDK_BACKEND", "x11"}});
        QVERIFY(x11App);
        QTRY_VERIFY_WITH_TIMEOUT(session.windowPids().contains(x11App), SwaySession::appearTimeout);
        const pid_t foot =
            clients.startListed(*combined, QStringLiteral("foot"), footArguments(),
                                {{QStringLiteral("GIO_LAUNCHED_DESKTOP_FILE"), footEntry}});
        QVERIFY(foot);
        if (!retitled.isEmpty()) {
            QProcess search;
            search.start(
                QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^Closer$")});
            QVERIFY(search.waitForFinished());
            const QString window = QString::fromLatin1(search.readAllStandardOutput().trimmed());
            QCOMPARE(QProcess::execute(QStringLiteral("xprop"),
                                       {QStringLiteral("-id"), window, QStringLiteral("-f"),
                                        QStringLiteral("_NET_WM_NAME"), QStringLiteral("8u"),
                                        QStringLiteral("-set"), QStringLiteral("_NET_WM_NAME"),
                                        retitled}),
                     0);
            QTRY_VERIFY_WITH_TIMEOUT(swayShowsTitle(retitled), SwaySession::appearTimeout);
        }
        // Its window reaches the Wayland side after all news of the X11 one, which keeps the
        // same state: the focus goes from one native app to another.
        const pid_t notes = clients.startListed(*combined, python, {notesScript});
        QVERIFY(notes);
        const QList<RunningApplication> apps = combined->runningApplications();
        QCOMPARE(WaylandApps::countOf(apps, x11App), 1);
        QCOMPARE(WaylandApps::countOf(apps, foot), 1);
        QCOMPARE(WaylandApps::countOf(apps, notes), 1);
        QCOMPARE(apps.size(), 3);
    }

    void nimbrelctlNamesItsBackends()
    {
        QProcess nimbrelctl;
        nimbrelctl.start(QStringLiteral(NIMBRELCTL_PATH),
                         {QStringLiteral("list"), QStringLiteral("--verbose")});
        QVERIFY(nimbrelctl.waitForFinished(SwaySession::appearTimeout));
        QCOMPARE(nimbrelctl.exitCode(), 0);
        QVERIFY(nimbrelctl.readAllStandardError().contains(
            "desktop backends: X11 + Wayland (wlroots foreign toplevels, sway IPC)"));
    }
};

QTEST_GUILESS_MAIN(TestSwayWorkspace)
#include "tst_SwayWorkspace.moc"
