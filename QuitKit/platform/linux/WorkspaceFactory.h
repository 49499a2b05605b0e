#pragma once

#include "Workspace.h"

#include <QString>

#include <memory>
#include <optional>

// Picks the backend that can see this session's apps.
namespace WorkspaceFactory
{

/// Why this session's apps cannot be seen ("no display", a Wayland session without XWayland, an
/// X display that refuses the connection); nothing when a backend can list them.
std::optional<QString> unsupportedReason();

/// The X11 backend when an X display answers (XWayland included); otherwise a workspace that
/// lists nothing and whose reason() is unsupportedReason().
std::unique_ptr<Workspace> createWorkspace();

} // namespace WorkspaceFactory
