#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

// A private cgroup tree under the real cgroup v2 mount laid out as a user manager keeps it
// (…/user.slice/user-UID.slice/user@UID.service/app.slice), so /proc/PID/cgroup of a process
// moved into one of its units reads as under GNOME. The destructor moves what still runs in the
// folders it made out of them and removes them.
//
// Run as the desktop user, the test lives in the tree itself, in the manager's init.scope, as
// a session's programs live in their user manager's: root made the tree and handed the
// manager's part to that user, as systemd delegates one (runAsDesktopUser()).
class CgroupAppSlice
{
public:
    CgroupAppSlice() = default;
    ~CgroupAppSlice();
    CgroupAppSlice(const CgroupAppSlice&) = delete;
    CgroupAppSlice& operator=(const CgroupAppSlice&) = delete;

    // Called first thing in a test's initMain() in place of DesktopUser::becomeUnprivileged():
    // as root, makes a tree for the desktop user, moves this process into it and runs the test
    // as that user in a child; this process stays root only to remove the tree once the child
    // has ended, and exits with its status.
    static void runAsDesktopUser();

    // Makes the tree, or takes the one handed to this user; nothing when it is there, else why
    // it cannot be.
    std::optional<QString> create();
    // The cgroup root for the workspace under test, which finds its slice from there.
    QString root() const { return workspaceRoot; }
    // Makes the unit folder `name` in the app slice and returns its path.
    QString addUnit(const QString& name);

private:
    // Makes a tree whose user manager is `owner`'s.
    std::optional<QString> makeTree(uid_t owner);
    // Makes a tree for the desktop user, hands its manager's part over and moves this process
    // into the manager's init.scope; the manager's folder, or nothing when that failed.
    std::optional<QString> handToDesktopUser();
    // Takes the folders another process made in the tree as its own to remove.
    void adoptFoldersMadeBelow();
    bool makeFolder(const QString& folder);

    QString mount;
    QString workspaceRoot;
    QString slice;
    QString refuge;      // where the destructor moves what still runs in its folders
    QStringList folders; // in the order made
};
