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
    xcb_get_property_cookie_t type, state, transient, wmClass, title, legacyTitle, gtkId, kdeFile,
        busName, objectPath;
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
    return parent;
}

QList<xcb_window_t> children(xcb_connection_t* xcb, xcb_window_t window)
{
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(xcb, xcb_query_tree(xcb, window), nullptr);
    if (!tree)
        return {};
    const xcb_window_t* first = xcb_query_tree_children(tree);
    const QList<xcb_window_t> list(first, first + xcb_query_tree_children_length(tree));
    free(tree);
    return list;
}

bool hasWmState(X11Connection& connection, xcb_get_property_cookie_t cookie)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection.xcb(), cookie, nullptr);
    const bool has = reply && reply->type != XCB_ATOM_NONE;
    free(reply);
    return has;
}

QList<xcb_get_property_cookie_t> requestWmStates(X11Connection& connection,
                                                 const QList<xcb_window_t>& windows)
{
    QList<xcb_get_property_cookie_t> cookies;
    for (xcb_window_t window : windows)
        cookies.append(xcb_get_property(connection.xcb(), 0, window, connection.atom("WM_STATE"),
                                        XCB_ATOM_ANY, 0, 0));
    return cookies;
}

bool isViewableAppWindow(xcb_connection_t* xcb, xcb_get_window_attributes_cookie_t cookie)
{
    xcb_get_window_attributes_reply_t* reply =
        xcb_get_window_attributes_reply(xcb, cookie, nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE &&
                          !reply->override_redirect &&
                          reply->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
    free(reply);
    return viewable;
}

// Without a client list: the top-level windows with WM_STATE, on the top level itself or on
// the client a reparenting window manager put inside its frame. Nothing when windows are shown
// but none carries WM_STATE, as without any window manager.
std::optional<QList<xcb_window_t>> windowsWithWmState(X11Connection& connection)
{
    xcb_connection_t* xcb = connection.xcb();
    const QList<xcb_window_t> topLevels = children(xcb, connection.root());
    const QList<xcb_get_property_cookie_t> states = requestWmStates(connection, topLevels);
    QList<xcb_window_t> found;
    QList<xcb_window_t> frames;
    for (qsizetype i = 0; i < topLevels.size(); ++i)
        (hasWmState(connection, states[i]) ? found : frames).append(topLevels[i]);
    // Whoever draws frames around clients is the window manager; its own windows are no app.
    const uint32_t clientMask = ~xcb_get_setup(xcb)->resource_id_mask;
    QSet<uint32_t> windowManagers;
    for (xcb_window_t frame : std::as_const(frames)) {
        const QList<xcb_window_t> inner = children(xcb, frame);
        const QList<xcb_get_property_cookie_t> innerStates = requestWmStates(connection, inner);
        for (qsizetype i = 0; i < inner.size(); ++i) {
            if (!hasWmState(connection, innerStates[i]))
                continue;
            found.append(inner[i]);
            windowManagers.insert(frame & clientMask);
        }
    }
    found.removeIf(
        [&](xcb_window_t window) { return windowManagers.contains(window & clientMask); });
    if (!found.isEmpty())
        return found;
    QList<xcb_get_window_attributes_cookie_t> attributes;
    for (xcb_window_t window : topLevels)
        attributes.append(xcb_get_window_attributes(xcb, window));
    bool shown = false;
    for (const xcb_get_window_attributes_cookie_t cookie : std::as_const(attributes))
        shown = isViewableAppWindow(xcb, cookie) || shown;
    return shown ? std::nullopt : std::optional(found);
}

std::optional<QList<xcb_window_t>> topLevelWindows(X11Connection& connection)
{
    xcb_ewmh_get_windows_reply_t list;
    if (!xcb_ewmh_get_client_list_reply(
            connection.ewmh(),
            xcb_ewmh_get_client_list(connection.ewmh(), connection.screenNumber()), &list, nullptr))
        return windowsWithWmState(connection);
    const QList<xcb_window_t> ids(list.windows, list.windows + list.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&list);
    return ids;
}

} // namespace

std::optional<QList<X11Window>> X11Windows::managed(X11Connection& connection,
                                                    const QString& procRoot)
{
    if (connection.problem())
        return QList<X11Window>();
    const std::optional<QList<xcb_window_t>> found = topLevelWindows(connection);
    if (!found)
        return std::nullopt;
    const QList<xcb_window_t>& ids = *found;

    xcb_connection_t* xcb = connection.xcb();
    const uint32_t clientMask = ~xcb_get_setup(xcb)->resource_id_mask;
    const std::optional<xcb_window_t> windowManager = connection.windowManagerWindow();
    QList<Cookies> cookies;
    for (xcb_window_t id : ids) {
        cookies.append({xcb_ewmh_get_wm_window_type(connection.ewmh(), id),
                        xcb_ewmh_get_wm_state(connection.ewmh(), id),
                        xcb_icccm_get_wm_transient_for(xcb, id), xcb_icccm_get_wm_class(xcb, id),
                        request(connection, id, "_NET_WM_NAME"), request(connection, id, "WM_NAME"),
                        request(connection, id, "_GTK_APPLICATION_ID"),
                        request(connection, id, "_KDE_NET_WM_DESKTOP_FILE"),
                        request(connection, id, "_GTK_UNIQUE_BUS_NAME"),
                        request(connection, id, "_GTK_APPLICATION_OBJECT_PATH")});
    }
    const QList<pid_t> pids = X11ClientPid::of(connection, ids, procRoot);
    const QSet<xcb_window_t> listed(ids.cbegin(), ids.cend());

    QList<X11Window> windows;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        X11Window window;
        window.id = ids[i];
        window.client = ids[i] & clientMask;
        window.pid = pids[i];
        const bool taskbarType = isTaskbarType(connection, cookies[i].type);
        const bool skip = skipsTaskbar(connection, cookies[i].state);
        const xcb_window_t parent = transientParent(connection, cookies[i].transient);
        // The window manager's own prompts are not apps, nor is anything it made itself.
        const bool ownedByWindowManager =
            parent == connection.root() ||
            (windowManager && (*windowManager & clientMask) == window.client);
        // A transient rides on its parent's taskbar entry; one whose parent is gone stands alone.
        const bool folded = listed.contains(parent);
        window.taskbar = taskbarType && !skip && !folded;
        xcb_icccm_get_wm_class_reply_t wmClass;
        if (xcb_icccm_get_wm_class_reply(xcb, cookies[i].wmClass, &wmClass, nullptr)) {
            window.wmInstance = QString::fromLocal8Bit(wmClass.instance_name);
            window.wmClass = QString::fromLocal8Bit(wmClass.class_name);
            xcb_icccm_get_wm_class_reply_wipe(&wmClass);
        }
        // WM_NAME's bytes read as UTF-8, the way wlroots hands them on as a toplevel's title.
        const QString legacyTitle = utf8Property(xcb, cookies[i].legacyTitle);
        window.title = utf8Property(xcb, cookies[i].title);
        if (window.title.isEmpty())
            window.title = legacyTitle;
        window.gtkApplicationId = utf8Property(xcb, cookies[i].gtkId);
        window.kdeDesktopFile = utf8Property(xcb, cookies[i].kdeFile);
        window.gtkBusName = utf8Property(xcb, cookies[i].busName);
        window.gtkObjectPath = utf8Property(xcb, cookies[i].objectPath);
        if (ownedByWindowManager)
            continue;
        windows.append(window);
        connection.watchWindow(window.id);
    }
    return windows;
}
