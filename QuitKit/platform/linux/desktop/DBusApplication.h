#pragma once

#include <QString>

// An app that owns its desktop-file ID as a bus name (DBusActivatable=true, or a GApplication
// whose ID is its desktop file's), reached the way GApplication exports itself.
namespace DBusApplication
{

/// Whether `id` can be a well-known bus name, as GApplication would own it: two or more
/// elements of letters, digits, '_' and '-', none starting with a digit.
bool isBusName(const QString& id);
/// The object path GApplication exports `id` at: "/" + id, '.' as '/' and '-' as '_'.
QString objectPath(const QString& id);
/// Asks the running app `id` to show itself (org.freedesktop.Application.Activate) and returns
/// at once; a name nobody owns is not started for it. False when there is no session bus.
bool activate(const QString& id);

} // namespace DBusApplication
