#include "TerminationObservers.h"

Workspace::ObserverToken TerminationObservers::add(Workspace::TerminationObserver observer)
{
    const Workspace::ObserverToken token = nextToken++;
    observers.emplace(token, std::move(observer));
    return token;
}

void TerminationObservers::remove(Workspace::ObserverToken token)
{
    observers.erase(token);
}

void TerminationObservers::notify(pid_t pid) const
{
    const auto current = observers;
    for (const auto& [token, observer] : current) {
        if (observers.count(token))
            observer(pid);
    }
}
