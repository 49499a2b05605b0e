#include "QuitRequests.h"

#include <algorithm>

void QuitRequests::asking(pid_t pid, const QList<std::uint32_t>& windows)
{
    requests.insert(pid, Request{QSet<std::uint32_t>(windows.cbegin(), windows.cend()), false});
}

void QuitRequests::cannotBeAsked(pid_t pid)
{
    const auto request = requests.find(pid);
    if (request != requests.end())
        request->cannotBeAsked = true;
}

StillOpenReason QuitRequests::reason(pid_t pid, const QList<std::uint32_t>& windows) const
{
    const auto request = requests.constFind(pid);
    if (request == requests.cend())
        return StillOpenReason::none;
    if (request->cannotBeAsked)
        return StillOpenReason::cannotBeAsked;
    const bool newWindow = std::any_of(windows.cbegin(), windows.cend(), [&](std::uint32_t window) {
        return !request->windowsBefore.contains(window);
    });
    return newWindow ? StillOpenReason::askingToSave : StillOpenReason::none;
}
