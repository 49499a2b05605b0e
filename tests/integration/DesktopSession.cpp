#include "DesktopSession.h"

#include "TestProcesses.h"
#include "X11Connection.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>
#include <xcb/xcb_ewmh.h>

namespace
{

// Generous: a loaded two-core machine starts an X server in well under this.
constexpr int startTimeout = 20000;

std::optional<QString> missingTool()
{
    for (const char* tool : {"Xvfb", "openbox", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    if (!QFileInfo::exists(QStringLiteral(NIMBREL_TEST_PYTHON)))
        return QStringLiteral("%1 is not installed").arg(QStringLiteral(NIMBREL_TEST_PYTHON));
    return std::nullopt;
}

} // namespace

DesktopSession::DesktopSession(QStringList serverArguments)
    : serverArguments(std::move(serverArguments))
{
}

DesktopSession::~DesktopSession()
{
    for (QProcess* app : std::as_const(apps)) {
        TestProcesses::stop(*app);
        delete app;
    }
    TestProcesses::stop(tray);
    TestProcesses::stop(windowManager);
    TestProcesses::stop(xServer);
}

std::optional<QString> DesktopSession::start()
{
    if (auto missing = missingTool())
        return missing;
    if (auto problem = home.create())
        return problem;
    home.exportXdgHomes(ownEnvironment);
    ownEnvironment.set("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    ownEnvironment.set("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    ownEnvironment.set("GDK_BACKEND", "x11");
    ownEnvironment.set("NO_AT_BRIDGE", "1");
    ownEnvironment.set("WAYLAND_DISPLAY", {});
    QString failure;
    if (!startXServer(failure) || !startBus(failure) || !startWindowManager(failure))
        return failure;
    return std::nullopt;
}

QString DesktopSession::appCommand(const QString& script)
{
    return QStringLiteral(NIMBREL_TEST_PYTHON " " NIMBREL_TEST_APPS_DIR "/") + script;
}

std::unique_ptr<QProcess> DesktopSession::process(const QHash<QString, QString>& environment)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    // ctest runs tests off screen; what they start belongs on the desktop.
    variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (auto variable = environment.cbegin(); variable != environment.cend(); ++variable)
        variables.insert(variable.key(), variable.value());
    auto started = std::make_unique<QProcess>();
    started->setProcessEnvironment(variables);
    return started;
}

QProcess* DesktopSession::startApp(const QString& script,
                                   const QHash<QString, QString>& environment)
{
    QProcess* app = process(environment).release();
    app->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app->start(QStringLiteral(NIMBREL_TEST_PYTHON),
               {QStringLiteral(NIMBREL_TEST_APPS_DIR "/") + script});
    apps.append(app);
    return app;
}

pid_t DesktopSession::activeWindowPid() const
{
    X11Connection connection(displayName.toLocal8Bit());
    if (connection.problem())
        return 0;
    xcb_window_t active = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_active_window_reply(
            connection.ewmh(),
            xcb_ewmh_get_active_window(connection.ewmh(), connection.screenNumber()), &active,
            nullptr) ||
        active == XCB_WINDOW_NONE)
        return 0;
    uint32_t pid = 0;
    xcb_ewmh_get_wm_pid_reply(connection.ewmh(), xcb_ewmh_get_wm_pid(connection.ewmh(), active),
                              &pid, nullptr);
    return pid_t(pid);
}

int DesktopSession::managedWindowCount() const
{
    X11Connection connection(displayName.toLocal8Bit());
    xcb_ewmh_get_windows_reply_t list;
    if (connection.problem() ||
        !xcb_ewmh_get_client_list_reply(
            connection.ewmh(), xcb_ewmh_get_client_list(connection.ewmh(), 0), &list, nullptr))
        return 0;
    const int count = int(list.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&list);
    return count;
}

void DesktopSession::killXServer()
{
    xServer.kill();
    xServer.waitForFinished(startTimeout);
}

void DesktopSession::stopWindowManager()
{
    TestProcesses::stop(windowManager);
}

std::optional<QString> DesktopSession::startTray()
{
    tray.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tray.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--SetDockType"),
                QStringLiteral("true")});
    if (!tray.waitForStarted(startTimeout))
        return QStringLiteral("trayer did not start");
    // A tray is up once it owns the screen's tray selection.
    xcb_connection_t* connection = xcb_connect(displayName.toLocal8Bit().constData(), nullptr);
    const auto trayOwned = [connection] {
        const char name[] = "_NET_SYSTEM_TRAY_S0";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        if (!atom)
            return false;
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        const bool owned = owner && owner->owner != XCB_NONE;
        free(owner);
        free(atom);
        return owned;
    };
    const bool up = QTest::qWaitFor(trayOwned, startTimeout);
    xcb_disconnect(connection);
    if (!up)
        return QStringLiteral("trayer took no tray selection");
    return std::nullopt;
}

bool DesktopSession::startXServer(QString& failure)
{
    // Start away from the usual numbers and from other test runs started at the same moment.
    const int first = 200 + int(getpid() % 500);
    for (int number = first; number < first + 20; ++number) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (QFileInfo::exists(socket) ||
            QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        xServer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QStringList arguments{
            QStringLiteral(":%1").arg(number), QStringLiteral("-screen"),   QStringLiteral("0"),
            QStringLiteral("1280x800x24"),     QStringLiteral("-nolisten"), QStringLiteral("tcp")};
        xServer.start(QStringLiteral("Xvfb"), arguments + serverArguments);
        if (!xServer.waitForStarted(startTimeout))
            break;
        const bool up = QTest::qWaitFor(
            [&] { return QFileInfo::exists(socket) || xServer.state() != QProcess::Running; },
            startTimeout);
        if (up && xServer.state() == QProcess::Running) {
            displayName = QStringLiteral(":%1").arg(number);
            ownEnvironment.set("DISPLAY", displayName.toLocal8Bit());
            return true;
        }
        // Another server took the number between our look and its start: try the next one.
        TestProcesses::stop(xServer);
    }
    failure = QStringLiteral("Xvfb did not start");
    return false;
}

bool DesktopSession::startWindowManager(QString& failure)
{
    windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    X11Connection connection(displayName.toLocal8Bit());
    if (!windowManager.waitForStarted(startTimeout) ||
        !QTest::qWaitFor([&] { return connection.hasWindowManager(); }, startTimeout)) {
        failure = QStringLiteral("openbox did not start");
        return false;
    }
    return true;
}

bool DesktopSession::startBus(QString& failure)
{
    if (const std::optional<QString> problem = bus.start()) {
        failure = *problem;
        return false;
    }
    ownEnvironment.set("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    return true;
}
