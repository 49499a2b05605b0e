#include "DesktopSession.h"

#include "TestProcesses.h"
#include "X11Connection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb_ewmh.h>

namespace
{

// Generous: a loaded two-core machine starts an X server in well under this.
constexpr int startTimeout = 20000;

// Xorg's dummy driver: a screen large enough for both monitors, the outputs set up by RandR.
const char dummyConfiguration[] = R"(Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 64000
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 768
    EndSubSection
EndSection
)";

// Whether the window manager frames a new window. openbox claims the screen a moment before it
// takes windows in: one mapped meanwhile stays unmanaged for good, as a tray's bar would. The
// probe is mapped again every half second until framed.
bool framesNewWindows(const QByteArray& display, int timeout)
{
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t probe = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 8, 8, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    QElapsedTimer sinceMapped;
    const auto framed = [&] {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, probe), nullptr);
        const bool reparented = tree && tree->parent != screen->root;
        free(tree);
        if (!reparented && (!sinceMapped.isValid() || sinceMapped.hasExpired(500))) {
            xcb_unmap_window(connection, probe);
            xcb_map_window(connection, probe);
            xcb_flush(connection);
            sinceMapped.start();
        }
        return reparented;
    };
    const bool managed = QTest::qWaitFor(framed, timeout);
    xcb_destroy_window(connection, probe);
    xcb_disconnect(connection);
    return managed;
}

// The window manager $NIMBREL_WINDOW_MANAGER names, as the desktop that has it starts it:
// openbox unless told.
QStringList windowManagerCommand()
{
    const QString name = qEnvironmentVariable("NIMBREL_WINDOW_MANAGER", QStringLiteral("openbox"));
    if (name == QLatin1String("xfwm4"))
        return {name, QStringLiteral("--compositor=off"), QStringLiteral("--sm-client-disable")};
    if (name == QLatin1String("mutter"))
        return {name, QStringLiteral("--x11"), QStringLiteral("--replace"),
                QStringLiteral("--sm-disable")};
    if (name == QLatin1String("kwin_x11"))
        return {name, QStringLiteral("--replace")};
    return {name, QStringLiteral("--sm-disable")};
}

std::optional<QString> missingTool(bool twoMonitors)
{
    if (twoMonitors &&
        (QStandardPaths::findExecutable(QStringLiteral("Xorg")).isEmpty() ||
         !QFileInfo::exists(QStringLiteral("/usr/lib/xorg/modules/drivers/dummy_drv.so"))))
        return QStringLiteral("Xorg's dummy driver is not installed");
    for (const QString& tool : {QString::fromLatin1(twoMonitors ? "xrandr" : "Xvfb"),
                                windowManagerCommand().first(), QStringLiteral("dbus-daemon")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return QStringLiteral("%1 is not installed").arg(tool);
    }
    if (!QFileInfo::exists(QStringLiteral(NIMBREL_TEST_PYTHON)))
        return QStringLiteral("%1 is not installed").arg(QStringLiteral(NIMBREL_TEST_PYTHON));
    return std::nullopt;
}

} // namespace

DesktopSession::DesktopSession(QStringList serverArguments_)
    : serverArguments(std::move(serverArguments_))
{
}

DesktopSession::DesktopSession(TwoMonitors) : twoMonitors(true) {}

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
    if (auto missing = missingTool(twoMonitors))
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
    if (!startXServer(failure) || (twoMonitors && !startTwoMonitors(failure)) ||
        !startBus(failure) || !startWindowManager(failure))
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

std::optional<QString> DesktopSession::startTray(const QStringList& trayerArguments)
{
    tray.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tray.start(QStringLiteral("trayer"),
               QStringList{QStringLiteral("--edge"), QStringLiteral("top"),
                           QStringLiteral("--align"), QStringLiteral("right"),
                           QStringLiteral("--widthtype"), QStringLiteral("request"),
                           QStringLiteral("--height"), QStringLiteral("24"),
                           QStringLiteral("--SetDockType"), QStringLiteral("true")} +
                   trayerArguments);
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
    // The server picks a free display itself and writes its number to the pipe: a number chosen
    // here could be taken by another server (another test's, an Xwayland) meanwhile.
    int numberPipe[2];
    if (pipe2(numberPipe, O_CLOEXEC) != 0) {
        failure = QStringLiteral("no pipe for Xvfb's display number");
        return false;
    }
    const int writeEnd = numberPipe[1];
    // Only Xvfb keeps the pipe open across exec; other children never see it.
    xServer.setChildProcessModifier([writeEnd] { fcntl(writeEnd, F_SETFD, 0); });
    xServer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (twoMonitors) {
        const QString configuration = home.scratchPath(QStringLiteral("xorg.conf"));
        QFile file(configuration);
        if (!file.open(QIODevice::WriteOnly) || file.write(dummyConfiguration) < 0) {
            failure = QStringLiteral("cannot write %1").arg(configuration);
            return false;
        }
        file.close();
        xServer.start(QStringLiteral("Xorg"),
                      {QStringLiteral("-displayfd"), QString::number(writeEnd),
                       QStringLiteral("-config"), configuration, QStringLiteral("-logfile"),
                       home.scratchPath(QStringLiteral("Xorg.log")), QStringLiteral("-noreset"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    } else {
        xServer.start(QStringLiteral("Xvfb"),
                      QStringList{QStringLiteral("-displayfd"), QString::number(writeEnd),
                                  QStringLiteral("-screen"), QStringLiteral("0"),
                                  QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                  QStringLiteral("tcp")} +
                          serverArguments);
    }
    close(writeEnd);
    const bool started = xServer.waitForStarted(startTimeout);
    QByteArray number;
    pollfd readable{numberPipe[0], POLLIN, 0};
    char buffer[16];
    while (started && !number.endsWith('\n') && poll(&readable, 1, startTimeout) > 0) {
        const ssize_t got = read(numberPipe[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, int(got));
    }
    close(numberPipe[0]);
    bool isNumber = false;
    number.trimmed().toInt(&isNumber);
    if (!isNumber || xServer.state() != QProcess::Running) {
        failure = QStringLiteral("%1 did not start").arg(xServer.program());
        return false;
    }
    displayName = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    ownEnvironment.set("DISPLAY", displayName.toLocal8Bit());
    return true;
}

bool DesktopSession::startTwoMonitors(QString& failure)
{
    const QString size =
        QStringLiteral("%1x%2").arg(rightMonitor.width()).arg(rightMonitor.height());
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--addmode"), QStringLiteral("DUMMY1"), size},
          QStringList{QStringLiteral("--output"), QStringLiteral("DUMMY0"),
                      QStringLiteral("--mode"), size},
          QStringList{QStringLiteral("--output"), QStringLiteral("DUMMY1"),
                      QStringLiteral("--mode"), size, QStringLiteral("--right-of"),
                      QStringLiteral("DUMMY0")}}) {
        QProcess xrandr;
        xrandr.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xrandr.start(QStringLiteral("xrandr"), arguments);
        if (!xrandr.waitForFinished(startTimeout) || xrandr.exitCode() != 0) {
            failure = QStringLiteral("xrandr %1 failed").arg(arguments.join(QLatin1Char(' ')));
            return false;
        }
    }
    return true;
}

bool DesktopSession::startWindowManager(QString& failure)
{
    windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList command = windowManagerCommand();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // KWin composites through OpenGL unless told; in software that would load both cores.
    environment.insert(QStringLiteral("KWIN_COMPOSE"), QStringLiteral("N"));
    windowManager.setProcessEnvironment(environment);
    windowManager.start(command.first(), command.mid(1));
    X11Connection connection(displayName.toLocal8Bit());
    if (!windowManager.waitForStarted(startTimeout) ||
        !QTest::qWaitFor([&] { return connection.hasWindowManager(); }, startTimeout) ||
        !framesNewWindows(displayName.toLocal8Bit(), startTimeout)) {
        failure = QStringLiteral("%1 did not start").arg(command.first());
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
