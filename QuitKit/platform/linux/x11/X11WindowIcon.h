#pragma once

#include "AppIcon.h"

#include <cstddef>
#include <cstdint>
#include <xcb/xcb.h>

class X11Connection;

// The icon a window shows of itself (_NET_WM_ICON).
namespace X11WindowIcon
{

// The largest image of a _NET_WM_ICON value (width, height, then ARGB rows, repeated); empty
// when none is whole.
AppIcon largest(const std::uint32_t* data, std::size_t length);
// The largest image the window states; empty when it states none.
AppIcon of(X11Connection& connection, xcb_window_t window);

} // namespace X11WindowIcon
