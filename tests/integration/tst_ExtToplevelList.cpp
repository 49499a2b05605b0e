#include "EnvironmentGuard.h"
#include "SessionBus.h"
#include "SessionHome.h"
#include "TestProcesses.h"
#include "WaylandApps.h"
#include "WaylandWorkspace.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace
{

const QString idleClient = QStringLiteral(WAYLAND_IDLE_CLIENT_PATH);
const QString busApp = QStringLiteral(NIMBREL_TEST_APPS_DIR "/bus_app.py");
const QString busAppId = QStringLiteral("dev.corvane.NimbrelTest.BusApp");
// Generous: nothing here draws, but the machine may be loaded.
constexpr int answerTimeout = 20000;

} // namespace

// The Wayland backend against a compositor that lists its windows only through the ext
// toplevel list: a test compositor whose windows the test makes up, drawn by no one, and real
// client processes the app ids lead to.
class TestExtToplevelList : public QObject
{
    Q_OBJECT

    SessionHome home;
    EnvironmentGuard environment;
    SessionBus bus;
    QProcess compositor;
    QByteArray heard; // what the compositor said so far
    WaylandApps clients{answerTimeout};
    std::unique_ptr<WaylandWorkspace> workspace;
    QList<pid_t> ended;
    QStringList openWindows;

    bool hears(const QByteArray& line)
    {
        return QTest::qWaitFor(
            [&] {
                heard += compositor.readAllStandardOutput();
                return heard.contains(line + '\n');
            },
            answerTimeout);
    }

    // Starts a client and returns its pid once the compositor has it.
    pid_t connected(const QString& program, const QStringList& arguments = {})
    {
        QProcess* client = clients.start(program, arguments);
        const pid_t pid = client ? pid_t(client->processId()) : 0;
        return pid && hears("client " + QByteArray::number(pid)) ? pid : 0;
    }

    void addWindow(const QString& id, const QString& appId)
    {
        compositor.write(QStringLiteral("add %1 %2 Window %1\n").arg(id, appId).toUtf8());
        openWindows.append(id);
    }

    void tell(const QString& line) { compositor.write(line.toUtf8() + '\n'); }

    void closeWindow(const QString& id)
    {
        tell(QStringLiteral("close ") + id);
        openWindows.removeOne(id);
    }

    // The first app listed that `fits`, once there is one.
    std::optional<RunningApplication> listed(std::function<bool(const RunningApplication&)> fits)
    {
        std::optional<RunningApplication> found;
        const auto look = [&] {
            const QList<RunningApplication> apps = workspace->runningApplications();
            const auto app = std::find_if(apps.cbegin(), apps.cend(), fits);
            found = app == apps.cend() ? std::nullopt : std::optional(*app);
            return found.has_value();
        };
        return QTest::qWaitFor(look, answerTimeout) ? found : std::nullopt;
    }

    std::optional<RunningApplication> unverified()
    {
        return listed([](const RunningApplication& app) { return app.pid < 0; });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!home.create());
        home.exportXdgHomes(environment);
        environment.set("XDG_RUNTIME_DIR",
                        QFile::encodeName(home.makePrivateFolder(QStringLiteral("run"))));
        QVERIFY(!bus.start());
        environment.set("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        home.installDesktopEntry(QStringLiteral("nimbrel-idle.desktop"),
                                 "[Desktop Entry]\nType=Application\nName=Idle Client\nExec=" +
                                     QFile::encodeName(idleClient) + '\n');
        home.installDesktopEntry(busAppId + QStringLiteral(".desktop"),
                                 "[Desktop Entry]\nType=Application\nName=Bus App\n"
                                 "DBusActivatable=true\nExec=" NIMBREL_TEST_PYTHON " " +
                                     QFile::encodeName(busApp) + '\n');
        compositor.start(QStringLiteral(EXT_TOPLEVEL_SERVER_PATH), {});
        QVERIFY(QTest::qWaitFor([&] { return compositor.canReadLine(); }, answerTimeout));
        const QByteArray socket = compositor.readLine().trimmed();
        QVERIFY2(socket.startsWith("socket "), socket.constData());
        environment.set("WAYLAND_DISPLAY", socket.mid(7));

        workspace = std::make_unique<WaylandWorkspace>(QByteArray(), QString());
        QVERIFY2(!workspace->problem(), qPrintable(workspace->problem().value_or(QString())));
        QCOMPARE(workspace->backendName(), QStringLiteral("Wayland (ext foreign toplevel list)"));
        workspace->addTerminationObserver([this](pid_t pid) { ended.append(pid); });
    }

    void cleanupTestCase()
    {
        workspace.reset();
        clients.stopAll();
        TestProcesses::stop(compositor);
    }

    void cleanup()
    {
        while (!openWindows.isEmpty())
            closeWindow(openWindows.first());
        clients.stopAll();
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplications().isEmpty(), answerTimeout);
        ended.clear();
    }

    void appIdLeadsToTheOneClient_data()
    {
        QTest::addColumn<int>("clientCount");
        QTest::newRow("one client fits: its pid") << 1;
        QTest::newRow("two clients fit: no pid guessed") << 2;
    }

    void appIdLeadsToTheOneClient()
    {
        QFETCH(int, clientCount);
        const pid_t first = connected(idleClient);
        QVERIFY(first);
        if (clientCount == 2)
            QVERIFY(connected(idleClient));
        addWindow(QStringLiteral("main"), QStringLiteral("nimbrel-idle"));
        const std::optional<RunningApplication> app =
            listed([](const RunningApplication&) { return true; });
        QVERIFY(app);
        QCOMPARE(workspace->runningApplications().size(), 1);
        QCOMPARE(app->pid > 0, clientCount == 1);
        if (clientCount == 1)
            QCOMPARE(app->pid, first);
        QCOMPARE(app->name, QStringLiteral("Idle Client"));
        QCOMPARE(app->desktopId, QStringLiteral("nimbrel-idle"));
        QVERIFY(app->onTaskbar);

        // Nothing can ask it to quit: no close request, no bus name.
        QVERIFY(!workspace->requestQuit(app->pid));
        QCOMPARE(workspace->stillOpenReason(app->pid), StillOpenReason::cannotBeAsked);
        QVERIFY(!workspace->activate(app->pid));
    }

    void followsTheWindowUntilItCloses()
    {
        const pid_t pid = connected(idleClient);
        QVERIFY(pid);
        // Apps often name themselves a moment after their window shows.
        addWindow(QStringLiteral("late"), QStringLiteral("org.example.Unnamed"));
        const std::optional<RunningApplication> unnamed = unverified();
        QVERIFY(unnamed);
        QCOMPARE(unnamed->name, QStringLiteral("org.example.Unnamed"));
        tell(QStringLiteral("app_id late nimbrel-idle"));
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(pid), answerTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(unnamed->pid), answerTimeout);
        tell(QStringLiteral("title late Renamed"));
        // Its process outlives its window: still running, no longer an app with a window.
        closeWindow(QStringLiteral("late"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !workspace->runningApplication(pid).value_or(RunningApplication{}).onTaskbar,
            answerTimeout);

        addWindow(QStringLiteral("lone"), QStringLiteral("org.example.Unnamed"));
        const std::optional<RunningApplication> lone = unverified();
        QVERIFY(lone);
        closeWindow(QStringLiteral("lone"));
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(lone->pid), answerTimeout);
        QCOMPARE(workspace->runningApplication(lone->pid), std::nullopt);
    }

    void dbusActivatableAppIsAskedOnItsBusName()
    {
        QProcess* app = clients.start(QStringLiteral(NIMBREL_TEST_PYTHON), {busApp, busAppId});
        QVERIFY(app);
        const pid_t pid = pid_t(app->processId());
        QVERIFY(hears("client " + QByteArray::number(pid)));
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(busAppId),
            answerTimeout);
        addWindow(QStringLiteral("bus"), busAppId);
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(pid), answerTimeout);

        QByteArray said;
        const auto says = [&](const QByteArray& word) {
            said += app->readAllStandardOutput();
            return said.contains(word + '\n');
        };
        QVERIFY(workspace->activate(pid));
        QTRY_VERIFY_WITH_TIMEOUT(says("activated"), answerTimeout);
        QVERIFY(workspace->requestQuit(pid));
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(pid), answerTimeout);
        QVERIFY(says("quit"));
    }
};

QTEST_GUILESS_MAIN(TestExtToplevelList)
#include "tst_ExtToplevelList.moc"
