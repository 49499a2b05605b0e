#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>
#include <xcb/xcb.h>

class X11Connection;

// Which local process owns each window, trusting only what the kernel confirms: the pid the X
// server recorded for the window's client (X-Resource), else the window's own _NET_WM_PID when
// WM_CLIENT_MACHINE names this host; either counts only while that process holds a connection
// to this very server. A client that forked and exited goes to the one process holding its
// connection now, when no other client could be meant.
namespace X11ClientPid
{

// One pid per window, in the same order; 0 where no process could be verified.
QList<pid_t> of(X11Connection& connection, const QList<xcb_window_t>& windows,
                const QString& procRoot = QStringLiteral("/proc"));

} // namespace X11ClientPid
