#pragma once

#include "Workspace.h"

#include <map>

// The termination observers a workspace keeps, and telling them that a process ended.
class TerminationObservers
{
public:
    Workspace::ObserverToken add(Workspace::TerminationObserver observer);
    void remove(Workspace::ObserverToken token);
    // Calls every observer with `pid`; observers may remove themselves or others meanwhile.
    void notify(pid_t pid) const;
    int count() const { return int(observers.size()); }

private:
    std::map<Workspace::ObserverToken, Workspace::TerminationObserver> observers;
    Workspace::ObserverToken nextToken = 1;
};
