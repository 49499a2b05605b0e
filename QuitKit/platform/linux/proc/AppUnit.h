#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Systemd units that desktops start each launched app in, and the app ids they carry.
// Recognised: app[-<launcher>]-<id>-<random>.scope, app[-<launcher>]-<id>[@<random>].service
// (flatpak included), gnome-launched-<id>-<n>.scope and snap.<pkg>.<app>-<uuid>.scope.
namespace AppUnit
{

/// The desktop-file ID (without ".desktop") of the app a unit was started for; nothing when
/// `unit` is not an app unit. Unit-name escapes such as "\x2d" are undone; a snap app gives
/// "<pkg>_<app>", the name snapd gives its desktop files.
std::optional<QString> applicationId(const QString& unit);

/// Whether `unit` is one of the app unit forms above.
bool isAppUnit(const QString& unit);

/// The app unit a process runs in, from the text of its /proc/PID/cgroup: the deepest app unit
/// of the unified ("0::") path, else of the systemd ("name=systemd") path; nothing otherwise.
std::optional<QString> fromCgroup(const QByteArray& cgroup);

} // namespace AppUnit
