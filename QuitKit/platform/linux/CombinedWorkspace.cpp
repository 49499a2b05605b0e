#include "CombinedWorkspace.h"

#include <QSet>
#include <QStringList>

#include <memory>

CombinedWorkspace::CombinedWorkspace(std::vector<std::unique_ptr<Workspace>> backends_,
                                     std::optional<ListingGap> missing_)
    : backends(std::move(backends_)), missing(std::move(missing_))
{
    for (const std::unique_ptr<Workspace>& backend : this->backends)
        backendTokens.push_back(
            backend->addTerminationObserver([this](pid_t pid) { observers.notify(pid); }));
}

CombinedWorkspace::~CombinedWorkspace()
{
    for (size_t i = 0; i < backends.size(); ++i)
        backends[i]->removeTerminationObserver(backendTokens[i]);
}

std::optional<Workspace::ListingGap> CombinedWorkspace::listingGap()
{
    std::optional<ListingGap> first = missing;
    for (const std::unique_ptr<Workspace>& backend : backends) {
        std::optional<ListingGap> gap = backend->listingGap();
        // A backend that sees nothing leaves out a share of the apps, not all of them.
        if (gap && backends.size() > 1)
            gap->partial = true;
        if (gap && !gap->partial)
            return gap;
        if (gap && !first)
            first = gap;
    }
    return first;
}

QString CombinedWorkspace::backendName() const
{
    QStringList names;
    for (const std::unique_ptr<Workspace>& backend : backends)
        names.append(backend->backendName());
    return names.join(QLatin1String(" + "));
}

QList<RunningApplication> CombinedWorkspace::runningApplications()
{
    QList<RunningApplication> all;
    QSet<pid_t> listed;
    for (const std::unique_ptr<Workspace>& backend : backends) {
        for (const RunningApplication& app : backend->runningApplications()) {
            if (!listed.contains(app.pid)) {
                listed.insert(app.pid);
                all.append(app);
            }
        }
    }
    return all;
}

std::optional<RunningApplication> CombinedWorkspace::runningApplication(pid_t pid)
{
    for (const std::unique_ptr<Workspace>& backend : backends) {
        if (std::optional<RunningApplication> app = backend->runningApplication(pid))
            return app;
    }
    return std::nullopt;
}

Workspace* CombinedWorkspace::ownerOf(pid_t pid)
{
    for (const std::unique_ptr<Workspace>& backend : backends) {
        if (backend->runningApplication(pid))
            return backend.get();
    }
    return nullptr;
}

bool CombinedWorkspace::requestQuit(pid_t pid)
{
    Workspace* owner = ownerOf(pid);
    return owner && owner->requestQuit(pid);
}

void CombinedWorkspace::whenRequestsSent(std::function<void()> done)
{
    // Done once the last backend is.
    auto waiting = std::make_shared<size_t>(backends.size());
    for (const std::unique_ptr<Workspace>& backend : backends) {
        backend->whenRequestsSent([waiting, done] {
            if (--*waiting == 0)
                done();
        });
    }
}

StillOpenReason CombinedWorkspace::stillOpenReason(pid_t pid)
{
    Workspace* owner = ownerOf(pid);
    return owner ? owner->stillOpenReason(pid) : StillOpenReason::none;
}

ForceQuitState CombinedWorkspace::forceQuitState(pid_t pid)
{
    Workspace* owner = ownerOf(pid);
    return owner ? owner->forceQuitState(pid) : ForceQuitState::possible;
}

bool CombinedWorkspace::forceQuit(pid_t pid)
{
    Workspace* owner = ownerOf(pid);
    return owner && owner->forceQuit(pid);
}

bool CombinedWorkspace::activate(pid_t pid)
{
    Workspace* owner = ownerOf(pid);
    return owner && owner->activate(pid);
}

Workspace::ObserverToken CombinedWorkspace::addTerminationObserver(TerminationObserver observer)
{
    return observers.add(std::move(observer));
}

void CombinedWorkspace::removeTerminationObserver(ObserverToken token)
{
    observers.remove(token);
}

std::optional<QString> CombinedWorkspace::installedDesktopFile(const QString& desktopId)
{
    return backends.front()->installedDesktopFile(desktopId);
}

AppIcon CombinedWorkspace::desktopFileIcon(const QString& desktopFile)
{
    return backends.front()->desktopFileIcon(desktopFile);
}

AppIcon CombinedWorkspace::windowIcon(pid_t pid)
{
    Workspace* owner = ownerOf(pid);
    return owner ? owner->windowIcon(pid) : AppIcon();
}

bool CombinedWorkspace::canLaunchDesktopFile(const QString& desktopFile)
{
    return backends.front()->canLaunchDesktopFile(desktopFile);
}

void CombinedWorkspace::launchDesktopFile(const QString& desktopFile)
{
    backends.front()->launchDesktopFile(desktopFile);
}
