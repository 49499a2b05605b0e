#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <xcb/xcb.h>

class X11Connection;

// The icon a window shows of itself (_NET_WM_ICON).
namespace X11WindowIcon
{

// The largest image of a _NET_WM_ICON value (width, height, then ARGB rows, repeated); a null
// image when none is whole.
QImage largest(const std::uint32_t* data, std::size_t length);
// The largest image the window states; a null image when it states none.
QImage of(X11Connection& connection, xcb_window_t window);

} // namespace X11WindowIcon
