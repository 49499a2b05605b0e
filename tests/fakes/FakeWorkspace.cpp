#include "FakeWorkspace.h"

#include <QPixmap>

void FakeWorkspace::addApp(const RunningApplication& app)
{
    apps.append(app);
}

void FakeWorkspace::endApp(pid_t pid)
{
    endAppQuietly(pid);
    notifyTerminated(pid);
}

void FakeWorkspace::endAppQuietly(pid_t pid)
{
    apps.removeIf([pid](const RunningApplication& app) { return app.processIdentifier == pid; });
}

void FakeWorkspace::notifyTerminated(pid_t pid)
{
    observers.notify(pid);
}

QList<RunningApplication> FakeWorkspace::runningApplications()
{
    ++runningApplicationsCalls;
    return apps;
}

std::optional<RunningApplication> FakeWorkspace::runningApplication(pid_t pid)
{
    for (const RunningApplication& app : apps) {
        if (app.processIdentifier == pid)
            return app;
    }
    return std::nullopt;
}

bool FakeWorkspace::terminate(pid_t pid)
{
    terminateRequests.append(pid);
    if (onTerminate)
        onTerminate(pid);
    return true;
}

bool FakeWorkspace::forceTerminate(pid_t pid)
{
    forceTerminateRequests.append(pid);
    if (!runningApplication(pid))
        return false;
    if (forceTerminateResult)
        endApp(pid);
    return forceTerminateResult;
}

bool FakeWorkspace::activate(pid_t pid)
{
    if (!runningApplication(pid))
        return false;
    activations.append(pid);
    return true;
}

Workspace::ObserverToken FakeWorkspace::addTerminationObserver(TerminationObserver observer)
{
    ++observersAdded;
    return observers.add(std::move(observer));
}

void FakeWorkspace::removeTerminationObserver(ObserverToken token)
{
    observers.remove(token);
}

std::optional<QString> FakeWorkspace::applicationLocation(const QString& bundleID)
{
    locationLookups.append(bundleID);
    const auto found = locations.constFind(bundleID);
    if (found == locations.constEnd())
        return std::nullopt;
    return *found;
}

QIcon FakeWorkspace::iconForFile(const QString& location)
{
    return fileIcons.value(location);
}

QIcon FakeWorkspace::windowIcon(pid_t pid)
{
    return windowIcons.value(pid);
}

QIcon FakeWorkspace::genericApplicationIcon()
{
    return genericIcon();
}

void FakeWorkspace::openApplication(const QString& location)
{
    opened.append(location);
}

QIcon FakeWorkspace::genericIcon()
{
    static const QIcon icon = [] {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::gray);
        return QIcon(pixmap);
    }();
    return icon;
}
