#pragma once

#include "DesktopEntry.h"
#include "DesktopFileMatcher.h"
#include "ForeignToplevel.h"
#include "LinuxWorkspace.h"
#include "QuitRequests.h"
#include "X11Window.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class CompositorClients;
class SwayIpc;
class ToplevelSource;
class WaylandConnection;

// What the Wayland backend keeps of an app besides its process and desktop entry.
struct WaylandAppWindows {
    QString appId;
    QList<ForeignToplevel> toplevels; // main windows first, then their dialogs
};

// The native Wayland apps of a wlroots compositor (sway first), of KDE Plasma's KWin, or of a
// compositor offering only the ext toplevel list: the taskbar toplevels of its window list, each
// owned by the process KWin or sway's IPC names for it, else by the one client process the app
// id leads to, and only while that process is a client of the compositor; Xwayland windows are
// left to the X11 backend. Toplevels whose process cannot be verified form one app per app id
// under a negative id: they can be asked to close but are never killed or measured, and end
// when their last toplevel closes. Where the compositor takes no requests (the ext list), a
// verified app of a D-Bus activatable entry is asked on its own bus name instead.
class WaylandWorkspace : public AppTableWorkspace<WaylandAppWindows>
{
    Q_OBJECT

public:
    // Connects to `displayName` ($WAYLAND_DISPLAY when empty); `swaySocket` is sway's IPC
    // socket, empty where the compositor has none.
    explicit WaylandWorkspace(const QByteArray& displayName, const QString& swaySocket,
                              const QString& procRoot = QStringLiteral("/proc"),
                              QObject* parent = nullptr);
    ~WaylandWorkspace() override;

    /// Why no apps are listed (no compositor, no toplevel list); nothing while it works.
    std::optional<QString> problem() const override;
    /// Where neither the compositor nor sway's IPC says which toplevels are Xwayland's, one
    /// whose app id and title match a window of `x11Windows` (the X11 backend's) is left to it.
    void leaveOutWindowsOf(std::function<QList<X11Window>()> x11Windows);

    QString backendName() const override;
    bool requestQuit(pid_t pid) override;
    StillOpenReason stillOpenReason(pid_t pid) override;
    bool activate(pid_t pid) override;

private:
    // Whose a main window is, decided against a sway tree at least as new as its app id and
    // title; a verified or Xwayland owner stays decided for the window's life.
    struct Decision {
        enum class Owner { pending, unverified, verified, x11 };
        Owner owner = Owner::pending;
        pid_t pid = 0;
        QString appId;
        QString title;
        std::uint64_t tree = 0;
        bool current = false;
        bool byName = false; // x11 by app id and title alone: reconsidered like unverified
    };

    void update() override;
    bool isLost() const override;
    QString fallbackName(const App& app) const override { return app.appId; }
    bool isOnTaskbar(const App& app) const override { return !app.toplevels.isEmpty(); }
    QList<std::uint32_t> windowIds(const App& app) const override { return idsOf(app.toplevels); }
    void dropped(pid_t pid) override;
    void takeWindows(const QHash<pid_t, QList<ForeignToplevel>>& windowsOf,
                     const QList<pid_t>& order);
    // The id of the app a main window is listed under; nothing while undecided or for X11.
    std::optional<pid_t> ownerOf(const ForeignToplevel& window, CompositorClients* clients);
    void decide(Decision& decision, const ForeignToplevel& window, CompositorClients* clients);
    // Takes X11's window names afresh; true when they changed.
    bool takeX11Names();
    pid_t unverifiedId(const QString& appId);
    std::optional<DesktopEntry> entryOf(const QString& appId, pid_t pid) const;
    // Its desktop entry names a bus name that only its verified process may own.
    static bool hasBusName(const App& app)
    {
        return isVerified(app) && app.entry && app.entry->dbusActivatable;
    }
    QList<std::uint32_t> mainWindows(const App& app) const;

    std::unique_ptr<WaylandConnection> connection;
    std::unique_ptr<ToplevelSource> toplevels;
    std::unique_ptr<SwayIpc> sway;
    DesktopFileMatcher matcher;
    QHash<std::uint32_t, Decision> decisions; // by main window
    QHash<QString, pid_t> unverifiedIds;      // app id -> its negative id while it has windows
    QuitRequests requests;
    pid_t nextUnverifiedId;
    std::uint64_t treeNeeded = 0; // the sway tree that shows the windows as last announced
    std::function<QList<X11Window>()> x11Windows;
    QSet<std::pair<QString, QString>> x11Names; // (WM_CLASS class or instance, title)
};
