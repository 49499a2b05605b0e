#pragma once

#include "ForkedChild.h"
#include "ProcessWatcher.h"
#include "TerminationObservers.h"
#include "Workspace.h"

#include "AppEntry.h"

#include <QSet>

#include <map>
#include <memory>

// A workspace whose apps are real child processes of the test: a quit request is a word on the
// child's pipe, termination news comes from the real ProcessWatcher, force-quit kills
// through a pidfd. Lives on the main thread.
class ChildProcessWorkspace : public Workspace
{
public:
    ChildProcessWorkspace();
    ~ChildProcessWorkspace() override;

    // Starts a child app named `name` that exits on request or ignores requests, holding
    // `holdBytes` of memory.
    AppEntry launch(const QString& name, ForkedChild::OnRequest onRequest, quint64 holdBytes = 0);
    ForkedChild& child(pid_t pid);
    // Quit requests to these apps return only after the app has exited (before anyone is told).
    QSet<pid_t> exitBeforeRequestReturns;

    // Workspace
    QList<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(pid_t pid) override;
    bool requestQuit(pid_t pid) override;
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
    struct App {
        QString name;
        std::unique_ptr<ForkedChild> child;
    };
    const App* find(pid_t pid) const;
    void ended(pid_t pid);

    ProcessWatcher watcher;
    std::map<pid_t, App> apps;
    TerminationObservers observers;
};
