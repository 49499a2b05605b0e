#include "LinuxWorkspace.h"

#include "DesktopEntries.h"
#include "DesktopEntryIcon.h"
#include "GApplicationQuit.h"
#include "LinuxProcess.h"

#include <QTimer>

#include <utility>

LinuxWorkspace::LinuxWorkspace(const QString& procRoot_, QObject* parent)
    : QObject(parent), procRoot(procRoot_), watcher(procRoot_)
{
}

std::optional<Workspace::ListingGap> LinuxWorkspace::listingGap()
{
    if (std::optional<QString> reason = problem())
        return ListingGap{*reason};
    return std::nullopt;
}

void LinuxWorkspace::whenRequestsSent(std::function<void()> done)
{
    if (requestsInFlight == 0)
        done();
    else
        whenSentCallbacks.append(std::move(done));
}

void LinuxWorkspace::quitThroughAction(const QString& busName, const QString& objectPath,
                                       std::function<bool(pid_t)> isAppProcess,
                                       std::function<void()> refused)
{
    ++requestsInFlight;
    GApplicationQuit::request(busName, objectPath, std::move(isAppProcess), this,
                              [this, refused = std::move(refused)](bool activated) {
                                  if (!activated)
                                      refused();
                                  requestSent();
                              });
}

void LinuxWorkspace::requestSent()
{
    if (--requestsInFlight > 0)
        return;
    const QList<std::function<void()>> callbacks = std::exchange(whenSentCallbacks, {});
    for (const std::function<void()>& callback : callbacks)
        callback();
}

ForceQuitState LinuxWorkspace::forceQuitState(pid_t pid)
{
    if (!verifiedStartTime(pid))
        return ForceQuitState::unverified;
    return LinuxProcess::isOursToKill(pid, procRoot) ? ForceQuitState::possible
                                                     : ForceQuitState::otherUser;
}

bool LinuxWorkspace::forceQuit(pid_t pid)
{
    const std::optional<quint64> startTime = verifiedStartTime(pid);
    return startTime && LinuxProcess::killVerified(pid, *startTime, procRoot);
}

Workspace::ObserverToken LinuxWorkspace::addTerminationObserver(TerminationObserver observer)
{
    const ObserverToken token = observers.add(std::move(observer));
    if (isLost())
        notifyLater(desktopLost);
    return token;
}

void LinuxWorkspace::removeTerminationObserver(ObserverToken token)
{
    observers.remove(token);
}

std::optional<QString> LinuxWorkspace::installedDesktopFile(const QString& desktopId)
{
    const std::optional<DesktopEntry> entry = DesktopEntries::byId(desktopId);
    if (!entry)
        return std::nullopt;
    return entry->filename;
}

AppIcon LinuxWorkspace::desktopFileIcon(const QString& desktopFile)
{
    return DesktopEntryIcon::of(desktopFile);
}

bool LinuxWorkspace::canLaunchDesktopFile(const QString& desktopFile)
{
    return DesktopEntries::canLaunch(desktopFile);
}

void LinuxWorkspace::launchDesktopFile(const QString& desktopFile)
{
    DesktopEntries::launch(desktopFile);
}

void LinuxWorkspace::markStale()
{
    stale = true;
    if (updateScheduled)
        return;
    updateScheduled = true;
    QTimer::singleShot(0, this, [this] {
        updateScheduled = false;
        update();
    });
}

void LinuxWorkspace::notifyLater(pid_t pid)
{
    QMetaObject::invokeMethod(
        this, [this, pid] { observers.notify(pid); }, Qt::QueuedConnection);
}
