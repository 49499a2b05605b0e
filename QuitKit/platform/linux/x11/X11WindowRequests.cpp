#include "X11WindowRequests.h"

#include "X11Connection.h"

#include <xcb/xcb_icccm.h>

#include <cstring>

namespace
{

bool listsProtocol(X11Connection& connection, xcb_window_t window, xcb_atom_t protocol)
{
    xcb_icccm_get_wm_protocols_reply_t protocols;
    if (!xcb_icccm_get_wm_protocols_reply(
            connection.xcb(),
            xcb_icccm_get_wm_protocols(connection.xcb(), window, connection.atom("WM_PROTOCOLS")),
            &protocols, nullptr))
        return false;
    bool lists = false;
    for (uint32_t i = 0; i < protocols.atoms_len; ++i)
        lists = lists || protocols.atoms[i] == protocol;
    xcb_icccm_get_wm_protocols_reply_wipe(&protocols);
    return lists;
}

// A WM_PROTOCOLS message straight to the client that made `window`.
void sendProtocol(X11Connection& connection, xcb_window_t window, xcb_atom_t protocol,
                  xcb_timestamp_t time)
{
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = connection.atom("WM_PROTOCOLS");
    message.data.data32[0] = protocol;
    message.data.data32[1] = time;
    message.data.data32[2] = window; // a ping's answer names its window here
    xcb_send_event(connection.xcb(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

bool X11WindowRequests::close(X11Connection& connection, const QList<xcb_window_t>& windows)
{
    if (connection.problem() || windows.isEmpty() || !connection.responds())
        return false;
    const xcb_timestamp_t time = connection.serverTime();
    const bool throughWindowManager =
        connection.windowManagerSupports(connection.ewmh()->_NET_CLOSE_WINDOW);
    bool asked = false;
    for (xcb_window_t window : windows) {
        if (!listsProtocol(connection, window, connection.atom("WM_DELETE_WINDOW")))
            continue;
        if (throughWindowManager)
            xcb_ewmh_request_close_window(connection.ewmh(), connection.screenNumber(), window,
                                          time, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        else
            sendProtocol(connection, window, connection.atom("WM_DELETE_WINDOW"), time);
        asked = true;
    }
    xcb_flush(connection.xcb());
    return asked;
}

QList<xcb_window_t> X11WindowRequests::ping(X11Connection& connection,
                                            const QList<xcb_window_t>& windows)
{
    if (connection.problem() || windows.isEmpty() || !connection.responds())
        return {};
    const xcb_timestamp_t time = connection.serverTime();
    const xcb_atom_t ping = connection.ewmh()->_NET_WM_PING;
    QList<xcb_window_t> pinged;
    for (xcb_window_t window : windows) {
        if (!listsProtocol(connection, window, ping))
            continue;
        sendProtocol(connection, window, ping, time);
        pinged.append(window);
    }
    xcb_flush(connection.xcb());
    return pinged;
}

bool X11WindowRequests::activate(X11Connection& connection, xcb_window_t window)
{
    if (connection.problem() || !connection.responds())
        return false;
    const xcb_timestamp_t time = connection.serverTime();
    if (connection.hasWindowManager()) {
        xcb_ewmh_request_change_active_window(connection.ewmh(), connection.screenNumber(), window,
                                              XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, time,
                                              XCB_WINDOW_NONE);
    } else {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection.xcb(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(connection.xcb(), XCB_INPUT_FOCUS_PARENT, window, time);
    }
    xcb_flush(connection.xcb());
    return true;
}
