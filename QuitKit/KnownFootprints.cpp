#include "KnownFootprints.h"

#include <algorithm>

quint64 KnownFootprints::quickTotal(const ProcessInfo& processes,
                                    const QList<ProcessRecord>& owned) const
{
    quint64 bytes = 0;
    const bool allKnown = std::all_of(owned.cbegin(), owned.cend(), [&](const ProcessRecord& p) {
        const auto found = known.constFind(p.key());
        if (found == known.constEnd())
            return false;
        bytes += *found;
        return true;
    });
    if (allKnown)
        return bytes;
    bytes = 0;
    for (const ProcessRecord& process : owned)
        bytes += processes.footprintEstimate(process.pid).value_or(0);
    return bytes;
}
