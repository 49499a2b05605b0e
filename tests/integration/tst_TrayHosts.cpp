#include "DesktopSession.h"
#include "DesktopUser.h"
#include "HeldStill.h"
#include "MoonOnBar.h"
#include "MoonShade.h"
#include "ProgramAccessibility.h"
#include "SessionBus.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestFiles.h"
#include "TestProcesses.h"
#include "UnsavedEditor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>
#include <signal.h>
#include <tuple>
#include <utility>
#include <xcb/xcb.h>

namespace
{

// Trays, the program and its windows show up within this (ms) on a loaded two-core machine.
// Each look at the screen runs tools, so waits count wall time (QTest::qWaitFor), not pauses.
constexpr int showTimeout = 30000;

const char gnomeAppIndicatorExtension[] =
    "/usr/share/gnome-shell/extensions/ubuntu-appindicators@ubuntu.com";

// WCAG's minimum contrast for the parts of a picture a user must make out.
constexpr double minimumContrast = 3.0;

// XFCE's panel as it comes, dark, with a task list and its tray: the task list shows no button
// while no window is open, so nothing else on the bar can be taken for the moon.
const char xfcePanelConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="true"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="2"/>
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
    <property name="plugin-2" type="string" value="tasklist"/>
  </property>
</channel>
)";

// Standard output of a tool; empty when it fails.
QByteArray tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    return process.readAllStandardOutput();
}

bool xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(20000) && process.exitCode() == 0;
}

void clickAt(QPoint point, int button)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(point.x()),
             QString::number(point.y()), QStringLiteral("click"), QString::number(button)});
}

// What the screen shows in `area`, taken the way a user's screenshot is.
QImage screenshot(const QRect& area)
{
    const QString crop = QStringLiteral("%1x%2+%3+%4")
                             .arg(area.width())
                             .arg(area.height())
                             .arg(area.x())
                             .arg(area.y());
    return QImage::fromData(tool(QStringLiteral("import"),
                                 {QStringLiteral("-window"), QStringLiteral("root"),
                                  QStringLiteral("-crop"), crop, QStringLiteral("png:-")}))
        .convertToFormat(QImage::Format_RGB32);
}

// Top-level windows the X server shows that no window manager manages: menus and tool tips.
QList<QRect> shownOverrideRedirectWindows()
{
    QList<QRect> shown;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    const int count = tree ? xcb_query_tree_children_length(tree) : 0;
    const xcb_window_t* children = tree ? xcb_query_tree_children(tree) : nullptr;
    for (int at = 0; at < count; ++at) {
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, children[at]), nullptr);
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, children[at]), nullptr);
        if (attributes && geometry && attributes->override_redirect &&
            attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            shown.append(QRect(geometry->x, geometry->y, geometry->width, geometry->height));
        free(attributes);
        free(geometry);
    }
    free(tree);
    xcb_disconnect(connection);
    return shown;
}

// Whether another client holds the keyboard, as an open menu does once it takes the keys.
bool keyboardHeldElsewhere()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_grab_keyboard_reply_t* grab =
        xcb_grab_keyboard_reply(connection,
                                xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    const bool held = grab && grab->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    free(grab);
    // Our own grab, if we got one, ends with the connection.
    xcb_disconnect(connection);
    return held;
}

// Sets the colours the tray asks its icons to draw in, as a tray does when its theme changes,
// to `foreground` for every state; removes them when it is invalid.
void setTrayColours(const QColor& foreground)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const auto atom = [connection](const QByteArray& name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
            nullptr);
        const xcb_atom_t found = reply ? reply->atom : XCB_NONE;
        free(reply);
        return found;
    };
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom("_NET_SYSTEM_TRAY_S0")), nullptr);
    const xcb_atom_t colours = atom("_NET_SYSTEM_TRAY_COLORS");
    xcb_void_cookie_t change{};
    if (owner && foreground.isValid()) {
        const QRgba64 rgb = foreground.rgba64();
        QList<uint32_t> values;
        for (int state = 0; state < 4; ++state)
            values << rgb.red() << rgb.green() << rgb.blue();
        change = xcb_change_property_checked(connection, XCB_PROP_MODE_REPLACE, owner->owner,
                                             colours, XCB_ATOM_CARDINAL, 32,
                                             uint32_t(values.size()), values.constData());
    } else if (owner) {
        change = xcb_delete_property_checked(connection, owner->owner, colours);
    }
    // Answered before the connection goes: a server may drop what a closed client last sent.
    if (owner)
        free(xcb_request_check(connection, change));
    free(owner);
    xcb_disconnect(connection);
}

// Whether GNOME Shell shows its overview, told to leave it when it does; nothing while the shell
// does not answer.
std::optional<bool> overviewActive()
{
    const auto call = [](const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
            QStringLiteral("org.freedesktop.DBus.Properties"), method);
        message.setArguments(
            QVariantList{QStringLiteral("org.gnome.Shell"), QStringLiteral("OverviewActive")} +
            arguments);
        return QDBusConnection::sessionBus().call(message);
    };
    const QDBusMessage shown = call(QStringLiteral("Get"), {});
    if (shown.type() != QDBusMessage::ReplyMessage || shown.arguments().isEmpty())
        return std::nullopt;
    const bool active = shown.arguments().first().value<QDBusVariant>().variant().toBool();
    if (active)
        call(QStringLiteral("Set"), {QVariant::fromValue(QDBusVariant(false))});
    return active;
}

// The items the StatusNotifierItem host shows; none where there is no such host.
QStringList registeredItems()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({QStringLiteral("org.kde.StatusNotifierWatcher"),
                      QStringLiteral("RegisteredStatusNotifierItems")});
    const QDBusMessage items = QDBusConnection::sessionBus().call(get);
    if (items.type() != QDBusMessage::ReplyMessage || items.arguments().isEmpty())
        return {};
    return items.arguments().first().value<QDBusVariant>().variant().toStringList();
}

bool statusNotifierHostUp()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QStringLiteral("org.kde.StatusNotifierWatcher"));
}

bool traySelectionOwned()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    xcb_get_selection_owner_reply_t* owner =
        atom ? xcb_get_selection_owner_reply(
                   connection, xcb_get_selection_owner(connection, atom->atom), nullptr)
             : nullptr;
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    free(atom);
    xcb_disconnect(connection);
    return owned;
}

// Root geometry of the shown windows `xdotool search` finds with `query`.
QList<QRect> windowAreas(const QStringList& query)
{
    QList<QRect> areas;
    const QList<QByteArray> windows =
        tool(QStringLiteral("xdotool"),
             QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + query)
            .split('\n');
    for (const QByteArray& window : windows) {
        if (window.isEmpty())
            continue;
        QHash<QByteArray, int> values;
        const QByteArray shell = tool(QStringLiteral("xdotool"),
                                      {QStringLiteral("getwindowgeometry"),
                                       QStringLiteral("--shell"), QString::fromLatin1(window)});
        for (const QByteArray& line : shell.split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() == 2)
                values.insert(pair[0], pair[1].toInt());
        }
        areas.append(
            {values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT")});
    }
    return areas;
}

} // namespace

// The tray item inside trays people use, each started for real on a throwaway X desktop and
// driven by pointer events: XFCE's panel under xfwm4 and GNOME Shell with its AppIndicator
// extension, StatusNotifierItem hosts that show the item's own menu, and tint2 under openbox,
// an XEmbed tray. $NIMBREL_TRAY_HOST names the one: "xfce", "gnome" or "tint2".
class TestTrayHosts : public QObject
{
    Q_OBJECT

    const QString hostName = qEnvironmentVariable("NIMBREL_TRAY_HOST", QStringLiteral("tint2"));
    DesktopSession session;
    QProcess windowManager;
    QProcess panel;
    SessionBus systemBus; // GNOME Shell's, which it needs only to be there
    std::unique_ptr<QProcess> program;
    std::pair<QRect, QImage> barWithoutMoon; // where the moon was looked for, before it came
    std::unique_ptr<UnsavedEditor> editor;   // started after the moon, so not on the bar before

    std::optional<QString> startXfce()
    {
        for (const char* needed : {"xfwm4", "xfce4-panel"}) {
            if (tool(QStringLiteral("which"), {QLatin1String(needed)}).isEmpty())
                return QStringLiteral("%1 is not installed").arg(QLatin1String(needed));
        }
        // The panel reads its layout from xfconfd, which the session bus starts on demand.
        const QString configFolder = qEnvironmentVariable("XDG_CONFIG_HOME") +
                                     QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml");
        QDir().mkpath(configFolder);
        QFile config(configFolder + QStringLiteral("/xfce4-panel.xml"));
        if (!config.open(QIODevice::WriteOnly) || config.write(xfcePanelConfig) < 0)
            return QStringLiteral("the panel's configuration could not be written");
        config.close();
        session.stopWindowManager();
        windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        windowManager.start(QStringLiteral("xfwm4"), {QStringLiteral("--compositor=off"),
                                                      QStringLiteral("--sm-client-disable")});
        panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        panel.start(QStringLiteral("xfce4-panel"), {QStringLiteral("--disable-wm-check")});
        const auto hostUp = [] {
            return statusNotifierHostUp() &&
                   !windowAreas({QStringLiteral("--class"), QStringLiteral("^Xfce4-panel$")})
                        .isEmpty();
        };
        if (!QTest::qWaitFor(hostUp, showTimeout))
            return QStringLiteral("xfce4-panel showed no tray");
        return std::nullopt;
    }

    std::optional<QString> startGnome()
    {
        if (tool(QStringLiteral("which"), {QStringLiteral("gnome-shell")}).isEmpty() ||
            !QFile::exists(QLatin1String(gnomeAppIndicatorExtension)))
            return QStringLiteral("GNOME Shell or its AppIndicator extension is not installed");
        if (const std::optional<QString> problem = systemBus.start())
            return problem;
        // The extension on, in settings of the session's own that the shell reads as a file.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        if (!TestFiles::writeFile(
                qEnvironmentVariable("XDG_CONFIG_HOME") +
                    QStringLiteral("/glib-2.0/settings/keyfile"),
                "[org/gnome/shell]\nenabled-extensions=['" +
                    QFileInfo(QLatin1String(gnomeAppIndicatorExtension)).fileName().toUtf8() +
                    "']\n"))
            return QStringLiteral("the shell's settings could not be written");
        session.stopWindowManager();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), systemBus.address());
        windowManager.setProcessEnvironment(environment);
        windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        windowManager.start(QStringLiteral("gnome-shell"),
                            {QStringLiteral("--x11"), QStringLiteral("--replace")});
        if (!QTest::qWaitFor(statusNotifierHostUp, showTimeout))
            return QStringLiteral("GNOME Shell's AppIndicator extension showed no tray");
        // The shell opens its overview, over the desktop and its windows, a moment after it
        // starts; once it has, it is told to leave until it has left.
        bool opened = false;
        const auto overviewLeft = [&] {
            const std::optional<bool> active = overviewActive();
            opened = opened || active == true;
            return opened && active == false;
        };
        if (!QTest::qWaitFor(overviewLeft, showTimeout))
            return QStringLiteral("the shell's overview did not open and close");
        return std::nullopt;
    }

    std::optional<QString> startTint2()
    {
        panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        panel.start(QStringLiteral("tint2"),
                    {QStringLiteral("-c"), QStringLiteral("/etc/xdg/tint2/tint2rc")});
        if (!panel.waitForStarted(showTimeout))
            return QStringLiteral("tint2 is not installed");
        if (!QTest::qWaitFor(traySelectionOwned, showTimeout))
            return QStringLiteral("tint2 took no tray selection");
        return std::nullopt;
    }

    // Where to look for the moon: XFCE's whole bar, its task list empty; tint2's icon
    // window of the program, with a little of the bar around it. Empty until it shows.
    QRect moonSearchArea() const
    {
        // The right of GNOME's top bar, clear of its clock, which changes meanwhile.
        if (hostName == QLatin1String("gnome"))
            return {800, 0, 480, 30};
        if (hostName == QLatin1String("xfce")) {
            // The bar is the panel's widest window; its plugins may have small ones.
            const QList<QRect> windows =
                windowAreas({QStringLiteral("--class"), QStringLiteral("^Xfce4-panel$")});
            const auto widest =
                std::max_element(windows.cbegin(), windows.cend(),
                                 [](QRect a, QRect b) { return a.width() < b.width(); });
            return widest == windows.cend() ? QRect() : *widest;
        }
        if (!program || program->state() != QProcess::Running)
            return {};
        for (const QRect& window :
             windowAreas({QStringLiteral("--pid"), QString::number(program->processId()),
                          QStringLiteral("--classname"), QStringLiteral("^nimbrel$")})) {
            if (window.width() > 1 && window.width() <= 64)
                return window.adjusted(-3, -3, 3, 3);
        }
        return {};
    }

    // The moon as the tray shows it, in root coordinates; nothing while it does not. `before`
    // is the search area before the program started, where the tray shows it already.
    std::optional<Moon> shownMoon(const QImage& before) const
    {
        const QRect area = moonSearchArea();
        if (area.isEmpty())
            return std::nullopt;
        std::optional<Moon> moon = findMoon(screenshot(area), before);
        if (moon)
            moon->area.translate(area.topLeft());
        return moon;
    }

    Moon launchAndWaitForMoon(const QHash<QString, QString>& environment = {})
    {
        program = DesktopSession::process(environment);
        const QRect bar = moonSearchArea();
        // Once it holds still: a task button may still be drawing a window that just came.
        const QImage before =
            bar.isEmpty() ? QImage()
                          : heldStill([&] { return std::optional(screenshot(bar)); }, showTimeout)
                                .value_or(QImage());
        barWithoutMoon = {bar, before};
        program->start(QStringLiteral(NIMBREL_PATH), QStringList());
        // Where it holds still: a bar may lay its icons out again as one comes or goes.
        return heldStill([&] { return shownMoon(before); }, showTimeout).value_or(Moon());
    }

    // The panel: a large window of the program named "Nimbrel" that the window manager
    // manages, unlike the menu, which Qt names so too. An empty rectangle while none shows.
    QRect panelArea() const
    {
        const QList<QRect> menus = shownOverrideRedirectWindows();
        for (const QRect& window :
             windowAreas({QStringLiteral("--pid"), QString::number(program->processId()),
                          QStringLiteral("--name"), QStringLiteral("^Nimbrel$")})) {
            if (window.width() > 100 && !menus.contains(window))
                return window;
        }
        return {};
    }
    bool panelShown() const { return panelArea().isValid(); }
    bool panelFocused() const
    {
        return tool(QStringLiteral("xdotool"),
                    {QStringLiteral("getwindowfocus"), QStringLiteral("getwindowpid")})
                   .trimmed() == QString::number(program->processId());
    }

    // Opens the panel as a user of this tray does: GNOME's extension opens the item's menu on a
    // single click, whatever the item says, and activates it on a double click: two clicks of
    // one press each, well within the double-click time, by the X server's clock.
    bool clickOpensPanel(const Moon& moon) const
    {
        const QPoint at = moon.area.center();
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                 QString::number(at.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
                 hostName == QLatin1String("gnome") ? QStringLiteral("2") : QStringLiteral("1"),
                 QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
        return QTest::qWaitFor([this] { return panelShown(); }, showTimeout);
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        if (hostName == QLatin1String("xfce"))
            NIMBREL_START_SESSION(startXfce(), "no XFCE panel: ");
        else if (hostName == QLatin1String("gnome"))
            NIMBREL_START_SESSION(startGnome(), "no GNOME Shell: ");
        else
            NIMBREL_START_SESSION(startTint2(), "no tint2: ");
        const QString runtime = session.scratchPath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        SettingsStore::standard().set(SettingsKeys::tutorialSeen, true);
    }

    void cleanupTestCase()
    {
        TestProcesses::stop(panel);
        TestProcesses::stop(windowManager);
    }

    void cleanup()
    {
        if (!program)
            return;
        program->kill();
        program->waitForFinished();
        program.reset();
        // The editor goes last: the bar was taken with its task button.
        const auto stopEditor = qScopeGuard([this] {
            if (!editor)
                return;
            // Gone from the taskbar before the next case takes the bar without its moon.
            ::kill(pid_t(editor->pid()), SIGKILL);
            if (!QTest::qWaitFor([this] { return !editor->shown(); }, showTimeout))
                qWarning("the killed editor's window stays on screen");
            editor.reset();
        });
        // Until the host has let the item go and the bar is as it was, the moon may still show
        // where the next case looks for its own.
        QVERIFY(QTest::qWaitFor([] { return registeredItems().isEmpty(); }, showTimeout));
        const auto [bar, bare] = std::exchange(barWithoutMoon, {});
        if (!bare.isNull())
            QVERIFY(QTest::qWaitFor([&] { return screenshot(bar) == bare; }, showTimeout));
    }

    void moonStandsOutOnTheBar()
    {
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        const double contrast = MoonShade::contrast(moon.moon, moon.bar);
        QVERIFY2(contrast >= minimumContrast,
                 qPrintable(QStringLiteral("moon %1 on bar %2: contrast %3")
                                .arg(moon.moon.name(), moon.bar.name())
                                .arg(contrast)));
    }

    // An XEmbed tray that changes the colour it asks for gets a moon to match, and one that
    // stops asking gets the moon its bar needs again.
    void moonFollowsTrayColours()
    {
        if (hostName != QLatin1String("tint2"))
            QSKIP("StatusNotifierItem hosts draw the moon themselves, in their own colour");
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        // Whether the tray shows a light moon; nothing while it shows none.
        const auto lightMoon = [this]() -> std::optional<bool> {
            const std::optional<Moon> shown = shownMoon(QImage());
            if (!shown)
                return std::nullopt;
            return MoonShade::luminance(shown->moon) > 0.5;
        };
        QCOMPARE(lightMoon(), std::optional(true));
        setTrayColours(QColor(0x20, 0x20, 0x20));
        QVERIFY(QTest::qWaitFor([&] { return lightMoon() == false; }, showTimeout));
        setTrayColours(QColor());
        QVERIFY(QTest::qWaitFor([&] { return lightMoon() == true; }, showTimeout));
    }

    void clickOpensPanelNearMoonOffTaskbar()
    {
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        // The bar beside the moon, where a task list would add a button for a new window; GNOME
        // has no task list, and its top bar names the app in front instead.
        const bool taskList = hostName != QLatin1String("gnome");
        const QRect beside(0, moon.area.top(), moon.area.left() - 8, moon.area.height());
        const QImage bare = taskList ? screenshot(beside) : QImage();
        QVERIFY(clickOpensPanel(moon));
        // Below or above the moon, whichever edge its bar is on, and across from it.
        const QRect shown = panelArea();
        const int gap = shown.top() > moon.area.center().y() ? shown.top() - moon.area.bottom()
                                                             : moon.area.top() - shown.bottom();
        QVERIFY2(gap >= 0 && gap <= 40 && shown.left() <= moon.area.right() &&
                     moon.area.left() <= shown.right(),
                 qPrintable(QStringLiteral("panel %1,%2 %3×%4, moon at %5,%6")
                                .arg(shown.x())
                                .arg(shown.y())
                                .arg(shown.width())
                                .arg(shown.height())
                                .arg(moon.area.x())
                                .arg(moon.area.y())));
        if (taskList) {
            // A task list shows a button a moment after the window maps.
            QTest::qWait(1000);
            QVERIFY(screenshot(beside) == bare);
        }
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
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        QVERIFY(clickOpensPanel(moon));
        if (byEscape) {
            // Once the window manager has given it the focus, a moment after it shows.
            QVERIFY(QTest::qWaitFor([this] { return panelFocused(); }, showTimeout));
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        } else
            clickAt(panelArea().bottomRight() + QPoint(100, 100), 1);
        QVERIFY(QTest::qWaitFor([this] { return !panelShown(); }, showTimeout));
        QCOMPARE(program->state(), QProcess::Running);
    }

    // A quit whose editor asks to save: the save question takes the focus and the panel closes,
    // and the next click shows the result, the editor still open with its Force Quit.
    void resultSurvivesSaveQuestion()
    {
        ProgramAccessibility accessibility;
        const QHash<QString, QString> environment = accessibility.prepareOnOwnBus();
        // The editor first: its taskbar button may move the moon along the bar.
        editor = std::make_unique<UnsavedEditor>(session);
        QVERIFY(QTest::qWaitFor([this] { return editor->shown(); }, showTimeout));
        const Moon moon = launchAndWaitForMoon(environment);
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        QVERIFY(clickOpensPanel(moon));
        QVERIFY(QTest::qWaitFor([&] { return accessibility.focus(QStringLiteral("Quit")); },
                                showTimeout));
        xdotool({QStringLiteral("key"), QStringLiteral("space")});
        QVERIFY(QTest::qWaitFor([this] { return editor->asked(); }, showTimeout));
        QVERIFY(editor->focusQuestionUntil([this] { return !panelShown(); }, showTimeout));
        QVERIFY(clickOpensPanel(moon));
        QVERIFY(QTest::qWaitFor([&] { return accessibility.focus(QStringLiteral("Force Quit")); },
                                showTimeout));
        QVERIFY(accessibility.focus(QStringLiteral("Reopen")));
    }

    void clickShowsNimbrelMenu_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("right click") << 3;
        if (hostName == QLatin1String("gnome"))
            QTest::newRow("left click") << 1;
    }

    void clickShowsNimbrelMenu()
    {
        QFETCH(int, button);
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        if (hostName == QLatin1String("gnome")) {
            // GNOME Shell draws its menus itself, as no window of their own, below the bar; it
            // takes the keys as it opens one, and no other client may hold them meanwhile.
            const QRect below(moon.area.center().x() - 150, moon.area.bottom() + 4, 300, 120);
            const QImage bare = screenshot(below);
            clickAt(moon.area.center(), button);
            QVERIFY(QTest::qWaitFor([&] { return screenshot(below) != bare; }, showTimeout));
        } else {
            const QList<QRect> before = shownOverrideRedirectWindows();
            clickAt(moon.area.center(), button);
            QRect menu;
            const auto menuShown = [&] {
                for (const QRect& window : shownOverrideRedirectWindows()) {
                    if (!before.contains(window) && window.width() > 60 && window.height() > 40)
                        menu = window;
                }
                return menu.isValid();
            };
            QVERIFY(QTest::qWaitFor(menuShown, showTimeout));
            // Menus ignore keys that come before they took the keyboard.
            QVERIFY(QTest::qWaitFor(keyboardHeldElsewhere, showTimeout));
        }
        // Only Nimbrel's menu has "Open Nimbrel" as its first row; the host's own would not
        // open the panel. Chosen by keys: menus ignore a click that comes too soon after they
        // opened.
        QVERIFY(!panelShown());
        xdotool({QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
        QVERIFY(QTest::qWaitFor([this] { return panelShown(); }, showTimeout));
    }
};

QTEST_GUILESS_MAIN(TestTrayHosts)
#include "tst_TrayHosts.moc"
