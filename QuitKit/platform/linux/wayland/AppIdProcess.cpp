#include "AppIdProcess.h"

#include "ProcessLineage.h"

namespace
{

// Launchers and wrappers sit a few levels above the client, never this many.
constexpr int deepestLauncher = 8;

bool belongsTo(pid_t process, const DesktopEntry& entry, const DesktopFileMatcher& matcher,
               const QString& procRoot)
{
    const auto isTheApp = [&](pid_t p) {
        const std::optional<DesktopEntry> found = matcher.matchProcess(p);
        return found && found->id == entry.id;
    };
    return ProcessLineage::any(process, deepestLauncher, isTheApp, procRoot);
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
