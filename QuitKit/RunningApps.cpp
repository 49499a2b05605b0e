#include "RunningApps.h"

#include "LocalizedCompare.h"
#include "ProcessInfo.h"
#include "ProcessMemory.h"
#include "ShownText.h"
#include "Workspace.h"

#include <QFileInfo>

#include <algorithm>

namespace
{

bool isListed(const RunningApplication& app, pid_t ownPid, const QSet<QString>& keep)
{
    return app.onTaskbar && !app.hasExited && app.pid != ownPid &&
           !keep.contains(app.desktopId.value_or(QString()));
}

// Names come from other programs and from files anyone may have written, so they are cleaned
// once here for every view that shows them.
QString displayName(const RunningApplication& app)
{
    if (app.name) {
        if (QString name = ShownText::oneLine(*app.name); !name.isEmpty())
            return name;
    }
    if (app.desktopFile) {
        const QString base = QFileInfo(*app.desktopFile).completeBaseName();
        if (QString name = ShownText::oneLine(base); !name.isEmpty())
            return name;
    }
    return QStringLiteral("App");
}

} // namespace

QList<AppEntry> RunningApps::snapshot(Workspace& workspace, const ProcessInfo& processes,
                                      bool measure, const QSet<QString>& keep)
{
    const pid_t ownPid = processes.ownPid();
    QList<RunningApplication> listed = workspace.runningApplications();
    listed.removeIf([&](const RunningApplication& app) { return !isListed(app, ownPid, keep); });

    QHash<pid_t, quint64> memory;
    if (measure) {
        QSet<pid_t> pids;
        // An app whose process is unknown has no memory to measure.
        for (const RunningApplication& app : listed) {
            if (app.pid > 0)
                pids.insert(app.pid);
        }
        memory = ProcessMemory::totals(processes, pids);
    }

    QList<AppEntry> entries;
    entries.reserve(listed.size());
    for (const RunningApplication& app : listed) {
        entries.append(AppEntry{app.pid, displayName(app), app.desktopId, app.desktopFile,
                                memory.value(app.pid, 0), app.categories});
    }
    sortLargestFirst(entries);
    return entries;
}

void RunningApps::sortLargestFirst(QList<AppEntry>& apps)
{
    std::stable_sort(apps.begin(), apps.end(), [](const AppEntry& a, const AppEntry& b) {
        if (a.memory != b.memory)
            return a.memory > b.memory;
        return localizedCompare(a.name, b.name) < 0;
    });
}
