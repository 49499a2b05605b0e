#pragma once

#include "TerminationObservers.h"
#include "Workspace.h"

#include <map>
#include <memory>
#include <vector>

// One desktop served by several backends, e.g. X11 for Xwayland's windows and a Wayland
// backend for the native ones: their lists merged by pid, each call sent to the backend that
// lists the app, and every backend's news of ended apps passed on.
class CombinedWorkspace : public Workspace
{
public:
    // `backends` by precedence: an app two of them list is the first one's. `missing` says
    // which apps no backend can see (a session none of them fully serves).
    explicit CombinedWorkspace(std::vector<std::unique_ptr<Workspace>> backends,
                               std::optional<ListingGap> missing = std::nullopt);
    ~CombinedWorkspace() override;

    std::optional<ListingGap> listingGap() override;
    QString backendName() const override;
    QList<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(pid_t pid) override;
    bool requestQuit(pid_t pid) override;
    void whenRequestsSent(std::function<void()> done) override;
    StillOpenReason stillOpenReason(pid_t pid) override;
    ForceQuitState forceQuitState(pid_t pid) override;
    bool forceQuit(pid_t pid) override;
    bool activate(pid_t pid) override;
    ObserverToken addTerminationObserver(TerminationObserver observer) override;
    void removeTerminationObserver(ObserverToken token) override;
    std::optional<QString> installedDesktopFile(const QString& desktopId) override;
    AppIcon desktopFileIcon(const QString& desktopFile) override;
    AppIcon windowIcon(pid_t pid) override;
    bool canLaunchDesktopFile(const QString& desktopFile) override;
    void launchDesktopFile(const QString& desktopFile) override;

private:
    // The backend that lists `pid`; nothing when none does.
    Workspace* ownerOf(pid_t pid);

    std::vector<std::unique_ptr<Workspace>> backends;
    std::optional<ListingGap> missing;
    TerminationObservers observers;
    std::vector<ObserverToken> backendTokens;
};
