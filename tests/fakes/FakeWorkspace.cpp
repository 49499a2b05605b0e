#include "FakeWorkspace.h"

#include <QSize>

#include <utility>

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
    apps.removeIf([pid](const RunningApplication& app) { return app.pid == pid; });
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
        if (app.pid == pid)
            return app;
    }
    return std::nullopt;
}

bool FakeWorkspace::requestQuit(pid_t pid)
{
    quitRequests.append(pid);
    if (onQuitRequest)
        onQuitRequest(pid);
    return true;
}

void FakeWorkspace::whenRequestsSent(std::function<void()> done)
{
    if (answersLate)
        unanswered.append(std::move(done));
    else
        done();
}

void FakeWorkspace::answerRequests()
{
    answersLate = false;
    for (const std::function<void()>& done : std::exchange(unanswered, {}))
        done();
}

bool FakeWorkspace::forceQuit(pid_t pid)
{
    forceQuitRequests.append(pid);
    if (!runningApplication(pid))
        return false;
    if (forceQuitResult && forceQuitEndsApp)
        endApp(pid);
    return forceQuitResult;
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

std::optional<QString> FakeWorkspace::installedDesktopFile(const QString& desktopId)
{
    desktopFileLookups.append(desktopId);
    const auto found = desktopFiles.constFind(desktopId);
    if (found == desktopFiles.constEnd())
        return std::nullopt;
    return *found;
}

AppIcon FakeWorkspace::desktopFileIcon(const QString& desktopFile)
{
    return fileIcons.value(desktopFile);
}

AppIcon FakeWorkspace::windowIcon(pid_t pid)
{
    return windowIcons.value(pid);
}

bool FakeWorkspace::canLaunchDesktopFile(const QString& desktopFile)
{
    return !unlaunchable.contains(desktopFile);
}

void FakeWorkspace::launchDesktopFile(const QString& desktopFile)
{
    launched.append(desktopFile);
}

AppIcon FakeWorkspace::filledIcon(std::uint32_t argb, int size)
{
    AppIcon icon;
    icon.size = QSize(size, size);
    icon.argb.fill(argb, qsizetype(size) * size);
    return icon;
}
