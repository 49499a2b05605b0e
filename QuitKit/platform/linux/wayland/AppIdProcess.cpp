#include "AppIdProcess.h"

#include "ProcStat.h"

namespace
{

// Launchers and wrappers sit a few levels above the client, never this many.
constexpr int deepestLauncher = 8;

bool belongsTo(pid_t process, const DesktopEntry& entry, const DesktopFileMatcher& matcher,
               const QString& procRoot)
{
    for (int depth = 0; process > 1 && depth < deepestLauncher; ++depth) {
        const std::optional<DesktopEntry> found = matcher.matchProcess(process);
        if (found && found->id == entry.id)
            return true;
        const std::optional<ProcStat> stat = ProcStat::read(procRoot, process);
        if (!stat)
            return false;
        process = stat->parent;
    }
    return false;
}

} // namespace

std::optional<pid_t> AppIdProcess::of(const DesktopEntry& entry, CompositorClients& clients,
                                      const DesktopFileMatcher& matcher, const QString& procRoot)
{
    std::optional<pid_t> found;
    for (pid_t client : clients.all()) {
        if (!belongsTo(client, entry, matcher, procRoot))
            continue;
        if (found)
            return std::nullopt;
        found = client;
    }
    return found;
}
