#include "X11Windows.h"

#include "X11ClientPid.h"
#include "X11Connection.h"

#include <xcb/xcb_icccm.h>

#include <QSet>

#include <cstdlib>

namespace
{

// All requests for one window go out before any reply is awaited.
struct Cookies {
    xcb_get_property_cookie_t type, state, transient, wmClass, gtkId, kdeFile, busName, objectPath;
};

QString utf8Property(xcb_connection_t* xcb, xcb_get_property_cookie_t cookie)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(xcb, cookie, nullptr);
    QString text;
    if (reply && reply->format == 8)
        text = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                 xcb_get_property_value_length(reply));
    free(reply);
    return text;
}

xcb_get_property_cookie_t request(X11Connection& connection, xcb_window_t window, const char* name)
{
    return xcb_get_property(connection.xcb(), 0, window, connection.atom(name), XCB_ATOM_ANY, 0,
                            1024);
}

bool isTaskbarType(X11Connection& connection, xcb_get_property_cookie_t cookie)
{
    xcb_ewmh_get_atoms_reply_t types;
    if (!xcb_ewmh_get_wm_window_type_reply(connection.ewmh(), cookie, &types, nullptr))
        return true;
    // The first type is the one the window prefers; the rest are fallbacks for older managers.
    const bool taskbar = types.atoms_len == 0 ||
                         types.atoms[0] == connection.ewmh()->_NET_WM_WINDOW_TYPE_NORMAL ||
                         types.atoms[0] == connection.ewmh()->_NET_WM_WINDOW_TYPE_DIALOG;
    xcb_ewmh_get_atoms_reply_wipe(&types);
    return taskbar;
}

bool skipsTaskbar(X11Connection& connection, xcb_get_property_cookie_t cookie)
{
    xcb_ewmh_get_atoms_reply_t states;
    if (!xcb_ewmh_get_wm_state_reply(connection.ewmh(), cookie, &states, nullptr))
        return false;
    bool skip = false;
    for (uint32_t i = 0; i < states.atoms_len; ++i)
        skip = skip || states.atoms[i] == connection.ewmh()->_NET_WM_STATE_SKIP_TASKBAR;
    xcb_ewmh_get_atoms_reply_wipe(&states);
    return skip;
}

xcb_window_t transientParent(X11Connection& connection, xcb_get_property_cookie_t cookie)
{
    xcb_window_t parent = XCB_WINDOW_NONE;
    if (!xcb_icccm_get_wm_transient_for_reply(connection.xcb(), cookie, &parent, nullptr))
        return XCB_WINDOW_NONE;
    return parent == connection.root() ? xcb_window_t(XCB_WINDOW_NONE) : parent;
}

} // namespace

QList<X11Window> X11Windows::managed(X11Connection& connection)
{
    if (connection.problem())
        return {};
    xcb_ewmh_get_windows_reply_t list;
    if (!xcb_ewmh_get_client_list_reply(
            connection.ewmh(),
            xcb_ewmh_get_client_list(connection.ewmh(), connection.screenNumber()), &list, nullptr))
        return {};
    const QList<xcb_window_t> ids(list.windows, list.windows + list.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&list);

    xcb_connection_t* xcb = connection.xcb();
    QList<Cookies> cookies;
    for (xcb_window_t id : ids) {
        cookies.append({xcb_ewmh_get_wm_window_type(connection.ewmh(), id),
                        xcb_ewmh_get_wm_state(connection.ewmh(), id),
                        xcb_icccm_get_wm_transient_for(xcb, id), xcb_icccm_get_wm_class(xcb, id),
                        request(connection, id, "_GTK_APPLICATION_ID"),
                        request(connection, id, "_KDE_NET_WM_DESKTOP_FILE"),
                        request(connection, id, "_GTK_UNIQUE_BUS_NAME"),
                        request(connection, id, "_GTK_APPLICATION_OBJECT_PATH")});
    }
    const QList<pid_t> pids = X11ClientPid::of(connection, ids);
    const QSet<xcb_window_t> listed(ids.cbegin(), ids.cend());

    QList<X11Window> windows;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        X11Window window;
        window.id = ids[i];
        window.pid = pids[i];
        const bool taskbarType = isTaskbarType(connection, cookies[i].type);
        const bool skip = skipsTaskbar(connection, cookies[i].state);
        // A transient rides on its parent's taskbar entry; one whose parent is gone stands alone.
        const bool folded = listed.contains(transientParent(connection, cookies[i].transient));
        window.taskbar = taskbarType && !skip && !folded;
        xcb_icccm_get_wm_class_reply_t wmClass;
        if (xcb_icccm_get_wm_class_reply(xcb, cookies[i].wmClass, &wmClass, nullptr)) {
            window.wmInstance = QString::fromLocal8Bit(wmClass.instance_name);
            window.wmClass = QString::fromLocal8Bit(wmClass.class_name);
            xcb_icccm_get_wm_class_reply_wipe(&wmClass);
        }
        window.gtkApplicationId = utf8Property(xcb, cookies[i].gtkId);
        window.kdeDesktopFile = utf8Property(xcb, cookies[i].kdeFile);
        window.gtkBusName = utf8Property(xcb, cookies[i].busName);
        window.gtkObjectPath = utf8Property(xcb, cookies[i].objectPath);
        windows.append(window);
        connection.watchWindow(window.id);
    }
    return windows;
}
