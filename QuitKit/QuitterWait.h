#pragma once

#include "QuitClock.h"
#include "Quitter.h"
#include "Workspace.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

// The bookkeeping of one quit run that has something to wait for: the apps still pending, the
// report so far, the termination observer and the time-out. Lives on the main thread; the
// time-out task keeps it alive, the observer only refers to it weakly.
class Quitter::Wait : public std::enable_shared_from_this<Quitter::Wait>
{
public:
    using Completion = std::function<void(const Report&)>;

    Wait(Workspace& workspace, Report report, QHash<pid_t, AppEntry> pending,
         ProgressCallback onChange);

    // Follows the pending apps and starts the time-out on `clock`, then asks the apps of
    // `toAsk` to quit, so that neither an exit during the requests nor a slow answer escapes
    // the run. `done` runs exactly once with the final report, possibly before this returns
    // when every app turns out to be gone already.
    void start(QuitClock& clock, double timeout, const QList<pid_t>& toAsk, Completion done);

private:
    void closed(pid_t pid);
    // Nothing more will be heard: apps not seen to end stay open.
    void lost();
    void finish();

    Workspace& workspace;
    Report report;
    QHash<pid_t, AppEntry> pending;
    const ProgressCallback onChange;
    std::optional<Workspace::ObserverToken> token;
    Completion done;     // present exactly while the run is open
    bool asking = false; // the requests are going out: the run is not over before they are
};
