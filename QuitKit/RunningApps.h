#pragma once

#include "AppEntry.h"

#include <QList>
#include <QSet>
#include <QString>

class ProcessInfo;
class Workspace;

// The user's running ordinary apps, read afresh on every call.
namespace RunningApps
{

// The running apps the taskbar shows, except the program itself and those whose desktop ID is in
// `keep`, largest memory user first (then by name); memory is measured only when `measure` is
// true.
QList<AppEntry> snapshot(Workspace& workspace, const ProcessInfo& processes, bool measure,
                         const QSet<QString>& keep);

// Orders `apps` as snapshot() does: largest memory user first, then by name.
void sortLargestFirst(QList<AppEntry>& apps);

} // namespace RunningApps
