#include "TestApps.h"

namespace TestApps
{

RunningApplication running(pid_t pid, std::optional<QString> name, std::optional<QString> bundleID)
{
    RunningApplication app;
    app.processIdentifier = pid;
    app.localizedName = std::move(name);
    app.bundleIdentifier = std::move(bundleID);
    return app;
}

AppEntry entry(pid_t pid, const QString& name, std::optional<QString> bundleID, quint64 memory)
{
    AppEntry app;
    app.pid = pid;
    app.name = name;
    app.bundleID = std::move(bundleID);
    app.memory = memory;
    return app;
}

void addRunning(FakeWorkspace& workspace, FakeProcessInfo& processes, pid_t pid,
                const QString& name, std::optional<QString> bundleID, quint64 footprint)
{
    workspace.addApp(running(pid, name, std::move(bundleID)));
    processes.add(pid, {.footprint = footprint});
}

} // namespace TestApps
