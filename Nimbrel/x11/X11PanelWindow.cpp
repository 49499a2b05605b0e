#include "X11PanelWindow.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qpa/qplatformwindow_p.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace
{

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

} // namespace

namespace X11PanelWindow
{

Qt::WindowFlags flags()
{
    return Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}

void prepare(QWindow& window)
{
    using XcbWindow = QNativeInterface::Private::QXcbWindow;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    window.create();
    auto* native = window.nativeInterface<XcbWindow>();
    if (!x11 || !native)
        return;
    native->setWindowType(XcbWindow::Utility);
    xcb_connection_t* connection = x11->connection();
    // Qt adds its own states (above) to these as it maps the window.
    const std::array<xcb_atom_t, 2> states{atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
}

} // namespace X11PanelWindow
