#pragma once

#include "EnvironmentGuard.h"
#include "SessionHome.h"
#include "SessionStart.h"
#include "WaylandApps.h"

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

#include <optional>
#include <sys/types.h>

// A throwaway headless sway for integration tests, with Xwayland. sway refuses to run as root,
// so as root it runs as nobody in a runtime folder of its own; clients run as this process's
// user. start() points this process's environment at it (WAYLAND_DISPLAY, SWAYSOCK, DISPLAY,
// an empty XDG data home); the destructor stops everything and restores it.
class SwaySession
{
public:
    // Windows of a freshly started app appear within this (ms) on a loaded machine.
    static constexpr int appearTimeout = 20000;

    SwaySession();
    ~SwaySession();

    // Starts sway; nothing when it is up, else what is missing or failed.
    std::optional<QString> start();

    QByteArray waylandDisplay() const { return waylandSocket.toLocal8Bit(); }
    QString swaySocket() const { return ipcSocket; }
    // Writes `$XDG_DATA_HOME/applications/<fileId>` and returns its path.
    QString installDesktopEntry(const QString& fileId, const QString& contents) const
    {
        return home.installDesktopEntry(fileId, contents.toUtf8());
    }
    // A folder for the test's own files, removed with the session.
    QString scratchPath(const QString& name) const { return home.scratchPath(name); }
    // Clients of this sway, stopped with the session.
    WaylandApps& apps() { return clients; }
    // The pid of the window sway has focused; 0 when none.
    pid_t focusedPid() const;
    // The pid of each window in sway's tree.
    QList<pid_t> windowPids() const;
    // Every window in sway's tree, as its IPC describes them.
    QList<QJsonObject> windows() const;

private:
    QString waitForFile(const QString& folder, const QString& pattern) const;

    SessionHome home;
    EnvironmentGuard ownEnvironment;
    QString runtimeDir;
    QString waylandSocket;
    QString ipcSocket;
    QProcess sway;
    // Clients keep a runtime folder of their own: sway's belongs to nobody.
    WaylandApps clients{appearTimeout,
                        {{QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("apps"))},
                         {QStringLiteral("SHELL"), QStringLiteral("/bin/sh")}}};
};

// Starts `session` or ends the test: a failure in CI, a skip elsewhere.
#define NIMBREL_START_SWAY(session) NIMBREL_START_SESSION((session).start(), "sway cannot start: ")
