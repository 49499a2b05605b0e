#include "X11Workspace.h"

#include "LinuxProcess.h"
#include "ProcStat.h"
#include "ProcessLineage.h"
#include "X11Connection.h"
#include "X11WindowIcon.h"
#include "X11WindowRequests.h"
#include "X11Windows.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <utility>

namespace
{

// What the windows say about which app they belong to.
QList<AppIdentity> identities(const QList<X11Window>& windows)
{
    QList<AppIdentity> claims;
    for (const X11Window& window : windows)
        claims.append({window.pid, window.wmInstance, window.wmClass, window.gtkApplicationId,
                       window.kdeDesktopFile});
    return claims;
}

} // namespace

X11Workspace::X11Workspace(const QByteArray& displayName, const QString& procRoot_, QObject* parent)
    : AppTableWorkspace(procRoot_, parent),
      connection(std::make_unique<X11Connection>(displayName)), reasons(*connection),
      matcher(procRoot_)
{
    connect(connection.get(), &X11Connection::windowsChanged, this, &X11Workspace::markStale);
    // Titles change often (a terminal's, a browser's), so they are read again only when wanted.
    connect(connection.get(), &X11Connection::titleChanged, this, [this] {
        if (followsTitles)
            markStale();
    });
    connect(connection.get(), &X11Connection::lost, this, [this] {
        forgetAll();
        reportProblem();
        observers.notify(desktopLost);
    });
    if (!connection->problem())
        update();
}

X11Workspace::~X11Workspace() = default;

bool X11Workspace::isLost() const
{
    return connection->problem().has_value();
}

std::optional<QString> X11Workspace::problem() const
{
    return connection->problem();
}

std::optional<Workspace::ListingGap> X11Workspace::listingGap()
{
    update();
    if (std::optional<QString> reason = connection->problem())
        return ListingGap{*reason};
    if (unseen)
        return ListingGap{*unseen};
    return std::nullopt;
}

QList<X11Window> X11Workspace::windows()
{
    // Titles that changed before anyone followed them are read afresh.
    if (!std::exchange(followsTitles, true))
        stale = true;
    update();
    QList<X11Window> all;
    for (const App& app : std::as_const(apps))
        all.append(app.windows);
    return all;
}

bool X11Workspace::requestQuit(pid_t pid)
{
    const App* app = stillRunning(pid);
    if (!app)
        return false;
    const quint64 startTime = app->startTime;
    reasons.asking(pid, windowIds(*app));
    // Only a verified process can be checked against the bus name's owner.
    const auto exported =
        std::find_if(app->windows.cbegin(), app->windows.cend(), [&](const X11Window& w) {
            return isVerified(*app) && !w.gtkBusName.isEmpty() && !w.gtkObjectPath.isEmpty();
        });
    if (exported == app->windows.cend())
        return closeWindows(pid, startTime);
    quitThroughAction(
        exported->gtkBusName, exported->gtkObjectPath,
        [this, pid](pid_t owner) { return isAppProcess(owner, pid); },
        [this, pid, startTime] { closeWindows(pid, startTime); });
    return true;
}

StillOpenReason X11Workspace::stillOpenReason(pid_t pid)
{
    update();
    const App* app = find(pid);
    return app ? reasons.reason(pid, windowIds(*app)) : StillOpenReason::none;
}

bool X11Workspace::isAppProcess(pid_t process, pid_t app) const
{
    // The app itself or a process it started; a chain this long belongs to no app.
    return ProcessLineage::any(
        process, 64, [app](pid_t p) { return p == app; }, procRoot);
}

bool X11Workspace::activate(pid_t pid)
{
    update();
    const App* app = find(pid);
    if (!app)
        return false;
    const QList<xcb_window_t> windows = taskbarWindows(*app);
    return !windows.isEmpty() && X11WindowRequests::activate(*connection, windows.first());
}

AppIcon X11Workspace::windowIcon(pid_t pid)
{
    update();
    const App* app = find(pid);
    if (!app || !connection->responds())
        return {};
    for (const X11Window& window : app->windows) {
        AppIcon icon = X11WindowIcon::of(*connection, window.id);
        if (!icon.isEmpty())
            return icon;
    }
    return {};
}

void X11Workspace::update()
{
    if (reportProblem())
        return;
    connection->processEvents();
    if (!stale)
        return;
    // A grabbed server answers nobody: better no news than a frozen program.
    if (!connection->responds()) {
        unseen = QCoreApplication::translate(
            "QuitKit", "the X server does not answer; another program holds it");
        return;
    }
    refresh();
}

void X11Workspace::refresh()
{
    // Without a client list no event says that windows changed: read afresh every time.
    stale = !connection->hasClientList();
    const std::optional<QList<X11Window>> managed = X11Windows::managed(*connection, procRoot);
    unseen = managed
                 ? std::nullopt
                 : std::optional(QCoreApplication::translate(
                       "QuitKit",
                       "windows are shown, but no window manager tells which of them are apps"));
    QList<pid_t> order;
    QHash<pid_t, QList<X11Window>> windowsOf;
    QHash<std::uint32_t, QList<X11Window>> unverifiedWindowsOf;
    for (const X11Window& window : managed.value_or(QList<X11Window>())) {
        if (window.pid <= 0) {
            unverifiedWindowsOf[window.client].append(window);
            continue;
        }
        if (!windowsOf.contains(window.pid))
            order.append(window.pid);
        insertWindow(windowsOf[window.pid], window, window.taskbar,
                     [](const X11Window& w) { return w.taskbar; });
    }
    for (App& app : apps) {
        if (isVerified(app) && !windowsOf.contains(app.pid))
            app.windows.clear();
    }
    refreshUnverified(unverifiedWindowsOf);
    for (pid_t pid : std::as_const(order)) {
        const std::optional<ProcStat> stat = ProcStat::read(procRoot, pid);
        if (!stat || stat->hasEnded())
            continue;
        if (App* known = find(pid); known && known->startTime != stat->startTime) {
            // The pid was reused: the app we knew is gone; observers hear of it outside this read.
            forget(pid);
            notifyLater(pid);
        }
        if (App* known = find(pid)) {
            rename(*known, windowsOf.value(pid));
            continue;
        }
        App app{{windowsOf.value(pid)}, pid, stat->startTime, std::nullopt};
        if (!watcher.watch(pid, stat->startTime))
            continue;
        app.entry = matcher.match(identities(app.windows));
        apps.append(app);
    }
}

void X11Workspace::refreshUnverified(const QHash<std::uint32_t, QList<X11Window>>& windowsOfClient)
{
    QList<pid_t> gone;
    for (App& app : apps) {
        if (isVerified(app))
            continue;
        rename(app, windowsOfClient.value(std::uint32_t(-app.pid)));
        if (app.windows.isEmpty())
            gone.append(app.pid);
    }
    for (auto it = windowsOfClient.cbegin(); it != windowsOfClient.cend(); ++it) {
        const pid_t id = -pid_t(it.key());
        if (id < 0 && !find(id))
            apps.append(App{{it.value()}, id, 0, matcher.match(identities(it.value()))});
    }
    // With no process to watch, an unverified app has ended when its windows have.
    for (pid_t id : std::as_const(gone)) {
        forget(id);
        notifyLater(id);
    }
}

void X11Workspace::rename(App& app, const QList<X11Window>& windows)
{
    const bool claimsChanged = identities(app.windows) != identities(windows);
    app.windows = windows;
    // Apps often name their window a moment after mapping it; a name once found is kept.
    if (claimsChanged) {
        if (std::optional<DesktopEntry> entry = matcher.match(identities(app.windows)))
            app.entry = std::move(entry);
    }
}

bool X11Workspace::reportProblem()
{
    const std::optional<QString> reason = connection->problem();
    if (reason && !problemReported) {
        problemReported = true;
        qWarning("No running applications can be listed: %s", qPrintable(*reason));
    }
    return reason.has_value();
}

QString X11Workspace::fallbackName(const App& app) const
{
    return app.windows.isEmpty() ? QString() : app.windows.first().wmClass;
}

bool X11Workspace::isOnTaskbar(const App& app) const
{
    return std::any_of(app.windows.cbegin(), app.windows.cend(),
                       [](const X11Window& window) { return window.taskbar; });
}

QList<xcb_window_t> X11Workspace::taskbarWindows(const App& app) const
{
    return idsOf(app.windows, [](const X11Window& window) { return window.taskbar; });
}

QList<xcb_window_t> X11Workspace::windowIds(const App& app) const
{
    return idsOf(app.windows);
}

bool X11Workspace::closeWindows(pid_t pid, quint64 startTime)
{
    const App* app = find(pid);
    if (!app || app->startTime != startTime)
        return false;
    // Taken first: a server lost during the requests takes the app with it.
    const QList<xcb_window_t> windows = windowIds(*app);
    if (X11WindowRequests::close(*connection, taskbarWindows(*app))) {
        reasons.ping(pid, windows);
        return true;
    }
    // Nothing was asked: no window takes the request, unless the server itself did not answer.
    if (connection->responds())
        reasons.cannotBeAsked(pid);
    return false;
}
