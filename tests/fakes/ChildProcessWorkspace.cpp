#include "ChildProcessWorkspace.h"

#include "LinuxProcess.h"

ChildProcessWorkspace::ChildProcessWorkspace()
{
    QObject::connect(&watcher, &ProcessWatcher::processEnded, &watcher,
                     [this](pid_t pid) { ended(pid); });
}

ChildProcessWorkspace::~ChildProcessWorkspace() = default;

AppEntry ChildProcessWorkspace::launch(const QString& name, ForkedChild::OnRequest onRequest,
                                       quint64 holdBytes)
{
    auto child = std::make_unique<ForkedChild>(onRequest, holdBytes);
    const pid_t pid = child->pid();
    watcher.watch(pid, child->startTime());
    apps[pid] = App{name, std::move(child)};
    AppEntry entry;
    entry.pid = pid;
    entry.name = name;
    return entry;
}

ForkedChild& ChildProcessWorkspace::child(pid_t pid)
{
    return *apps.at(pid).child;
}

const ChildProcessWorkspace::App* ChildProcessWorkspace::find(pid_t pid) const
{
    const auto found = apps.find(pid);
    return found == apps.end() ? nullptr : &found->second;
}

void ChildProcessWorkspace::ended(pid_t pid)
{
    // Reaped like a real app's parent would, so later look-ups meet a vanished pid.
    if (const App* app = find(pid))
        app->child->reap();
    observers.notify(pid);
}

QList<RunningApplication> ChildProcessWorkspace::runningApplications()
{
    QList<RunningApplication> running;
    for (const auto& [pid, app] : apps) {
        if (const std::optional<RunningApplication> found = runningApplication(pid))
            running.append(*found);
    }
    return running;
}

std::optional<RunningApplication> ChildProcessWorkspace::runningApplication(pid_t pid)
{
    const App* app = find(pid);
    if (!app)
        return std::nullopt;
    RunningApplication running;
    running.pid = pid;
    running.name = app->name;
    running.hasExited = LinuxProcess::hasEnded(pid, app->child->startTime());
    return running;
}

bool ChildProcessWorkspace::requestQuit(pid_t pid)
{
    const App* app = find(pid);
    if (!app)
        return false;
    app->child->request();
    if (exitBeforeRequestReturns.contains(pid))
        app->child->waitForExit();
    return true;
}

bool ChildProcessWorkspace::forceQuit(pid_t pid)
{
    const App* app = find(pid);
    return app && LinuxProcess::killVerified(pid, app->child->startTime());
}

bool ChildProcessWorkspace::activate(pid_t pid)
{
    return find(pid) != nullptr;
}

Workspace::ObserverToken ChildProcessWorkspace::addTerminationObserver(TerminationObserver observer)
{
    return observers.add(std::move(observer));
}

void ChildProcessWorkspace::removeTerminationObserver(ObserverToken token)
{
    observers.remove(token);
}

std::optional<QString> ChildProcessWorkspace::installedDesktopFile(const QString&)
{
    return std::nullopt;
}

AppIcon ChildProcessWorkspace::desktopFileIcon(const QString&)
{
    return {};
}

AppIcon ChildProcessWorkspace::windowIcon(pid_t)
{
    return {};
}

bool ChildProcessWorkspace::canLaunchDesktopFile(const QString&)
{
    return false;
}

void ChildProcessWorkspace::launchDesktopFile(const QString&) {}
