#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// The app units of the user's systemd manager, as folders of the cgroup v2 tree:
// …/user@UID.service/app.slice, the slices nested in it, and one folder per unit.
namespace AppSlice
{

struct Unit {
    QString name; // e.g. "app-gnome-org.gnome.TextEditor-4242.scope"
    QString folder;
};

struct Tree {
    QList<Unit> units;
    QStringList slices; // app.slice and every slice nested in it
};

/// Where cgroup v2 is mounted: /sys/fs/cgroup, or /sys/fs/cgroup/unified on a hybrid system.
QString defaultCgroupRoot();
/// The app.slice folder of `uid`'s manager under `cgroupRoot`: on the path of `ownCgroup` (the
/// text of /proc/self/cgroup) when this program runs under that manager, else at
/// user.slice/user-UID.slice/user@UID.service/app.slice.
QString folder(const QString& cgroupRoot, const QByteArray& ownCgroup, uid_t uid);
/// The app units and slices under `sliceFolder`; empty when it cannot be read.
Tree scan(const QString& sliceFolder);
/// Every process in the unit's folder and the groups below it.
QList<pid_t> processes(const QString& unitFolder);

} // namespace AppSlice
