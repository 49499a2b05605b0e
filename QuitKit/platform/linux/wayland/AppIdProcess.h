#pragma once

#include "CompositorClients.h"
#include "DesktopEntry.h"
#include "DesktopFileMatcher.h"

#include <QString>

#include <optional>
#include <sys/types.h>

// Finds an app's process where the compositor names none: the one compositor client that is,
// or was started by, the app of `entry` (its sandbox, app unit, launcher hint or command).
namespace AppIdProcess
{

// Nothing when no client fits, or when more than one does.
std::optional<pid_t> of(const DesktopEntry& entry, CompositorClients& clients,
                        const DesktopFileMatcher& matcher,
                        const QString& procRoot = QStringLiteral("/proc"));

} // namespace AppIdProcess
