#pragma once

#include "X11Window.h"

#include <QList>

class X11Connection;

// The windows the window manager manages (_NET_CLIENT_LIST), read afresh with what each tells
// about its app.
namespace X11Windows
{

// In the window manager's order; empty when no window manager lists any.
QList<X11Window> managed(X11Connection& connection);

} // namespace X11Windows
