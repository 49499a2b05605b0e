#pragma once

#include "FirstCheckDelegate.h"
#include "UpdateDialogs.h"

#include <memory>

class Updater;

/// The update check. A build that names a feed checks it on a schedule and when asked; one
/// without tells the user, when asked, where the version that checks comes from.
class UpdateChecks
{
public:
    UpdateChecks();
    ~UpdateChecks();

    /// Starts the schedule.
    void start();
    /// Checks now, as the menus ask, and tells the user the outcome.
    void checkForUpdates();

private:
    FirstCheckDelegate firstCheck;
    UpdateDialogs dialogs;
    std::unique_ptr<Updater> updater; // only when the build names an update feed
};
