#include "InUseApps.h"

#include "MediaCapture.h"
#include "ProcessMemory.h"

InUseApps::InUseApps(MediaCapture& capture_, const ProcessInfo& processes_)
    : capture(capture_), processes(processes_)
{
}

QSet<pid_t> InUseApps::among(const QList<AppEntry>& entries)
{
    QSet<pid_t> apps;
    for (const AppEntry& app : entries) {
        // An app whose process could not be verified owns nothing.
        if (app.pid > 0)
            apps.insert(app.pid);
    }
    const QSet<pid_t> capturing = capture.capturingProcesses();
    if (capturing != lastCapturing || apps != lastApps) {
        lastOwners = owners(processes, capturing, apps);
        lastCapturing = capturing;
        lastApps = apps;
    }
    return lastOwners;
}

QSet<pid_t> InUseApps::owners(const ProcessInfo& processes, const QSet<pid_t>& capturing,
                              const QSet<pid_t>& apps)
{
    QSet<pid_t> found;
    for (const pid_t pid : capturing) {
        if (const std::optional<pid_t> app = ProcessMemory::owner(processes, pid, apps))
            found.insert(*app);
    }
    return found;
}
