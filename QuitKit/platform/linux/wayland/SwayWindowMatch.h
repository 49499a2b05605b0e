#pragma once

#include "ForeignToplevel.h"
#include "SwayTree.h"

#include <QList>

#include <sys/types.h>

// Which of sway's windows a taskbar toplevel is: the protocol names no client, so app id and
// title must point at one process, never at a guess between two.
struct SwayWindowMatch {
    enum class Kind {
        native,    // one process drew it: `pid`
        xwayland,  // an X11 window, which the X11 backend lists
        ambiguous, // windows of different processes look the same
        none,      // not in the tree
    };
    Kind kind = Kind::none;
    pid_t pid = 0;

    friend bool operator==(const SwayWindowMatch&, const SwayWindowMatch&) = default;

    static SwayWindowMatch of(const ForeignToplevel& toplevel, const QList<SwayWindow>& windows);
};
