#pragma once

#include "AppIdentity.h"
#include "DesktopEntry.h"
#include "InstalledEntries.h"
#include "ProcProcessInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Finds the desktop entry of the app behind a window, trying in turn: the sandbox's app id
// (Flatpak, snap), the id the toolkit sets on the window, WM_CLASS against StartupWMClass,
// WM_CLASS as a file name, the systemd app unit, the launcher's hint in the environment, and
// the program name against the entries' Exec.
class DesktopFileMatcher
{
public:
    explicit DesktopFileMatcher(QString procRoot = QStringLiteral("/proc"));

    // The entry of the app whose windows (all of one process, taskbar windows first) say `windows`.
    std::optional<DesktopEntry> match(const QList<AppIdentity>& windows) const;
    // The entry of the app process `pid` runs, from the process alone, never its windows.
    std::optional<DesktopEntry> matchProcess(pid_t pid) const;

private:
    // Every installed entry, looked up at most once per match and only when a check needs it.
    class Installed
    {
    public:
        explicit Installed(InstalledEntries& all_) : all(all_) {}
        const QList<DesktopEntry>& entries();

    private:
        InstalledEntries& all;
        const QList<DesktopEntry>* read = nullptr;
    };

    std::optional<DesktopEntry> byWindow(const AppIdentity& window, Installed& installed) const;
    std::optional<DesktopEntry> byProcess(pid_t pid, Installed& installed) const;
    std::optional<DesktopEntry> bySandbox(pid_t pid) const;
    std::optional<DesktopEntry> byToolkitId(const AppIdentity& window) const;
    std::optional<DesktopEntry> byStartupWmClass(const AppIdentity& window,
                                                 Installed& installed) const;
    std::optional<DesktopEntry> byWmClassFile(const AppIdentity& window) const;
    std::optional<DesktopEntry> byAppUnit(pid_t pid) const;
    std::optional<DesktopEntry> byLauncherHint(pid_t pid) const;
    std::optional<DesktopEntry> byExec(pid_t pid, Installed& installed) const;

    QByteArray procFile(pid_t pid, const char* name) const;

    QString procRoot;
    ProcProcessInfo processes;
    mutable InstalledEntries allEntries; // kept from one match to the next
};
