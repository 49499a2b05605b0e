#pragma once

#include "Workspace.h"

#include <memory>

// Picks the backend that can see this session's apps.
namespace WorkspaceFactory
{

/// X11 for an X display (Xwayland included) and, on a Wayland session whose compositor lists
/// its windows (wlroots: sway and others; KDE Plasma's KWin, to programs whose desktop entry
/// asks for its window management), the Wayland backend for the native apps, combined
/// when both answer. A Wayland session that only X11 can serve lists its apps with a partial
/// gap. Otherwise an UnsupportedWorkspace, which lists nothing and whose reason() says why
/// ("no display", a Wayland session without XWayland, a display that refuses the connection).
/// On GNOME, whose compositor lists no windows, the session's app units stand in for the list.
std::unique_ptr<Workspace> createWorkspace();

} // namespace WorkspaceFactory
