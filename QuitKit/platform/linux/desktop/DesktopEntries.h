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
// Where an installed entry lies: its desktop-file ID and file, an ID found first hiding the
// same ID further down the folders.
struct Location {
    QString id;
    QString filename;
};

// Every installed entry's location, in the folders' order; reads no entry.
QList<Location> locations();
// The entries at these locations that are not hidden.
QList<DesktopEntry> at(const QList<Location>& locations);
// Whether the entry names a program that can be started (its Exec, and TryExec when given).
bool canLaunch(const QString& filename);
// Starts the entry's program in the background (never given focus on mapping) and without
// waiting; false when the entry cannot be read or started.
bool launch(const QString& filename);

} // namespace DesktopEntries
