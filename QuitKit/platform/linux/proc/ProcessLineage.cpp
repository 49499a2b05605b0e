#include "ProcessLineage.h"

#include "ProcStat.h"

bool ProcessLineage::any(pid_t process, int generations, const std::function<bool(pid_t)>& test,
                         const QString& procRoot)
{
    for (int depth = 0; process > 1 && depth < generations; ++depth) {
        if (test(process))
            return true;
        const std::optional<ProcStat> stat = ProcStat::read(procRoot, process);
        if (!stat)
            return false;
        process = stat->parent;
    }
    return false;
}
