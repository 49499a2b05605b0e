#include "QuitterWait.h"

#include "LocalizedCompare.h"
#include "MainThread.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <utility>

namespace
{

// Whole milliseconds, rounded up so a run never ends early, and clamped.
int timeoutMilliseconds(double seconds)
{
    const double ms = std::ceil(seconds * 1000.0);
    if (!(ms > 0))
        return 0;
    return ms >= double(INT_MAX) ? INT_MAX : int(ms);
}

} // namespace

Quitter::Wait::Wait(Workspace& workspace_, Report report_, QHash<pid_t, AppEntry> pending_,
                    ProgressCallback onChange_)
    : workspace(workspace_), report(std::move(report_)), pending(std::move(pending_)),
      onChange(std::move(onChange_))
{
}

void Quitter::Wait::start(QuitClock& clock, double timeout, const QList<pid_t>& toAsk,
                          Completion completion)
{
    requireMainThread("Quitter: starting a wait");
    done = std::move(completion);
    token = workspace.addTerminationObserver([weak = weak_from_this()](pid_t pid) {
        requireMainThread("Quitter: the termination handler");
        const std::shared_ptr<Wait> wait = weak.lock();
        if (wait && pid == Workspace::desktopLost)
            wait->lost();
        else if (wait)
            wait->closed(pid);
    });
    // Counted from the press: some requests are answered only later, or never.
    clock.callAfter(std::chrono::milliseconds(timeoutMilliseconds(timeout)),
                    [wait = shared_from_this()] {
                        requireMainThread("Quitter: the time-out");
                        wait->finish();
                    });

    asking = true;
    for (const pid_t pid : toAsk)
        workspace.requestQuit(pid);
    asking = false;

    // Apps that ended unseen while they were asked.
    const QList<pid_t> snapshot = pending.keys();
    for (const pid_t pid : snapshot) {
        if (Quitter::hasGone(workspace, pid))
            closed(pid);
    }
    if (pending.isEmpty())
        finish();
}

void Quitter::Wait::closed(pid_t pid)
{
    const auto found = pending.find(pid);
    if (found == pending.end())
        return;
    report.closed.append(*found);
    pending.erase(found);
    if (onChange)
        onChange(report);
    if (pending.isEmpty() && !asking)
        finish();
}

void Quitter::Wait::lost()
{
    if (!done)
        return;
    report.desktopLost = true;
    finish();
}

void Quitter::Wait::finish()
{
    if (!done)
        return;
    const Completion completion = std::exchange(done, nullptr);
    if (token)
        workspace.removeTerminationObserver(*token);

    for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
        if (report.desktopLost) {
            report.stillOpen.append(it.value()); // and nothing more can be told of it
            continue;
        }
        if (Quitter::hasGone(workspace, it.key())) {
            report.closed.append(it.value());
            continue;
        }
        report.stillOpen.append(it.value());
        if (const ForceQuitState state = workspace.forceQuitState(it.key());
            state != ForceQuitState::possible)
            report.forceQuitStates.insert(it.key(), state);
        if (const StillOpenReason reason = workspace.stillOpenReason(it.key());
            reason != StillOpenReason::none)
            report.reasons.insert(it.key(), reason);
    }
    pending.clear();
    std::stable_sort(
        report.stillOpen.begin(), report.stillOpen.end(),
        [](const AppEntry& a, const AppEntry& b) { return localizedCompare(a.name, b.name) < 0; });
    completion(report);
}
