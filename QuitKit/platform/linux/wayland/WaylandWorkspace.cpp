#include "WaylandWorkspace.h"

#include "AppIdProcess.h"
#include "CompositorClients.h"
#include "DBusApplication.h"
#include "ExtForeignToplevels.h"
#include "ForeignToplevels.h"
#include "LinuxProcess.h"
#include "PlasmaWindows.h"
#include "ProcStat.h"
#include "SwayIpc.h"
#include "SwayWindowMatch.h"
#include "WaylandConnection.h"
#include "X11Window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>

namespace
{

// How long start-up waits for each of the compositor's answers: a busy compositor gets a second,
// longer wait before the list goes on without it.
constexpr int quickAnswerTimeout = 1000;
constexpr int slowAnswerTimeout = 3000;
// Windows announced during one round trip have their details a round trip later.
constexpr int detailRounds = 4;
// Below every id the X11 backend gives its unverified apps (minus an X client's resource base).
constexpr pid_t firstUnverifiedId = -0x40000000;
// Dialogs nest a few levels at most; a longer chain is a loop.
constexpr int deepestDialog = 16;

// The compositor answered everything asked of it so far.
bool settle(WaylandConnection& connection)
{
    return connection.settle(QDeadlineTimer(quickAnswerTimeout)) ||
           connection.settle(QDeadlineTimer(slowAnswerTimeout));
}

} // namespace

WaylandWorkspace::WaylandWorkspace(const QByteArray& displayName, const QString& swaySocket,
                                   const QString& procRoot_, QObject* parent)
    : AppTableWorkspace(procRoot_, parent),
      connection(std::make_unique<WaylandConnection>(displayName)), matcher(procRoot_),
      nextUnverifiedId(firstUnverifiedId)
{
    bool answering = settle(*connection);
    // wlroots' list where both are offered: sway's IPC only matches windows against that one.
    if (zwlr_foreign_toplevel_manager_v1* manager = connection->takeToplevelManager())
        toplevels = std::make_unique<ForeignToplevels>(manager);
    else if (org_kde_plasma_window_management* plasma = connection->takePlasmaWindowManagement())
        toplevels = std::make_unique<PlasmaWindows>(plasma);
    else if (ext_foreign_toplevel_list_v1* list = connection->bindExtToplevelList())
        toplevels = std::make_unique<ExtForeignToplevels>(list);
    else
        return;
    if (!swaySocket.isEmpty()) {
        sway = std::make_unique<SwayIpc>(swaySocket);
        connect(sway.get(), &SwayIpc::treeReceived, this, &WaylandWorkspace::markStale);
    }
    connect(toplevels.get(), &ToplevelSource::changed, this, [this] {
        // sway's tree as it stands after this change tells whose the windows are.
        if (sway)
            treeNeeded = sway->refresh();
        markStale();
    });
    connect(connection.get(), &WaylandConnection::lost, this, [this] {
        forgetAll();
        qWarning("No native Wayland apps can be listed: %s", qPrintable(*problem()));
        observers.notify(desktopLost);
    });
    answering = answering && settle(*connection);
    // One more round trip for each batch of windows announced before their details; a compositor
    // that never sends them is not waited for without end.
    for (int round = 0; answering && toplevels->awaitsDetails() && round < detailRounds; ++round)
        answering = settle(*connection);
    if (sway)
        sway->waitForTree(treeNeeded, QDeadlineTimer(answering ? slowAnswerTimeout : 0));
    // A stale $SWAYSOCK names no sway: find the processes the other way.
    if (sway && !sway->isConnected())
        sway.reset();
    update();
}

WaylandWorkspace::~WaylandWorkspace()
{
    // Handles go before the connection they live on.
    toplevels.reset();
}

bool WaylandWorkspace::isLost() const
{
    return connection->problem().has_value();
}

std::optional<QString> WaylandWorkspace::problem() const
{
    if (std::optional<QString> lost = connection->problem())
        return lost;
    if (!toplevels || toplevels->isFinished())
        return QCoreApplication::translate(
            "QuitKit", "the Wayland compositor does not list its windows to this program (no wlr "
                       "foreign toplevel management, no ext foreign toplevel list, and no KDE "
                       "Plasma window management: KWin offers it only to programs whose desktop "
                       "entry asks for it)");
    return std::nullopt;
}

void WaylandWorkspace::leaveOutWindowsOf(std::function<QList<X11Window>()> windows)
{
    x11Windows = std::move(windows);
    markStale();
}

QString WaylandWorkspace::backendName() const
{
    if (!toplevels)
        return QStringLiteral("Wayland");
    return sway && sway->isConnected()
               ? QStringLiteral("Wayland (%1, sway IPC)").arg(toplevels->protocolName())
               : QStringLiteral("Wayland (%1)").arg(toplevels->protocolName());
}

bool WaylandWorkspace::requestQuit(pid_t pid)
{
    const App* app = stillRunning(pid);
    if (!app)
        return false;
    requests.asking(pid, windowIds(*app));
    bool asked = false;
    for (std::uint32_t window : mainWindows(*app))
        asked |= toplevels->close(window);
    connection->flush();
    if (asked)
        return true;
    // Where the compositor takes no close request, the app may take one on its own bus name.
    if (!hasBusName(*app)) {
        requests.cannotBeAsked(pid);
        return false;
    }
    quitThroughAction(
        app->entry->id, DBusApplication::objectPath(app->entry->id),
        [pid](pid_t owner) { return owner == pid; }, [this, pid] { requests.cannotBeAsked(pid); });
    return true;
}

StillOpenReason WaylandWorkspace::stillOpenReason(pid_t pid)
{
    update();
    const App* app = find(pid);
    return app ? requests.reason(pid, windowIds(*app)) : StillOpenReason::none;
}

bool WaylandWorkspace::activate(pid_t pid)
{
    update();
    const App* app = find(pid);
    if (!app)
        return false;
    const QList<std::uint32_t> windows = mainWindows(*app);
    const bool asked =
        !windows.isEmpty() && toplevels->activate(windows.first(), connection->seat());
    connection->flush();
    if (asked)
        return true;
    return hasBusName(*app) && DBusApplication::activate(app->entry->id);
}

void WaylandWorkspace::update()
{
    if (problem())
        return;
    // X11's list changes without a word to us.
    if (takeX11Names())
        stale = true;
    if (!stale)
        return;
    stale = false;
    std::optional<CompositorClients> clients = CompositorClients::of(connection->fd(), procRoot);
    const QList<ForeignToplevel> all = toplevels->list();
    QHash<std::uint32_t, ForeignToplevel> byId;
    for (const ForeignToplevel& window : all)
        byId.insert(window.id, window);
    QList<pid_t> order;
    QHash<pid_t, QList<ForeignToplevel>> windowsOf;
    for (const ForeignToplevel& window : all) {
        // A dialog belongs to the app of its main window.
        ForeignToplevel main = window;
        for (int depth = 0; main.parent && byId.contains(*main.parent) && depth < deepestDialog;
             ++depth)
            main = byId.value(*main.parent);
        const std::optional<pid_t> owner = ownerOf(main, clients ? &*clients : nullptr);
        if (!owner)
            continue;
        if (!windowsOf.contains(*owner))
            order.append(*owner);
        insertWindow(windowsOf[*owner], window, main.id == window.id,
                     [](const ForeignToplevel& w) { return !w.parent; });
    }
    decisions.removeIf([&](QHash<std::uint32_t, Decision>::iterator decision) {
        return !byId.contains(decision.key());
    });
    takeWindows(windowsOf, order);
}

void WaylandWorkspace::takeWindows(const QHash<pid_t, QList<ForeignToplevel>>& windowsOf,
                                   const QList<pid_t>& order)
{
    QList<pid_t> gone;
    for (App& app : apps) {
        app.toplevels = windowsOf.value(app.pid);
        // With no process to watch, an unverified app has ended when its windows have.
        if (!isVerified(app) && app.toplevels.isEmpty())
            gone.append(app.pid);
        // Apps often set their app id a moment after mapping; a name once found is kept.
        if (!app.toplevels.isEmpty() && app.toplevels.first().appId != app.appId) {
            app.appId = app.toplevels.first().appId;
            if (std::optional<DesktopEntry> entry = entryOf(app.appId, app.pid))
                app.entry = std::move(entry);
        }
    }
    for (pid_t id : std::as_const(gone)) {
        forget(id);
        notifyLater(id);
    }
    for (pid_t pid : order) {
        if (find(pid))
            continue;
        App app{{windowsOf.value(pid).first().appId, windowsOf.value(pid)}, pid, 0, std::nullopt};
        if (pid > 0) {
            const std::optional<ProcStat> stat = ProcStat::read(procRoot, pid);
            if (!stat || stat->hasEnded() || !watcher.watch(pid, stat->startTime))
                continue;
            app.startTime = stat->startTime;
        }
        app.entry = entryOf(app.appId, pid);
        apps.append(app);
    }
}

std::optional<pid_t> WaylandWorkspace::ownerOf(const ForeignToplevel& window,
                                               CompositorClients* clients)
{
    const bool seen = decisions.contains(window.id);
    Decision& decision = decisions[window.id];
    using Owner = Decision::Owner;
    if (decision.owner == Owner::pending || decision.owner == Owner::unverified ||
        decision.byName) {
        if (!seen || decision.appId != window.appId || decision.title != window.title) {
            decision.appId = window.appId;
            decision.title = window.title;
            decision.tree = treeNeeded;
            decision.current = false;
        }
        // A tree older than the window's name may show another window under that name.
        if (!decision.current && (!sway || sway->treesReceived() >= decision.tree))
            decide(decision, window, clients);
    }
    switch (decision.owner) {
    case Owner::verified:
        return decision.pid;
    case Owner::unverified:
        return unverifiedId(window.appId);
    case Owner::pending:
    case Owner::x11:
        break;
    }
    return std::nullopt;
}

void WaylandWorkspace::decide(Decision& decision, const ForeignToplevel& window,
                              CompositorClients* clients)
{
    using Owner = Decision::Owner;
    decision.current = true;
    decision.owner = Owner::unverified;
    decision.byName = false;
    // KWin names the process, but only a client it has now can be that process.
    if (window.claimedPid) {
        const pid_t pid = *window.claimedPid;
        if (clients && clients->isVerified(pid))
            decision = {Owner::verified, pid, window.appId, window.title, decision.tree, true};
        // KWin names a native window by its own connection's process; a live process that
        // holds none drew it through Xwayland.
        else if (clients && pid > 0 && ProcStat::read(procRoot, pid))
            decision.owner = Owner::x11;
        return;
    }
    if (sway) {
        const SwayWindowMatch match = SwayWindowMatch::of(window, sway->windows());
        if (match.kind == SwayWindowMatch::Kind::xwayland)
            decision.owner = Owner::x11;
        else if (match.kind == SwayWindowMatch::Kind::native && clients &&
                 clients->isVerified(match.pid))
            decision = {Owner::verified, match.pid,     window.appId,
                        window.title,    decision.tree, true};
        return;
    }
    // Without the compositor's word, a window X11 lists under this app id and title is an
    // Xwayland one. A native window that happens to share both is left out as well, the safe
    // side: X11 lists that app, and no window is asked to close on a guess.
    if (x11Names.contains({window.appId, window.title})) {
        decision.owner = Owner::x11;
        decision.byName = true;
        return;
    }
    // Else the app id must lead to exactly one client process.
    const std::optional<DesktopEntry> entry = entryOf(window.appId, 0);
    if (!entry || !clients)
        return;
    if (const std::optional<pid_t> pid = AppIdProcess::of(*entry, *clients, matcher, procRoot))
        decision = {Owner::verified, *pid, window.appId, window.title, decision.tree, true};
}

bool WaylandWorkspace::takeX11Names()
{
    // Where KWin names the process or sway's IPC answers, their word decides, and X11 need not
    // follow its titles.
    if (!x11Windows || sway || toplevels->namesProcesses())
        return false;
    QSet<std::pair<QString, QString>> names;
    for (const X11Window& window : x11Windows()) {
        // wlroots compositors give an Xwayland toplevel WM_CLASS's class as app id; some the
        // instance.
        for (const QString& appId : {window.wmClass, window.wmInstance}) {
            if (!appId.isEmpty())
                names.insert({appId, window.title});
        }
    }
    if (names == x11Names)
        return false;
    x11Names = std::move(names);
    for (Decision& decision : decisions) {
        if (decision.owner == Decision::Owner::unverified || decision.byName)
            decision.current = false;
    }
    return true;
}

pid_t WaylandWorkspace::unverifiedId(const QString& appId)
{
    if (const auto known = unverifiedIds.constFind(appId); known != unverifiedIds.constEnd())
        return *known;
    const pid_t id = nextUnverifiedId--;
    unverifiedIds.insert(appId, id);
    return id;
}

std::optional<DesktopEntry> WaylandWorkspace::entryOf(const QString& appId, pid_t pid) const
{
    // The app id stands in for WM_CLASS and for GTK's application id.
    return matcher.match({{std::max<pid_t>(pid, 0), appId, appId, appId, {}}});
}

void WaylandWorkspace::dropped(pid_t pid)
{
    requests.forget(pid);
    unverifiedIds.removeIf([pid](QHash<QString, pid_t>::iterator id) { return *id == pid; });
    // Its windows may outlive it (a child kept the connection): decide whose they are again.
    decisions.removeIf([pid](QHash<std::uint32_t, Decision>::iterator decision) {
        return decision->owner == Decision::Owner::verified && decision->pid == pid;
    });
}

QList<std::uint32_t> WaylandWorkspace::mainWindows(const App& app) const
{
    return idsOf(app.toplevels, [](const ForeignToplevel& window) { return !window.parent; });
}
