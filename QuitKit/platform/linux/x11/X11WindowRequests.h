#pragma once

#include <QList>

#include <xcb/xcb.h>

class X11Connection;

// What a pager asks of managed windows, with a real server time so window managers obey.
namespace X11WindowRequests
{

// Asks each window to close as if the user clicked its close button: _NET_CLOSE_WINDOW through
// a window manager that supports it, else WM_DELETE_WINDOW straight to the client. A window
// without WM_DELETE_WINDOW is never asked: a window manager would kill its client. Nothing is
// destroyed or killed. False when no window could be asked.
bool close(X11Connection& connection, const QList<xcb_window_t>& windows);
// Sends _NET_WM_PING to each window that lists it in WM_PROTOCOLS; a client that runs answers
// through the root window (X11Connection::pingAnswered). The windows pinged.
QList<xcb_window_t> ping(X11Connection& connection, const QList<xcb_window_t>& windows);
// Raises and focuses the window (_NET_ACTIVE_WINDOW).
bool activate(X11Connection& connection, xcb_window_t window);

} // namespace X11WindowRequests
