#include "UnsupportedWorkspace.h"

#include <utility>

UnsupportedWorkspace::UnsupportedWorkspace(QString reason) : why(std::move(reason)) {}

QList<RunningApplication> UnsupportedWorkspace::runningApplications()
{
    return {};
}

std::optional<RunningApplication> UnsupportedWorkspace::runningApplication(pid_t)
{
    return std::nullopt;
}

bool UnsupportedWorkspace::requestQuit(pid_t)
{
    return false;
}

bool UnsupportedWorkspace::forceQuit(pid_t)
{
    return false;
}

bool UnsupportedWorkspace::activate(pid_t)
{
    return false;
}

Workspace::ObserverToken UnsupportedWorkspace::addTerminationObserver(TerminationObserver)
{
    // Nothing is listed, so nothing can be seen to end.
    return nextToken++;
}

void UnsupportedWorkspace::removeTerminationObserver(ObserverToken) {}

std::optional<QString> UnsupportedWorkspace::installedDesktopFile(const QString&)
{
    return std::nullopt;
}

AppIcon UnsupportedWorkspace::desktopFileIcon(const QString&)
{
    return {};
}

AppIcon UnsupportedWorkspace::windowIcon(pid_t)
{
    return {};
}

bool UnsupportedWorkspace::canLaunchDesktopFile(const QString&)
{
    return false;
}

void UnsupportedWorkspace::launchDesktopFile(const QString&) {}
