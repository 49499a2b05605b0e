#pragma once

#include "Workspace.h"

#include <memory>

// Picks the backend that can see this session's apps.
namespace WorkspaceFactory
{

/// The X11 backend when an X display answers (XWayland included); otherwise an
/// UnsupportedWorkspace, which lists nothing and whose reason() says why ("no display", a Wayland
/// session without XWayland, an X display that refuses the connection).
std::unique_ptr<Workspace> createWorkspace();

} // namespace WorkspaceFactory
