#include "X11WorkArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/private/qhighdpiscaling_p.h>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace
{

// The 32-bit values of a root window property; empty when it is not set.
QList<uint32_t> rootCardinals(xcb_connection_t* connection, xcb_window_t root, const char* name)
{
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(name)), name), nullptr);
    QList<uint32_t> values;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        xcb_get_property_reply_t* property = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_CARDINAL, 0, 4 * 64),
            nullptr);
        if (property && property->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(property));
            values = QList<uint32_t>(data, data + xcb_get_property_value_length(property) / 4);
        }
        std::free(property);
    }
    std::free(atom);
    return values;
}

} // namespace

namespace X11WorkArea
{

std::optional<QRect> current(const QScreen& screen)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const QList<uint32_t> desktop = rootCardinals(connection, root, "_NET_CURRENT_DESKTOP");
    const QList<uint32_t> areas = rootCardinals(connection, root, "_NET_WORKAREA");
    // One x, y, width, height per desktop.
    const qsizetype first = 4 * qsizetype(desktop.isEmpty() ? 0 : desktop.first());
    if (areas.size() < first + 4)
        return std::nullopt;
    const QRect native{int(areas[first]), int(areas[first + 1]), int(areas[first + 2]),
                       int(areas[first + 3])};
    return QHighDpi::fromNativePixels(native, &screen);
}

} // namespace X11WorkArea
