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
