#pragma once

#include "Workspace.h"

#include <QString>

// Stands in where no backend can see the desktop's apps: lists nothing and does nothing, and
// says why so front ends can tell the user.
class UnsupportedWorkspace : public Workspace
{
public:
    explicit UnsupportedWorkspace(QString reason);

    /// Why no apps are listed, e.g. "no display".
    QString reason() const { return why; }

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
    QString why;
    ObserverToken nextToken = 1;
};
