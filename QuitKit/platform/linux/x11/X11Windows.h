#pragma once

#include "X11Window.h"

#include <QList>
#include <QString>

#include <optional>

class X11Connection;

// The windows the window manager manages, read afresh with what each tells about its app:
// _NET_CLIENT_LIST, else the top-level windows a window manager marked with WM_STATE. The
// window manager's own windows and dialogs transient for the root window are left out.
namespace X11Windows
{

// In the window manager's order; nothing when windows are on screen but no window manager
// says which of them are apps.
std::optional<QList<X11Window>> managed(X11Connection& connection,
                                        const QString& procRoot = QStringLiteral("/proc"));

} // namespace X11Windows
