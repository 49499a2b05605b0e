#include "GnomeWorkspace.h"

#include "AppUnit.h"
#include "DBusApplication.h"
#include "DesktopEntries.h"
#include "LinuxProcess.h"
#include "UnitMainProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <unistd.h>

namespace
{

QByteArray ownCgroup(const QString& procRoot)
{
    QFile file(procRoot + QLatin1String("/self/cgroup"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

GnomeWorkspace::GnomeWorkspace(const QString& cgroupRoot, const QString& procRoot_, QObject* parent)
    : AppTableWorkspace(procRoot_, parent),
      sliceFolder(AppSlice::folder(cgroupRoot, ownCgroup(procRoot_), geteuid()))
{
    connect(&sliceWatch, &AppSliceWatch::changed, this, &GnomeWorkspace::markStale);
    update();
}

std::optional<QString> GnomeWorkspace::problem() const
{
    if (!QFileInfo(sliceFolder).isDir())
        return QCoreApplication::translate("QuitKit",
                                           "no app units of this user's systemd manager at %1")
            .arg(sliceFolder);
    return std::nullopt;
}

void GnomeWorkspace::leaveOutUnitsOf(std::function<QList<pid_t>()> otherApps_)
{
    otherApps = std::move(otherApps_);
}

bool GnomeWorkspace::requestQuit(pid_t pid)
{
    const App* app = stillRunning(pid);
    if (!app)
        return false;
    requests.asking(pid, {});
    // Not only apps that say DBusActivatable own their desktop ID on the bus: a GApplication
    // whose ID is its desktop file's does too (mousepad, for one). Who owns it is checked first.
    if (!app->entry->dbusActivatable && !DBusApplication::isBusName(app->entry->id)) {
        requests.cannotBeAsked(pid);
        return false;
    }
    const QString unitFolder = app->unitFolder;
    quitThroughAction(
        app->entry->id, DBusApplication::objectPath(app->entry->id),
        [unitFolder](pid_t owner) { return AppSlice::processes(unitFolder).contains(owner); },
        [this, pid] { requests.cannotBeAsked(pid); });
    return true;
}

StillOpenReason GnomeWorkspace::stillOpenReason(pid_t pid)
{
    // mutter shows no windows: only a request that could not be made tells anything.
    return requests.reason(pid, {});
}

bool GnomeWorkspace::activate(pid_t pid)
{
    update();
    const App* app = find(pid);
    return app && app->entry->dbusActivatable && DBusApplication::activate(app->entry->id);
}

void GnomeWorkspace::update()
{
    if (!stale)
        return;
    stale = false;
    const AppSlice::Tree tree = AppSlice::scan(sliceFolder);
    QStringList unitFolders;
    for (const AppSlice::Unit& unit : tree.units)
        unitFolders.append(unit.folder);
    sliceWatch.follow(tree.slices, unitFolders);
    const QList<App> found = appsOf(tree);
    // Apps no longer in a unit of their own are not listed, whether or not they still run; the
    // unit's end may be seen before the process's own.
    QList<App> gone;
    for (const App& app : std::as_const(apps)) {
        if (std::none_of(found.cbegin(), found.cend(), [&](const App& now) {
                return now.pid == app.pid && now.startTime == app.startTime;
            }))
            gone.append(app);
    }
    for (const App& app : std::as_const(gone)) {
        forget(app.pid);
        if (LinuxProcess::hasEnded(app.pid, app.startTime, procRoot))
            notifyLater(app.pid);
    }
    for (const App& app : found) {
        if (!find(app.pid) && watcher.watch(app.pid, app.startTime))
            apps.append(app);
    }
}

QList<GnomeWorkspace::App> GnomeWorkspace::appsOf(const AppSlice::Tree& tree) const
{
    QHash<QString, App> byId;
    QList<QString> order;
    for (const AppSlice::Unit& unit : tree.units) {
        const std::optional<UnitMainProcess::Process> main =
            UnitMainProcess::of(AppSlice::processes(unit.folder), procRoot);
        const std::optional<QString> id = AppUnit::applicationId(unit.name);
        if (!main || !id)
            continue;
        const auto listed = byId.constFind(*id);
        if (listed != byId.constEnd() && listed->startTime <= main->startTime)
            continue;
        const auto known = std::find_if(apps.cbegin(), apps.cend(), [&](const App& app) {
            return app.pid == main->pid && app.startTime == main->startTime;
        });
        std::optional<DesktopEntry> entry =
            known != apps.cend() ? known->entry : DesktopEntries::byId(*id);
        if (!entry || !entry->shownInMenus)
            continue;
        if (listed == byId.constEnd())
            order.append(*id);
        byId.insert(*id, App{{unit.folder}, main->pid, main->startTime, std::move(entry)});
    }
    QList<App> found;
    for (const QString& id : std::as_const(order))
        found.append(byId.value(id));
    return found;
}

std::function<bool(const GnomeWorkspace::App&)> GnomeWorkspace::leftOut() const
{
    const QList<pid_t> others = otherApps ? otherApps() : QList<pid_t>();
    return [others](const App& app) {
        if (others.isEmpty())
            return false;
        const QList<pid_t> unit = AppSlice::processes(app.unitFolder);
        return std::any_of(others.cbegin(), others.cend(),
                           [&](pid_t other) { return other > 0 && unit.contains(other); });
    };
}
