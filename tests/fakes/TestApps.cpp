#include "TestApps.h"

namespace TestApps
{

RunningApplication running(pid_t pid, std::optional<QString> name, std::optional<QString> desktopId)
{
    RunningApplication app;
    app.pid = pid;
    app.name = std::move(name);
    app.desktopId = std::move(desktopId);
    return app;
}

AppEntry entry(pid_t pid, const QString& name, std::optional<QString> desktopId, quint64 memory)
{
    AppEntry app;
    app.pid = pid;
    app.name = name;
    app.desktopId = std::move(desktopId);
    app.memory = memory;
    return app;
}

void addRunning(FakeWorkspace& workspace, FakeProcessInfo& processes, pid_t pid,
                const QString& name, std::optional<QString> desktopId, quint64 footprint)
{
    workspace.addApp(running(pid, name, std::move(desktopId)));
    processes.add(pid, {.footprint = footprint});
}

QList<pid_t> pids(const QList<AppEntry>& apps)
{
    QList<pid_t> listed;
    for (const AppEntry& app : apps)
        listed.append(app.pid);
    return listed;
}

} // namespace TestApps
