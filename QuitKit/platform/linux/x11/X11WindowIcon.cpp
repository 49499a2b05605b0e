#include "X11WindowIcon.h"

#include "X11Connection.h"

#include <cstdlib>

AppIcon X11WindowIcon::largest(const std::uint32_t* data, std::size_t length)
{
    const std::uint32_t* best = nullptr;
    std::uint64_t bestArea = 0;
    std::size_t at = 0;
    while (length - at >= 2) {
        const std::uint64_t width = data[at];
        const std::uint64_t height = data[at + 1];
        const std::uint64_t area = width * height;
        // Sizes come from another client: a claim beyond the data ends the walk.
        if (width == 0 || height == 0 || width > 4096 || height > 4096 || area > length - at - 2)
            break;
        if (area > bestArea) {
            best = data + at;
            bestArea = area;
        }
        at += 2 + area;
    }
    if (!best)
        return {};
    AppIcon icon;
    icon.size = QSize(int(best[0]), int(best[1]));
    icon.argb = QList<std::uint32_t>(best + 2, best + 2 + bestArea);
    return icon;
}

AppIcon X11WindowIcon::of(X11Connection& connection, xcb_window_t window)
{
    if (connection.problem())
        return {};
    xcb_connection_t* xcb = connection.xcb();
    // Generous room: a full set of icons up to 256 px is about a quarter million words.
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(xcb,
                               xcb_get_property(xcb, 0, window, connection.ewmh()->_NET_WM_ICON,
                                                XCB_ATOM_CARDINAL, 0, 1u << 20),
                               nullptr);
    if (!reply)
        return {};
    AppIcon icon;
    if (reply->format == 32)
        icon = largest(static_cast<const std::uint32_t*>(xcb_get_property_value(reply)),
                       std::size_t(xcb_get_property_value_length(reply)) / 4);
    free(reply);
    return icon;
}
