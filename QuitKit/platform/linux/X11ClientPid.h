#pragma once

#include <QList>

#include <sys/types.h>
#include <xcb/xcb.h>

class X11Connection;

// Which process owns each window: the X server's own record of its local clients (XRes), else
// the _NET_WM_PID the window states about itself.
namespace X11ClientPid
{

// One pid per window, in the same order; 0 where neither source knows it.
QList<pid_t> of(X11Connection& connection, const QList<xcb_window_t>& windows);

} // namespace X11ClientPid
