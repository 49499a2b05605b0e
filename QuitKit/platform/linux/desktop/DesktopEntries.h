#pragma once

#include "DesktopEntry.h"

#include <QList>
#include <QString>

#include <optional>

// The installed desktop entries as GIO sees them ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
namespace DesktopEntries
{

// The entry with this desktop-file ID, given with or without ".desktop".
std::optional<DesktopEntry> byId(const QString& id);
// The entry in this file, wherever it lies.
std::optional<DesktopEntry> byFilename(const QString& filename);
// Every entry that is not hidden.
QList<DesktopEntry> all();
// Starts the entry's program in the background (never given focus on mapping) and without
// waiting; false when the entry cannot be read or started.
bool launch(const QString& filename);

} // namespace DesktopEntries
