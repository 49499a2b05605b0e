#include "X11Compositor.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdlib>
#include <xcb/xcb.h>

namespace X11Compositor
{

bool running()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The off-screen platform offers the interface too, without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    // The screen the program's DISPLAY names, as Qt opens it.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    else
        screen = 0;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
        nullptr);
    bool owned = false;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    return owned;
}

} // namespace X11Compositor
