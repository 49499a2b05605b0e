#pragma once

// Whether the X server's windows are drawn by a compositing manager.
namespace X11Compositor
{

/// True while a compositing manager holds the screen's `_NET_WM_CM_Sn` selection: only then do
/// translucent pixels of a window show what lies behind it (without one they come out black).
bool running();

} // namespace X11Compositor
