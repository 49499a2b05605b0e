#pragma once

#include "StillOpenReason.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <cstdint>
#include <sys/types.h>

// What each app asked to quit showed when it was asked: the windows it had then, or that it
// offered no polite way to be asked. An app still open with a window it did not have then is
// most likely asking to save.
class QuitRequests
{
public:
    // The app is being asked to quit and has these windows now (none where windows are unseen).
    void asking(pid_t pid, const QList<std::uint32_t>& windows);
    // The app being asked offers no polite way to be asked, so it was not.
    void cannotBeAsked(pid_t pid);
    bool contains(pid_t pid) const { return requests.contains(pid); }
    // What the app's windows now tell of why it is still open: nothing, when they tell nothing.
    StillOpenReason reason(pid_t pid, const QList<std::uint32_t>& windows) const;
    void forget(pid_t pid) { requests.remove(pid); }

private:
    struct Request {
        QSet<std::uint32_t> windowsBefore;
        bool cannotBeAsked = false;
    };

    QHash<pid_t, Request> requests;
};
