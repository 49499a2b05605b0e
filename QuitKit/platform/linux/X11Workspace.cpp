#include "X11Workspace.h"

#include "DesktopEntries.h"
#include "GApplicationQuit.h"
#include "GenericAppIcon.h"
#include "LinuxProcess.h"
#include "ProcStat.h"
#include "X11Connection.h"
#include "X11WindowIcon.h"
#include "X11WindowRequests.h"
#include "X11Windows.h"

#include <QFileInfo>
#include <QHash>
#include <QPixmap>
#include <QTimer>

#include <algorithm>

X11Workspace::X11Workspace(const QByteArray& displayName, const QString& procRoot, QObject* parent)
    : QObject(parent), connection(std::make_unique<X11Connection>(displayName)), procRoot(procRoot),
      matcher(procRoot), watcher(procRoot)
{
    connect(connection.get(), &X11Connection::windowsChanged, this, [this] {
        // Watch new apps' processes soon, without re-reading once per event of a burst.
        if (stale)
            return;
        stale = true;
        QTimer::singleShot(0, this, &X11Workspace::update);
    });
    connect(connection.get(), &X11Connection::lost, this, [this] {
        for (const App& app : std::as_const(apps))
            watcher.unwatch(app.pid);
        apps.clear();
        reportProblem();
    });
    connect(&watcher, &ProcessWatcher::processEnded, this, &X11Workspace::ended);
    if (!connection->problem())
        refresh();
}

X11Workspace::~X11Workspace() = default;

std::optional<QString> X11Workspace::problem() const
{
    return connection->problem();
}

QList<RunningApplication> X11Workspace::runningApplications()
{
    update();
    QList<RunningApplication> list;
    for (const App& app : std::as_const(apps))
        list.append(describe(app));
    return list;
}

std::optional<RunningApplication> X11Workspace::runningApplication(pid_t pid)
{
    update();
    const App* app = find(pid);
    if (!app)
        return std::nullopt;
    return describe(*app);
}

bool X11Workspace::terminate(pid_t pid)
{
    update();
    const App* app = find(pid);
    if (!app || LinuxProcess::hasEnded(pid, app->startTime, procRoot))
        return false;
    const quint64 startTime = app->startTime;
    const auto exported =
        std::find_if(app->windows.cbegin(), app->windows.cend(), [](const X11Window& w) {
            return !w.gtkBusName.isEmpty() && !w.gtkObjectPath.isEmpty();
        });
    if (exported == app->windows.cend())
        return closeWindows(pid, startTime);
    GApplicationQuit::request(exported->gtkBusName, exported->gtkObjectPath, this,
                              [this, pid, startTime] { closeWindows(pid, startTime); });
    return true;
}

bool X11Workspace::forceTerminate(pid_t pid)
{
    const App* app = find(pid);
    return app && LinuxProcess::forceTerminate(pid, app->startTime, procRoot);
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

Workspace::ObserverToken X11Workspace::addTerminationObserver(TerminationObserver observer)
{
    return observers.add(std::move(observer));
}

void X11Workspace::removeTerminationObserver(ObserverToken token)
{
    observers.remove(token);
}

std::optional<QString> X11Workspace::applicationLocation(const QString& bundleID)
{
    const std::optional<DesktopEntry> entry = DesktopEntries::byId(bundleID);
    if (!entry)
        return std::nullopt;
    return entry->filename;
}

QIcon X11Workspace::iconForFile(const QString& location)
{
    const std::optional<DesktopEntry> entry = DesktopEntries::byFilename(location);
    if (!entry || entry->icon.isEmpty())
        return {};
    if (QFileInfo(entry->icon).isAbsolute())
        return QFileInfo::exists(entry->icon) ? QIcon(entry->icon) : QIcon();
    return QIcon::fromTheme(entry->icon);
}

QIcon X11Workspace::windowIcon(pid_t pid)
{
    update();
    const App* app = find(pid);
    if (!app)
        return {};
    for (const X11Window& window : app->windows) {
        const QImage image = X11WindowIcon::of(*connection, window.id);
        if (!image.isNull())
            return QIcon(QPixmap::fromImage(image));
    }
    return {};
}

QIcon X11Workspace::genericApplicationIcon()
{
    return GenericAppIcon::icon();
}

void X11Workspace::openApplication(const QString& location)
{
    DesktopEntries::launch(location);
}

void X11Workspace::update()
{
    if (reportProblem())
        return;
    connection->processEvents();
    if (stale)
        refresh();
}

void X11Workspace::refresh()
{
    stale = false;
    QList<pid_t> order;
    QHash<pid_t, QList<X11Window>> windowsOf;
    for (const X11Window& window : X11Windows::managed(*connection)) {
        if (window.pid <= 0)
            continue;
        if (!windowsOf.contains(window.pid))
            order.append(window.pid);
        // Taskbar windows go first: they are the ones to activate, close and match by.
        QList<X11Window>& windows = windowsOf[window.pid];
        windows.insert(window.taskbar ? std::count_if(windows.cbegin(), windows.cend(),
                                                      [](const X11Window& w) { return w.taskbar; })
                                      : windows.size(),
                       window);
    }
    for (App& app : apps) {
        if (!windowsOf.contains(app.pid))
            app.windows.clear();
    }
    for (pid_t pid : std::as_const(order)) {
        const std::optional<ProcStat> stat = ProcStat::read(procRoot, pid);
        if (!stat || stat->hasEnded())
            continue;
        if (App* known = find(pid); known && known->startTime != stat->startTime) {
            // The pid was reused: the app we knew is gone; observers hear of it outside this read.
            forget(pid);
            QMetaObject::invokeMethod(
                this, [this, pid] { observers.notify(pid); }, Qt::QueuedConnection);
        }
        if (App* known = find(pid)) {
            known->windows = windowsOf.value(pid);
            continue;
        }
        App app{pid, stat->startTime, std::nullopt, windowsOf.value(pid)};
        if (!watcher.watch(pid, stat->startTime))
            continue;
        app.entry = matcher.match(app.windows);
        apps.append(app);
    }
}

void X11Workspace::ended(pid_t pid)
{
    forget(pid);
    observers.notify(pid);
}

void X11Workspace::forget(pid_t pid)
{
    watcher.unwatch(pid);
    apps.removeIf([pid](const App& app) { return app.pid == pid; });
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

X11Workspace::App* X11Workspace::find(pid_t pid)
{
    const auto found =
        std::find_if(apps.begin(), apps.end(), [pid](const App& app) { return app.pid == pid; });
    return found == apps.end() ? nullptr : &*found;
}

X11Workspace::App* X11Workspace::find(pid_t pid, quint64 startTime)
{
    App* app = find(pid);
    return app && app->startTime == startTime ? app : nullptr;
}

RunningApplication X11Workspace::describe(const App& app) const
{
    RunningApplication running;
    const bool taskbar = std::any_of(app.windows.cbegin(), app.windows.cend(),
                                     [](const X11Window& window) { return window.taskbar; });
    running.activationPolicy = taskbar ? ActivationPolicy::Regular : ActivationPolicy::Background;
    running.isTerminated = LinuxProcess::hasEnded(app.pid, app.startTime, procRoot);
    running.processIdentifier = app.pid;
    if (app.entry) {
        running.bundleIdentifier = app.entry->id;
        running.bundleURL = app.entry->filename;
        if (!app.entry->name.isEmpty())
            running.localizedName = app.entry->name;
    }
    if (!running.localizedName && !app.windows.isEmpty() && !app.windows.first().wmClass.isEmpty())
        running.localizedName = app.windows.first().wmClass;
    return running;
}

QList<xcb_window_t> X11Workspace::taskbarWindows(const App& app) const
{
    QList<xcb_window_t> windows;
    for (const X11Window& window : app.windows) {
        if (window.taskbar)
            windows.append(window.id);
    }
    return windows;
}

bool X11Workspace::closeWindows(pid_t pid, quint64 startTime)
{
    const App* app = find(pid, startTime);
    return app && X11WindowRequests::close(*connection, taskbarWindows(*app));
}
