#pragma once

#include "AppEntry.h"
#include "StillOpenReason.h"

#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

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

        // Why `app`, one of stillOpen, is still open.
        StillOpenReason reason(const AppEntry& app) const
        {
            return reasons.value(app.pid, StillOpenReason::none);
        }

        // Bytes freed: the memory of every closed app.
        quint64 freed() const;
        // One line such as "Closed 3 apps, freed 1.5 GB".
        QString headline() const;

        friend bool operator==(const Report&, const Report&) = default;
    };
    using ProgressCallback = std::function<void(const Report&)>;

    // `workspace` must outlive every run.
    explicit Quitter(Workspace& workspace);

    // Sends every app the ordinary quit request, then waits until all have ended or `timeout`
    // seconds have passed since the wait began, or the desktop goes away; `onChange` hears of
    // each app seen to end.
    // The run happens on the main thread (a caller elsewhere is moved there and resumed there).
    // Always ends with a report.
    QCoro::Task<Report> quit(QList<AppEntry> apps, double timeout, ProgressCallback onChange = {});

    // Kills one app at once; false when it is no longer running.
    bool forceQuit(const AppEntry& app);

private:
    class Wait;
    // No running application with that pid, or one that has ended.
    static bool hasGone(Workspace& workspace, pid_t pid);

    Workspace& workspace;
};
