#pragma once

#include "AppEntry.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

class ProcessInfo;
class Workspace;

// The user's running ordinary apps, read afresh on every call.
namespace RunningApps
{

// Identifiers of apps that are never listed.
const QSet<QString>& alwaysKept();

// The regular running apps except the program itself, `alwaysKept()` and `keep`, largest memory
// user first (then by name); memory is measured only when `measure` is true.
QList<AppEntry> snapshot(Workspace& workspace, const ProcessInfo& processes, bool measure,
                         const QSet<QString>& keep);

// The category identifier an app declares at `location` (a desktop file, or a bundle directory
// with Contents/Info.plist); nothing when it declares none or the file cannot be read.
std::optional<QString> category(const QString& location);

} // namespace RunningApps
