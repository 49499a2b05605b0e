#pragma once

#include "AppEntry.h"

#include <QList>

#include <numeric>

// The bytes attributed to `apps` together; unmeasured apps add nothing.
inline quint64 totalMemory(const QList<AppEntry>& apps)
{
    return std::accumulate(apps.begin(), apps.end(), quint64(0),
                           [](quint64 sum, const AppEntry& app) { return sum + app.memory; });
}

// The bytes a total shows for `apps`: an app under 1 MB counts as the 1 MB its row shows, so the
// total agrees with the rows beside it and is never below the largest of them.
inline quint64 shownTotalMemory(const QList<AppEntry>& apps)
{
    constexpr quint64 smallestShown = 1024 * 1024;
    return std::accumulate(
        apps.begin(), apps.end(), quint64(0), [](quint64 sum, const AppEntry& app) {
            return sum +
                   (app.memory > 0 && app.memory < smallestShown ? smallestShown : app.memory);
        });
}
