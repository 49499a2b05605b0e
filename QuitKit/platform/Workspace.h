#pragma once

#include "AppIcon.h"
#include "ForceQuitState.h"
#include "RunningApplication.h"
#include "StillOpenReason.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

/// The desktop's running applications and what can be asked of them.
/// Every call is made on the Qt main thread; termination observers are called there too.
class Workspace
{
public:
    using TerminationObserver = std::function<void(pid_t)>;
    using ObserverToken = std::uint64_t;
    /// Given to termination observers when the desktop can no longer be followed (its display
    /// went away): apps not yet seen to end may still run, and no more news will come.
    static constexpr pid_t desktopLost = 0;

    /// Why running apps may be missing from the list. A partial gap leaves some apps out;
    /// any other leaves them all out.
    struct ListingGap {
        QString reason;
        bool partial = false;
    };

    virtual ~Workspace() = default;

    /// Nothing while every running app can be listed.
    virtual std::optional<ListingGap> listingGap() { return std::nullopt; }
    /// Which desktop services the apps are read from, for diagnostics (e.g. "X11").
    virtual QString backendName() const { return {}; }

    /// All running applications, in the platform's order.
    virtual QList<RunningApplication> runningApplications() = 0;
    /// The application whose main process is `pid`; nothing when no application has that pid.
    virtual std::optional<RunningApplication> runningApplication(pid_t pid) = 0;

    /// Asks the app to quit the ordinary way (it may ask to save); the outcome comes by observer.
    virtual bool requestQuit(pid_t pid) = 0;
    /// Calls `done` once every request requestQuit() made so far has gone out; some are prepared
    /// asynchronously, and a program that exits first would never send them.
    virtual void whenRequestsSent(std::function<void()> done) { done(); }
    /// Why an app that requestQuit() asked is still open, from what it did since; none when
    /// nothing tells.
    virtual StillOpenReason stillOpenReason(pid_t /*pid*/) { return StillOpenReason::none; }
    /// Whether forceQuit() may act on the app: possible, unverified or otherUser.
    virtual ForceQuitState forceQuitState(pid_t /*pid*/) { return ForceQuitState::possible; }
    /// Kills the app at once; false when it is gone or could not be signalled.
    virtual bool forceQuit(pid_t pid) = 0;
    /// Brings the app's window forward.
    virtual bool activate(pid_t pid) = 0;

    /// Calls `observer` with the pid of every application seen to end, until removed; and with
    /// `desktopLost` when the desktop goes away.
    virtual ObserverToken addTerminationObserver(TerminationObserver observer) = 0;
    virtual void removeTerminationObserver(ObserverToken token) = 0;

    /// Path of the installed desktop file with this desktop ID.
    virtual std::optional<QString> installedDesktopFile(const QString& desktopId) = 0;
    /// Icon the desktop file names; empty when it names none.
    virtual AppIcon desktopFileIcon(const QString& desktopFile) = 0;
    /// Icon a running app shows on its own windows; empty when it shows none.
    virtual AppIcon windowIcon(pid_t pid) = 0;
    /// Whether the desktop file names a program to start (an `Exec` that can run).
    virtual bool canLaunchDesktopFile(const QString& desktopFile) = 0;
    /// Starts the app a desktop file describes, in the background; does not wait for it.
    virtual void launchDesktopFile(const QString& desktopFile) = 0;
};
