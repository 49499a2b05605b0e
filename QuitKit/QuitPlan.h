#pragma once

#include "AppEntry.h"
#include "TotalMemory.h"

#include <QList>

// The apps a preset quits and the apps it keeps, each list in the order of the planner's input.
struct QuitPlan {
    QList<AppEntry> toQuit;
    QList<AppEntry> kept;

    // What quitting `toQuit` would free; `kept` does not count.
    quint64 bytes() const { return totalMemory(toQuit); }

    friend bool operator==(const QuitPlan&, const QuitPlan&) = default;
};
