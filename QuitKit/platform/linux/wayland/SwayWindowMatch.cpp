#include "SwayWindowMatch.h"

#include <QSet>

SwayWindowMatch SwayWindowMatch::of(const ForeignToplevel& toplevel,
                                    const QList<SwayWindow>& windows)
{
    QSet<pid_t> nativePids;
    bool xwayland = false;
    for (const SwayWindow& window : windows) {
        if (window.appId != toplevel.appId || window.title != toplevel.title)
            continue;
        if (window.xwayland)
            xwayland = true;
        else
            nativePids.insert(window.pid);
    }
    if (nativePids.isEmpty())
        return {xwayland ? Kind::xwayland : Kind::none};
    if (nativePids.size() > 1 || xwayland)
        return {Kind::ambiguous};
    return {Kind::native, *nativePids.cbegin()};
}
