#include "WorkspaceFactory.h"

#include "CombinedWorkspace.h"
#include "GnomeWorkspace.h"
#include "UnsupportedWorkspace.h"
#include "WaylandWorkspace.h"
#include "X11Workspace.h"

#include <QCoreApplication>

#include <variant>

namespace
{

bool isWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qgetenv("XDG_SESSION_TYPE") == "wayland";
}

// GNOME's compositor lists no windows to other programs: the session's app units stand in.
std::unique_ptr<Workspace> gnomeWorkspace(X11Workspace* xwayland)
{
    const bool gnome = qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                           .split(QLatin1Char(':'))
                           .contains(QLatin1String("GNOME"), Qt::CaseInsensitive);
    auto workspace = std::make_unique<GnomeWorkspace>();
    if (!gnome && workspace->problem())
        return nullptr;
    // An app unit can hold an X client other than its oldest process: X11 lists that app.
    if (xwayland)
        workspace->leaveOutUnitsOf([xwayland] {
            QList<pid_t> pids;
            for (const RunningApplication& app : xwayland->runningApplications())
                pids.append(app.pid);
            return pids;
        });
    return workspace;
}

// The Wayland backend when the session's compositor lists its windows; else why not. Apps
// that `xwayland` lists are left to it.
std::variant<std::unique_ptr<Workspace>, QString> waylandWorkspace(X11Workspace* xwayland)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("WAYLAND_DISPLAY is not set");
    auto workspace =
        std::make_unique<WaylandWorkspace>(QByteArray(), qEnvironmentVariable("SWAYSOCK"));
    if (std::optional<QString> problem = workspace->problem()) {
        if (std::unique_ptr<Workspace> gnome = gnomeWorkspace(xwayland))
            return gnome;
        return *problem;
    }
    if (xwayland)
        workspace->leaveOutWindowsOf([xwayland] { return xwayland->windows(); });
    return workspace;
}

std::unique_ptr<Workspace> combined(std::unique_ptr<Workspace> first,
                                    std::unique_ptr<Workspace> second,
                                    std::optional<Workspace::ListingGap> missing = std::nullopt)
{
    std::vector<std::unique_ptr<Workspace>> backends;
    backends.push_back(std::move(first));
    if (second)
        backends.push_back(std::move(second));
    return std::make_unique<CombinedWorkspace>(std::move(backends), std::move(missing));
}

} // namespace

std::unique_ptr<Workspace> WorkspaceFactory::createWorkspace()
{
    const bool hasX = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!hasX && !isWaylandSession())
        return std::make_unique<UnsupportedWorkspace>(
            QCoreApplication::translate("QuitKit", "no display"));
    // Xwayland's windows are X11's; the Wayland backends leave them out.
    std::unique_ptr<X11Workspace> x11 = hasX ? std::make_unique<X11Workspace>() : nullptr;
    X11Workspace* xwayland = x11 && !x11->problem() ? x11.get() : nullptr;
    std::variant<std::unique_ptr<Workspace>, QString> wayland = QString();
    if (isWaylandSession())
        wayland = waylandWorkspace(xwayland);
    auto* native = std::get_if<std::unique_ptr<Workspace>>(&wayland);
    if (!hasX) {
        if (native)
            return std::move(*native);
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return std::make_unique<UnsupportedWorkspace>(QCoreApplication::translate(
                "QuitKit", "unsupported session: Wayland without XWayland (DISPLAY is not set)"));
        return std::make_unique<UnsupportedWorkspace>(std::get<QString>(wayland));
    }
    if (std::optional<QString> reason = x11->problem()) {
        if (!native)
            return std::make_unique<UnsupportedWorkspace>(*reason);
        // Xwayland's apps stay out of sight; the native ones can still be quit.
        return combined(std::move(*native), nullptr, Workspace::ListingGap{*reason, true});
    }
    if (native)
        return combined(std::move(x11), std::move(*native));
    if (isWaylandSession())
        return combined(
            std::move(x11), nullptr,
            Workspace::ListingGap{QCoreApplication::translate(
                                      "QuitKit", "apps running natively on Wayland are not listed"),
                                  true});
    return x11;
}
