#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A private cgroup tree under the real cgroup v2 mount laid out as a user manager keeps it
// (…/user.slice/user-UID.slice/user@UID.service/app.slice), so /proc/PID/cgroup of a process
// moved into one of its units reads as under GNOME. Needs root. The destructor moves what still
// runs in it back to the mount's root and removes the folders.
class CgroupAppSlice
{
public:
    CgroupAppSlice() = default;
    ~CgroupAppSlice();
    CgroupAppSlice(const CgroupAppSlice&) = delete;
    CgroupAppSlice& operator=(const CgroupAppSlice&) = delete;

    // Makes the tree; nothing when it is there, else why it cannot be.
    std::optional<QString> create();
    // The folder that stands for the cgroup root of the user's manager.
    QString root() const { return privateRoot; }
    // Makes the unit folder `name` in the app slice and returns its path.
    QString addUnit(const QString& name);

private:
    bool makeFolder(const QString& folder);

    QString mount;
    QString privateRoot;
    QString slice;
    QStringList folders; // in the order made
};
