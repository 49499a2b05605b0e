#pragma once

#include "AppEntry.h"
#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "RunningApplication.h"

#include <QString>

#include <optional>

// Apps as the tests write them down: only the fields a test cares about are given.
namespace TestApps
{

// An app as the workspace reports it; an absent name or identifier stays absent.
RunningApplication running(pid_t pid, std::optional<QString> name = std::nullopt,
                           std::optional<QString> desktopId = std::nullopt);
// An app as listed for quitting.
AppEntry entry(pid_t pid, const QString& name, std::optional<QString> desktopId = std::nullopt,
               quint64 memory = 0);
// Lists the app in `workspace` and its process, using `footprint` bytes, in `processes`.
void addRunning(FakeWorkspace& workspace, FakeProcessInfo& processes, pid_t pid,
                const QString& name, std::optional<QString> desktopId, quint64 footprint);
// The apps' pids, in their order.
QList<pid_t> pids(const QList<AppEntry>& apps);

} // namespace TestApps
