#pragma once

#include "EnvironmentGuard.h"
#include "SessionBus.h"
#include "SessionHome.h"
#include "SessionStart.h"

#include <QHash>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>
#include <sys/types.h>

// A throwaway X11 desktop for integration tests: its own Xvfb, an EWMH window manager
// (openbox, or the one $NIMBREL_WINDOW_MANAGER names: xfwm4, mutter, kwin_x11), a private D-Bus
// session bus, and empty XDG data and config homes. start() points
// this process's environment at them; the destructor stops everything and restores it.
class DesktopSession
{
public:
    // Windows of a freshly started GTK app appear within this (ms) on a loaded machine.
    static constexpr int appearTimeout = 20000;

    // `serverArguments` go to Xvfb after the usual ones, e.g. to switch an extension off.
    explicit DesktopSession(QStringList serverArguments = {});
    // Two monitors side by side, 1024×768 each, that Qt sees as two screens: Xorg's dummy
    // driver with two RandR outputs (Xvfb gives Qt one screen whatever its monitors).
    static constexpr QRect leftMonitor{0, 0, 1024, 768};
    static constexpr QRect rightMonitor{1024, 0, 1024, 768};
    struct TwoMonitors {
    };
    explicit DesktopSession(TwoMonitors);
    ~DesktopSession();

    // Starts the servers; nothing when the desktop is up, else what is missing or failed.
    std::optional<QString> start();

    QString display() const { return displayName; }
    // A folder for the test's own files, removed with the session.
    QString scratchPath(const QString& name) const { return home.scratchPath(name); }
    // Writes `$XDG_DATA_HOME/applications/<fileId>` and returns its path.
    QString installDesktopEntry(const QString& fileId, const QString& contents) const
    {
        return home.installDesktopEntry(fileId, contents.toUtf8());
    }
    // The command that runs test app `script` from the apps folder.
    static QString appCommand(const QString& script);
    // A process, not yet started, that runs on this desktop (Qt programs on its X server) with
    // `environment` added to this process's own.
    static std::unique_ptr<QProcess> process(const QHash<QString, QString>& environment = {});
    // Starts test app `script` with `environment` added; it is stopped with the session.
    QProcess* startApp(const QString& script, const QHash<QString, QString>& environment = {});
    // Pid of the window the window manager calls active; 0 when none.
    pid_t activeWindowPid() const;
    // How many windows the window manager lists as managed (_NET_CLIENT_LIST); 0 when none.
    int managedWindowCount() const;
    // Ends the X server as a crash would.
    void killXServer();
    // Ends the window manager, leaving a bare X server.
    void stopWindowManager();
    // Starts an XEmbed system tray (trayer, a panel at the top right); nothing when it is up,
    // else why not. `trayerArguments` go after the usual ones. Stopped with the session.
    std::optional<QString> startTray(const QStringList& trayerArguments = {});

private:
    bool startXServer(QString& failure);
    bool startTwoMonitors(QString& failure);
    bool startWindowManager(QString& failure);
    bool startBus(QString& failure);

    QStringList serverArguments;
    bool twoMonitors = false;
    SessionHome home;
    EnvironmentGuard ownEnvironment;
    SessionBus bus;
    QString displayName;
    QProcess xServer;
    QProcess windowManager;
    QProcess tray;
    QList<QProcess*> apps;
};

// Starts `session` or ends the test: a failure in CI, a skip elsewhere.
#define NIMBREL_START_DESKTOP(session) NIMBREL_START_SESSION((session).start(), "no test desktop: ")
