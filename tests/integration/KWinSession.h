#pragma once

#include "EnvironmentGuard.h"
#include "ForeignToplevel.h"
#include "SessionBus.h"
#include "SessionHome.h"
#include "SessionStart.h"
#include "WaylandApps.h"

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

// A throwaway KWin for integration tests: a copy of kwin_wayland on a virtual output with
// Xwayland, its own runtime folder and session bus. The installed binary carries a file
// capability these machines refuse to exec; a plain copy runs. KWin hands its window list only
// to programs an installed desktop entry vouches for (X-KDE-Wayland-Interfaces, Exec = the
// program's absolute path), so start() installs such entries for `trustedPrograms`. It points
// this process's environment at KWin (WAYLAND_DISPLAY, DISPLAY, an XDG data home of its own);
// the destructor stops everything and restores it.
class KWinSession
{
public:
    // Windows of a freshly started app appear within this (ms) on a loaded machine.
    static constexpr int appearTimeout = 30000;

    KWinSession();
    ~KWinSession();

    // Starts KWin; nothing when it is up, else what is missing or failed.
    std::optional<QString> start(const QStringList& trustedPrograms);

    // Writes `$XDG_DATA_HOME/applications/<fileId>` and returns its path.
    QString installDesktopEntry(const QString& fileId, const QString& contents) const
    {
        return home.installDesktopEntry(fileId, contents.toUtf8());
    }
    // A folder for the test's own files, removed with the session.
    QString scratchPath(const QString& name) const { return home.scratchPath(name); }
    // Clients of this KWin, stopped with the session.
    WaylandApps& apps() { return clients; }
    // The pid KWin names for its active window, as any taskbar hears it; 0 when none.
    pid_t activePid() const;
    // KWin's window list now, as Plasma's taskbar reads it.
    QList<ForeignToplevel> windows() const;

private:
    SessionHome home;
    EnvironmentGuard ownEnvironment;
    QString runtimeDir;
    SessionBus bus;
    QProcess kwin;
    WaylandApps clients{appearTimeout};
};

// Starts `session` or ends the test: a failure in CI, a skip elsewhere.
#define NIMBREL_START_KWIN(session, trusted)                                                       \
    NIMBREL_START_SESSION((session).start(trusted), "KWin cannot start: ")
