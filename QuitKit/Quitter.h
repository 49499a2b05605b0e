#pragma once

#include "AppEntry.h"
#include "ForceQuitState.h"
#include "StillOpenReason.h"

#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

class QuitClock;
class Workspace;

// Asks apps to quit the ordinary way and follows them until they end or time runs out.
// Holds no state of its own: one quitter serves any number of runs, also overlapping ones.
class Quitter
{
public:
    // The outcome of one quit run.
    struct Report {
        QList<AppEntry> closed;
        QList<AppEntry> stillOpen; // ordered by name
        bool desktopLost = false;  // the desktop went away before every app was seen to end
        QHash<pid_t, StillOpenReason> reasons = {}; // of the apps still open that have one
        // Of the apps still open that cannot be force quit, or whose force quit is under way
        // or failed.
        QHash<pid_t, ForceQuitState> forceQuitStates = {};

        // Why `app`, one of stillOpen, is still open.
        StillOpenReason reason(const AppEntry& app) const
        {
            return reasons.value(app.pid, StillOpenReason::none);
        }
        ForceQuitState forceQuitState(const AppEntry& app) const
        {
            return forceQuitStates.value(app.pid, ForceQuitState::possible);
        }
        // `pid`, one of stillOpen, has ended: it moves to the end of closed and its memory
        // counts as freed. False when no app still open has that pid.
        bool markClosed(pid_t pid);

        // Bytes freed: the memory of every closed app.
        quint64 freed() const;
        // One line such as "Closed 3 apps, freed 1.5 GB".
        QString headline() const;

        friend bool operator==(const Report&, const Report&) = default;
    };
    using ProgressCallback = std::function<void(const Report&)>;

    // `workspace` and `clock` must outlive every run.
    explicit Quitter(Workspace& workspace);
    Quitter(Workspace& workspace, QuitClock& clock);

    // Sends every app the ordinary quit request and follows them from the first request on,
    // until all have ended, `timeout` seconds have passed since this call, or the desktop goes
    // away, whatever the requests' answers are doing; `onChange` hears of each app the moment it
    // is seen to end.
    // The run happens on the main thread (a caller elsewhere is moved there and resumed there).
    // Always ends with a report.
    QCoro::Task<Report> quit(QList<AppEntry> apps, double timeout, ProgressCallback onChange = {});

    // Kills one app at once; false when it is no longer running or is not one this program may
    // kill (see Workspace::forceQuitState). It counts as closed only once it has ended.
    bool forceQuit(const AppEntry& app);
    // No running application with that pid, or one that has ended.
    static bool hasGone(Workspace& workspace, pid_t pid);

private:
    class Wait;

    Workspace& workspace;
    QuitClock& clock;
};
