#pragma once

#include "ProcessInfo.h"

#include <QHash>
#include <QList>

/// The footprints the last exact pass read, by process, so that a list made again can show an
/// app's figure at once while its processes are the very ones read, and a guess from the
/// kernel's counters otherwise. Main thread only.
class KnownFootprints
{
public:
    /// The footprint of `owned`, an app's processes: the sum of the figures read for them when
    /// every one was read, else the sum of their estimates.
    quint64 quickTotal(const ProcessInfo& processes, const QList<ProcessRecord>& owned) const;
    /// The processes a pass has just read; those it did not read are gone or no longer listed.
    void replace(QHash<ProcessKey, quint64> footprints) { known = std::move(footprints); }

private:
    QHash<ProcessKey, quint64> known;
};
