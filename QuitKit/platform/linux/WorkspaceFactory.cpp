#include "WorkspaceFactory.h"

#include "UnsupportedWorkspace.h"
#include "X11Workspace.h"

namespace
{

std::optional<QString> sessionWithoutX()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return std::nullopt;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
        return QStringLiteral("unsupported session: Wayland without XWayland (DISPLAY is not set)");
    return QStringLiteral("no display");
}

} // namespace

std::unique_ptr<Workspace> WorkspaceFactory::createWorkspace()
{
    if (auto reason = sessionWithoutX())
        return std::make_unique<UnsupportedWorkspace>(*reason);
    auto workspace = std::make_unique<X11Workspace>();
    if (auto reason = workspace->problem())
        return std::make_unique<UnsupportedWorkspace>(*reason);
    return workspace;
}
