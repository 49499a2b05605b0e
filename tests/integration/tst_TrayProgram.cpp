#include "DesktopSession.h"
#include "DesktopUser.h"
#include "FakeStatusNotifierWatcher.h"
#include "HeldStill.h"
#include "ProgramAccessibility.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestDesktopApps.h"
#include "ToolOutput.h"
#include "UnsavedEditor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <memory>
#include <optional>
#include <signal.h>
#include <xcb/xcb.h>

namespace
{

// A launch of the program, its tray icon and its windows show up within this (ms) on a loaded
// two-core machine.
constexpr int showTimeout = 30000;

// The panel is 380 × 470 units, a unit following the desktop's font (Units).
const QSize popoverUnits{380, 470};
const QRect screenArea{0, 0, 1280, 800};

void xdotool(const QStringList& arguments)
{
    toolOutput(QStringLiteral("xdotool"), arguments);
}

void clickAt(QPoint point, int button)
{
    // The move completes first, so the click lands in the window now under the pointer.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()),
             QString::number(point.y()), QStringLiteral("click"), QString::number(button)});
}

// Root-relative geometry of a window, as the X server sees it.
QRect geometry(const QString& window)
{
    const QString shell =
        toolOutput(QStringLiteral("xdotool"),
                   {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    QHash<QString, int> values;
    for (const QString& line : shell.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList pair = line.split(QLatin1Char('='));
        if (pair.size() == 2)
            values.insert(pair[0], pair[1].toInt());
    }
    return {values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT")};
}

QStringList visibleWindows(const QStringList& query)
{
    return toolOutput(QStringLiteral("xdotool"),
                      QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} +
                          query)
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString windowProperty(const QString& window, const QString& name)
{
    return toolOutput(QStringLiteral("xprop"), {QStringLiteral("-id"), window, name});
}

// Whether the window manager leaves `window` alone, as it does menus.
bool overrideRedirect(const QString& window)
{
    return toolOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
        .contains(QStringLiteral("Override Redirect State: yes"));
}

// Mapped top-level windows of the program larger than its tray icon.
QStringList programWindows()
{
    QStringList windows = visibleWindows({QStringLiteral("--classname"), "^nimbrel$"});
    windows.removeIf([](const QString& window) { return geometry(window).width() <= 100; });
    return windows;
}

// The mapped panel: a managed window titled "Nimbrel"; empty when none.
QString popover()
{
    for (const QString& window : programWindows()) {
        if (!overrideRedirect(window) &&
            windowProperty(window, QStringLiteral("WM_NAME")).contains("\"Nimbrel\""))
            return window;
    }
    return {};
}

// The window with the focus, as the window manager names it.
QString activeWindow()
{
    return toolOutput(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed();
}

// A mapped popup menu of the program; empty when none.
QString popupMenu()
{
    for (const QString& window : programWindows()) {
        if (overrideRedirect(window))
            return window;
    }
    return {};
}

// The window right under `point`, as the X server finds it (the root window on the bare desktop).
QString windowAt(QPoint point)
{
    xdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y())});
    const QString shell = toolOutput(
        QStringLiteral("xdotool"), {QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    static const QRegularExpression window(QStringLiteral("WINDOW=(\\d+)"));
    return window.match(shell).captured(1);
}

// The root window's id, in decimal as xdotool prints ids.
QString rootWindow()
{
    static const QRegularExpression id(QStringLiteral("Window id: (0x[0-9a-f]+)"));
    const QString hex =
        id.match(toolOutput(QStringLiteral("xwininfo"), {QStringLiteral("-root")})).captured(1);
    return QString::number(hex.toULongLong(nullptr, 16));
}

// Holds the pointer for itself while it lives, as a desktop shell may at the moment its tray
// asks the program to open the panel; false when the grab failed.
class PointerHolder
{
public:
    PointerHolder() : connection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(connection))
            return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(
            connection,
            xcb_grab_pointer(connection, 0, root, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
            nullptr);
        held = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        free(reply);
    }
    ~PointerHolder() { xcb_disconnect(connection); }
    bool holds() const { return held; }

private:
    xcb_connection_t* connection;
    bool held = false;
};

// The icon window of program `owner` inside trayer's panel; empty until it is embedded. By pid,
// since the icon of a launch just killed may linger until the X server notices.
QString trayIcon(qint64 owner)
{
    for (const QString& panel : visibleWindows({QStringLiteral("--class"), "^trayer$"})) {
        // Every descendant of the panel, one a line: id "name": ("instance" "class") ...
        const QString tree =
            toolOutput(QStringLiteral("xwininfo"), {QStringLiteral("-tree"), "-id", panel});
        static const QRegularExpression nimbrel(
            QStringLiteral(R"(^\s*(0x[0-9a-f]+) .*\("nimbrel" )"),
            QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch& match : nimbrel.globalMatch(tree)) {
            if (windowProperty(match.captured(1), QStringLiteral("_NET_WM_PID"))
                    .trimmed()
                    .endsWith(QStringLiteral(" = %1").arg(owner)))
                return match.captured(1);
        }
    }
    return {};
}

// Where the icon is once trayer has embedded, sized and shown it; an empty rectangle until then.
// trayer maps an icon a while after taking it in: a click before that reaches the bar instead.
QRect trayIconArea(qint64 owner)
{
    const QString icon = trayIcon(owner);
    if (icon.isEmpty() || !toolOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), icon})
                               .contains(QStringLiteral("Map State: IsViewable")))
        return {};
    const QRect area = geometry(icon);
    return area.width() > 1 && area.height() > 1 ? area : QRect();
}

// A desktop of its own, with no tray of either kind yet; restored to the shared one after.
struct BareDesktop {
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    DesktopSession session;
    ~BareDesktop() { qputenv("XDG_RUNTIME_DIR", runtime); }
};

} // namespace

// The tray program as a user meets it: a real child process on a throwaway desktop with a tray,
// driven by pointer and key events only, watched through the X server.
class TestTrayProgram : public QObject
{
    Q_OBJECT

    DesktopSession session;
    std::unique_ptr<QProcess> program;

    // The environment points at the newest desktop session, so a launch lands there.
    static std::unique_ptr<QProcess> launch(const QStringList& arguments = {},
                                            const QHash<QString, QString>& environment = {})
    {
        std::unique_ptr<QProcess> process = DesktopSession::process(environment);
        process->start(QStringLiteral(NIMBREL_PATH), arguments);
        if (!process->waitForStarted(showTimeout))
            qWarning("nimbrel did not start");
        return process;
    }

    // A private runtime folder for the single-instance socket and the tutorial marked as seen.
    static void prepareHome(const DesktopSession& desktop)
    {
        const QString runtime = desktop.scratchPath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        SettingsStore::standard().set(SettingsKeys::tutorialSeen, true);
    }

    // Launches the program; returns where its icon is once it holds still on screen: trayer
    // grows its bar to take an icon in and then moves it, icons and all, to the screen's edge.
    // An empty rectangle when it never does.
    QRect launchAndWaitForIcon(const QStringList& arguments = {},
                               const QHash<QString, QString>& environment = {})
    {
        program = launch(arguments, environment);
        const auto onScreen = [this]() -> std::optional<QRect> {
            const QRect area = trayIconArea(program->processId());
            return screenArea.contains(area) ? std::optional(area) : std::nullopt;
        };
        return heldStill(onScreen, showTimeout).value_or(QRect());
    }

    // Publishes a StatusNotifierWatcher on `bus` and starts the program, which registers its item
    // there; returns once the program has finished starting.
    void launchWithStatusNotifierHost(QDBusConnection& bus, FakeStatusNotifierWatcher& watcher)
    {
        QVERIFY(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllContents));
        // Qt looks for the host once, as the program starts.
        QVERIFY(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        program = launch();
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);
        // Answered by the program's event loop, so its start-up has run to the end by then.
        QDBusPendingCall title = callItem(
            bus, watcher, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
            {QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Title")});
        QTRY_VERIFY_WITH_TIMEOUT(title.isFinished(), showTimeout);
        QVERIFY2(!title.isError(), qPrintable(title.error().message()));
    }

    static QDBusPendingCall callItem(QDBusConnection& bus, const FakeStatusNotifierWatcher& watcher,
                                     const QString& interface, const QString& method,
                                     const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            watcher.items.first(), QStringLiteral("/StatusNotifierItem"), interface, method);
        message.setArguments(arguments);
        return bus.asyncCall(message);
    }

    // The host's left click on the item.
    static void activateItem(QDBusConnection& bus, const FakeStatusNotifierWatcher& watcher)
    {
        callItem(bus, watcher, QStringLiteral("org.kde.StatusNotifierItem"),
                 QStringLiteral("Activate"), {640, 400});
    }

    void openWithClick(QPoint icon)
    {
        clickAt(icon, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
    }

    // Launches the program; true once it said it found no tray, with what it logged in `log`.
    bool launchWithoutTray(QByteArray& log)
    {
        program = launch();
        return QTest::qWaitFor(
            [&] { return (log += program->readAllStandardError()).contains("no system tray"); },
            showTimeout);
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        NIMBREL_START_SESSION(session.startTray(), "");
        prepareHome(session);
        TestDesktopApps::install(session);
        for (const char* script : {"closer.py", "grabber.py", "unsaved.py"})
            QVERIFY(session.startApp(QLatin1String(script))->waitForStarted());
    }

    void cleanup()
    {
        if (!program)
            return;
        program->kill();
        program->waitForFinished();
        program.reset();
    }

    void leftClickTogglesPopoverBelowIcon()
    {
        const QRect icon = launchAndWaitForIcon();
        QVERIFY(icon.isValid());
        openWithClick(icon.center());
        const QString window = popover();
        const QRect panel = geometry(window);
        // Its shape, to the pixel each way that rounding takes, at the size the font gives.
        QVERIFY2(panel.width() >= popoverUnits.width() * 3 / 4 &&
                     qAbs(panel.height() * popoverUnits.width() -
                          panel.width() * popoverUnits.height()) <= 2 * popoverUnits.height(),
                 qPrintable(QStringLiteral("%1×%2").arg(panel.width()).arg(panel.height())));
        QVERIFY2(qAbs(panel.top() - (icon.bottom() + 1)) <= 8,
                 qPrintable(QStringLiteral("panel top %1, icon bottom %2")
                                .arg(panel.top())
                                .arg(icon.bottom())));
        QVERIFY(panel.left() <= icon.center().x() && icon.center().x() <= panel.right());
        QVERIFY(screenArea.contains(panel));
        // No frame around it: KWin names none at all for a window it does not decorate.
        const QString frame = windowProperty(window, QStringLiteral("_NET_FRAME_EXTENTS"));
        QVERIFY2(frame.contains("0, 0, 0, 0") || frame.contains("not found"), qPrintable(frame));
        // No taskbar (tint2, lxpanel, …) or pager lists it, and it is transient for nothing: a
        // transient for a window the window manager does not manage is one mutter rejects.
        const QString states = windowProperty(window, QStringLiteral("_NET_WM_STATE"));
        QVERIFY2(states.contains("_NET_WM_STATE_SKIP_TASKBAR") &&
                     states.contains("_NET_WM_STATE_SKIP_PAGER"),
                 qPrintable(states));
        QVERIFY(windowProperty(window, QStringLiteral("_NET_WM_WINDOW_TYPE"))
                    .contains("_NET_WM_WINDOW_TYPE_UTILITY"));
        QVERIFY(windowProperty(window, QStringLiteral("WM_TRANSIENT_FOR")).contains("not found"));

        // A click on the moon while the panel is open closes it.
        clickAt(icon.center(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);
    }

    void dismisses_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Escape") << true;
        QTest::newRow("click elsewhere") << false;
    }

    void dismisses()
    {
        QFETCH(bool, byEscape);
        openWithClick(launchAndWaitForIcon().center());
        if (byEscape)
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        else
            clickAt({200, 600}, 1);
        QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);
        QCOMPARE(program->state(), QProcess::Running);
    }

    void clickOnDesktopClosesPanelOpenedWhilePointerHeld()
    {
        // A desktop of its own without a window manager, which would move the focus on a click
        // on the desktop: there, as under GNOME on X11, such a click moves no focus at all.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const auto restoreRuntime = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", runtime); });
        DesktopSession unmanaged;
        NIMBREL_START_DESKTOP(unmanaged);
        unmanaged.stopWindowManager();
        prepareHome(unmanaged);
        const QPoint desktop(4, screenArea.bottom() - 4);
        // xdotool may find no window while the new server is still settling.
        QTRY_COMPARE_WITH_TIMEOUT(windowAt(desktop), rootWindow(), showTimeout);
        QByteArray log;
        QVERIFY(launchWithoutTray(log));
        {
            // Launched again while the pointer is held, it opens its panel with no tray to
            // click: the panel must still see the click that comes after the release.
            const PointerHolder shell;
            QVERIFY(shell.holds());
            const std::unique_ptr<QProcess> second = launch();
            QVERIFY(second->waitForFinished(showTimeout));
            QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
        }
        clickAt(desktop, 1);
        QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);
        cleanup();
    }

    void rightClickOffersStatusMenu()
    {
        ProgramAccessibility accessibility;
        clickAt(launchAndWaitForIcon({}, accessibility.prepareOnOwnBus()).center(), 3);
        QString menu;
        QTRY_VERIFY_WITH_TIMEOUT(!(menu = popupMenu()).isEmpty(), showTimeout);
        QVERIFY(popover().isEmpty());
        // A screen reader finds the open menu and its items.
        const QStringList items{"Open Nimbrel",  "Settings…",     "Check for Updates…",
                                "Show Tutorial", "About Nimbrel", "Quit Nimbrel"};
        QTRY_COMPARE_WITH_TIMEOUT(accessibility.shownNames(QStringLiteral("menu item")), items,
                                  showTimeout);
        // "Open Nimbrel" is the first row.
        clickAt(geometry(menu).topLeft() + QPoint(30, 12), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(popupMenu().isEmpty(), showTimeout);
    }

    // Rounded corners need a transparent window background, which only a compositing manager
    // draws as such; without one the corners would come out black.
    void panelIsTranslucentOnlyUnderCompositor()
    {
        const auto depth = [] {
            return toolOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), popover()})
                           .contains(QStringLiteral("Depth: 32"))
                       ? 32
                       : 24;
        };
        const QPoint icon = launchAndWaitForIcon().center();
        openWithClick(icon);
        QCOMPARE(depth(), 24);
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);

        QProcess* compositor = session.startApp(QStringLiteral("compositor_stand_in.py"));
        const auto endCompositor = qScopeGuard([compositor] {
            compositor->kill();
            compositor->waitForFinished();
        });
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += compositor->readAllStandardOutput()).contains("holding"),
                                 showTimeout);
        openWithClick(icon);
        QCOMPARE(depth(), 32);
    }

    void gearOpensSettings()
    {
        openWithClick(launchAndWaitForIcon().center());
        // The gear sits at the panel's top right, inside its 16-point inset.
        clickAt(geometry(popover()).topRight() + QPoint(-30, 29), 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            !visibleWindows({QStringLiteral("--name"), "^Nimbrel Settings$"}).isEmpty(),
            showTimeout);
    }

    void secondLaunchReopensFirst()
    {
        QVERIFY(launchAndWaitForIcon().isValid());
        const std::unique_ptr<QProcess> second = launch();
        QVERIFY(second->waitForFinished(showTimeout));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
    }

    void startsAfterCrash()
    {
        QVERIFY(launchAndWaitForIcon().isValid());
        ::kill(pid_t(program->processId()), SIGKILL);
        QVERIFY(program->waitForFinished());
        QVERIFY(launchAndWaitForIcon().isValid());
        QCOMPARE(program->state(), QProcess::Running);
    }

    void checkFlagNeedsValue()
    {
        // The flag last, with nothing after it, is no request: the usual launch.
        QVERIFY(launchAndWaitForIcon({QStringLiteral("--check-menus")}).isValid());
        QCOMPARE(program->state(), QProcess::Running);
    }

    // Last of the cases on this desktop: the quit closes its apps, and leaves a save question.
    void resultSurvivesFocusLoss()
    {
        // What the panel shows is read as a screen reader reads it.
        ProgramAccessibility accessibility;
        const QHash<QString, QString> environment = accessibility.prepareOnOwnBus();
        const UnsavedEditor editor(session);
        QTRY_VERIFY_WITH_TIMEOUT(editor.shown(), showTimeout);

        const QPoint icon = launchAndWaitForIcon({}, environment).center();
        openWithClick(icon);
        QTRY_VERIFY_WITH_TIMEOUT(accessibility.focus(QStringLiteral("Quit")), showTimeout);
        xdotool({QStringLiteral("key"), QStringLiteral("space")});

        // The save question takes the focus from the panel while the quit waits for the app.
        QTRY_VERIFY_WITH_TIMEOUT(editor.asked(), showTimeout);
        QVERIFY(editor.focusQuestionUntil([] { return popover().isEmpty(); }, showTimeout));

        // Opened again, the panel shows the quit, then its result: the app still open with its
        // Force Quit, and Reopen for the apps that closed.
        openWithClick(icon);
        QTRY_VERIFY_WITH_TIMEOUT(accessibility.focus(QStringLiteral("Force Quit")), showTimeout);
        QVERIFY(accessibility.focus(QStringLiteral("Reopen")));

        // Reopened, an app that takes the focus as its window appears leaves the panel open,
        // with the focus back on it.
        const QStringList grabber{QStringLiteral("--name"), QStringLiteral("^Grabber$")};
        QVERIFY(visibleWindows(grabber).isEmpty());
        xdotool({QStringLiteral("key"), QStringLiteral("space")});
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(grabber).isEmpty(), showTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), popover(), showTimeout);
        QTest::qWait(1000);
        QCOMPARE(activeWindow(), popover());
    }

    void waitsForTrayOpeningNothing()
    {
        BareDesktop bare;
        NIMBREL_START_DESKTOP(bare.session);
        prepareHome(bare.session);
        // A new user: the tutorial greets them, with nothing on top of it.
        SettingsStore::standard().set(SettingsKeys::tutorialSeen, false);

        QByteArray log;
        QVERIFY(launchWithoutTray(log));
        QTRY_VERIFY_WITH_TIMEOUT(
            !visibleWindows({QStringLiteral("--name"), "^Welcome to Nimbrel$"}).isEmpty(),
            showTimeout);
        QVERIFY(popover().isEmpty());

        // A tray that starts later gets the moon, and still nothing opens by itself.
        QCOMPARE(bare.session.startTray(), std::nullopt);
        QTRY_VERIFY_WITH_TIMEOUT(trayIconArea(program->processId()).isValid(), showTimeout);
        QVERIFY(popover().isEmpty());
        log += program->readAllStandardError();
        QCOMPARE(log.count("no system tray"), 1);

        // Launching it again opens the panel, tray or not.
        const std::unique_ptr<QProcess> second = launch();
        QVERIFY(second->waitForFinished(showTimeout));
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
    }

    void registersWithStatusNotifierHostThatComesLater()
    {
        BareDesktop bare;
        NIMBREL_START_DESKTOP(bare.session);
        prepareHome(bare.session);
        QByteArray log;
        QVERIFY(launchWithoutTray(log));
        QVERIFY(popover().isEmpty());

        QDBusConnection bus = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("host"));
        const auto disconnect =
            qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("host")); });
        FakeStatusNotifierWatcher watcher;
        QVERIFY(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllContents));
        QVERIFY(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);

        const auto property = [&](const QString& name) {
            QDBusMessage get = QDBusMessage::createMethodCall(
                watcher.items.first(), QStringLiteral("/StatusNotifierItem"),
                QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
            get << QStringLiteral("org.kde.StatusNotifierItem") << name;
            return bus.call(get).arguments().value(0).value<QDBusVariant>().variant();
        };
        // The menu is there for hosts to show, a click is no request for it, and hosts that
        // recolour symbolic icons find the moon by name.
        QCOMPARE(property(QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
                 QStringLiteral("/MenuBar"));
        QCOMPARE(property(QStringLiteral("ItemIsMenu")).toBool(), false);
        QVERIFY(property(QStringLiteral("IconName")).toString().endsWith("-symbolic"));
        QVERIFY(QFile::exists(property(QStringLiteral("IconThemePath")).toString() +
                              QStringLiteral("/hicolor/symbolic/apps/") +
                              property(QStringLiteral("IconName")).toString() +
                              QStringLiteral(".svg")));
        QVERIFY(popover().isEmpty());

        QDBusMessage activate = QDBusMessage::createMethodCall(
            watcher.items.first(), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
        activate << 640 << 400;
        bus.asyncCall(activate);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
    }

    void panelClearsBarOnEitherMonitor()
    {
        // Two monitors, a bar along the top of the left one that keeps its room (a strut), and
        // a StatusNotifierItem host, which does not tell where it shows the moon: the panel opens
        // at the pointer, on the bar.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const auto restoreRuntime = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", runtime); });
        DesktopSession monitors{DesktopSession::TwoMonitors()};
        NIMBREL_START_DESKTOP(monitors);
        NIMBREL_START_SESSION(
            monitors.startTray({QStringLiteral("--widthtype"), QStringLiteral("percent"),
                                QStringLiteral("--width"), QStringLiteral("100"),
                                QStringLiteral("--SetPartialStrut"), QStringLiteral("true")}),
            "");
        prepareHome(monitors);
        QDBusConnection bus = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("monitors host"));
        const auto disconnect = qScopeGuard(
            [] { QDBusConnection::disconnectFromBus(QStringLiteral("monitors host")); });
        FakeStatusNotifierWatcher watcher;
        launchWithStatusNotifierHost(bus, watcher);
        if (QTest::currentTestFailed())
            return;
        // The window manager has taken the bar's room off the work area.
        QTRY_VERIFY_WITH_TIMEOUT(
            toolOutput(QStringLiteral("xprop"),
                       {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")})
                .contains(QStringLiteral("= 0, 24,")),
            showTimeout);

        const QRect left = DesktopSession::leftMonitor;
        const QRect right = DesktopSession::rightMonitor;
        const QPoint onBar(left.right() - 40, 12);
        const QPoint pastBar(right.right() - 40, 12);
        for (const QPoint pointer : {onBar, pastBar}) {
            xdotool({QStringLiteral("mousemove"), QString::number(pointer.x()),
                     QString::number(pointer.y())});
            activateItem(bus, watcher);
            QString window;
            QTRY_VERIFY_WITH_TIMEOUT(!(window = popover()).isEmpty(), showTimeout);
            const QRect panel = geometry(window);
            const QRect free = pointer == onBar ? left.adjusted(0, 24, 0, 0) : right;
            QVERIFY2(free.contains(panel), qPrintable(QStringLiteral("panel at %1,%2 %3×%4")
                                                          .arg(panel.x())
                                                          .arg(panel.y())
                                                          .arg(panel.width())
                                                          .arg(panel.height())));
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
            QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);
        }
        cleanup();
    }
};

QTEST_GUILESS_MAIN(TestTrayProgram)
#include "tst_TrayProgram.moc"
