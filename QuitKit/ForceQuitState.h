#pragma once

#include <QString>

// Whether an app still open can be force quit, and how a force quit of it went.
enum class ForceQuitState {
    possible,   // a verified process of this user: it can be killed
    unverified, // no process of it is verified, and a guessed one could be another program
    otherUser,  // its process runs as another user
    waiting,    // killed; it counts as closed once its process has ended
    failed,     // the kill was refused or did not reach it
};

// Whether force quit is offered: for an app it can act on, again after a kill that failed.
bool offersForceQuit(ForceQuitState state);
// The state in one line for people ("Can't be force quit: …"); empty when possible.
QString forceQuitStateText(ForceQuitState state);
