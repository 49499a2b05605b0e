#include "RunningApps.h"

#include "LocalizedCompare.h"
#include "ProcessInfo.h"
#include "ProcessMemory.h"
#include "Workspace.h"

#include <QFileInfo>

#include <algorithm>

namespace
{

bool isListed(const RunningApplication& app, pid_t ownPid, const QSet<QString>& keep)
{
    if (app.activationPolicy != ActivationPolicy::Regular || app.isTerminated ||
        app.processIdentifier == ownPid)
        return false;
    const QString bundleID = app.bundleIdentifier.value_or(QString());
    return !RunningApps::alwaysKept().contains(bundleID) && !keep.contains(bundleID);
}

// The file name without its last extension: "Foo Bar.app" gives "Foo Bar".
QString bundleName(QString location)
{
    while (location.endsWith(QLatin1Char('/')))
        location.chop(1);
    return QFileInfo(location).completeBaseName();
}

QString displayName(const RunningApplication& app)
{
    if (app.localizedName && !app.localizedName->isEmpty())
        return *app.localizedName;
    if (app.bundleURL) {
        if (QString name = bundleName(*app.bundleURL); !name.isEmpty())
            return name;
    }
    return QStringLiteral("App");
}

} // namespace

const QSet<QString>& RunningApps::alwaysKept()
{
    // A function-local static is initialised once, also under concurrent first use.
    static const QSet<QString> kept{QStringLiteral("com.apple.finder")};
    return kept;
}

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
            if (app.processIdentifier > 0)
                pids.insert(app.processIdentifier);
        }
        memory = ProcessMemory::totals(processes, pids);
    }

    QList<AppEntry> entries;
    entries.reserve(listed.size());
    for (const RunningApplication& app : listed) {
        entries.append(AppEntry{app.processIdentifier, displayName(app), app.bundleIdentifier,
                                app.bundleURL, memory.value(app.processIdentifier, 0),
                                app.bundleURL ? category(*app.bundleURL) : std::nullopt});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const AppEntry& a, const AppEntry& b) {
        if (a.memory != b.memory)
            return a.memory > b.memory;
        return localizedCompare(a.name, b.name) < 0;
    });
    return entries;
}
