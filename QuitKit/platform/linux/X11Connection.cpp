#include "X11Connection.h"

#include <QSocketNotifier>

#include <cstdlib>

namespace
{

// Properties of a managed window whose change can alter what the window says about its app.
constexpr const char* watchedWindowProperties[] = {
    "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE", "WM_TRANSIENT_FOR",     "_NET_WM_PID",
    "WM_CLASS",      "_GTK_APPLICATION_ID", "_GTK_UNIQUE_BUS_NAME", "_KDE_NET_WM_DESKTOP_FILE",
};

} // namespace

X11Connection::X11Connection(const QByteArray& displayName, QObject* parent) : QObject(parent)
{
    const QByteArray name = displayName.isEmpty() ? qgetenv("DISPLAY") : displayName;
    if (name.isEmpty()) {
        failure = QStringLiteral("no display");
        return;
    }
    connection = xcb_connect(name.constData(), &screen);
    if (xcb_connection_has_error(connection)) {
        failure = QStringLiteral("cannot connect to the X display \"%1\"")
                      .arg(QString::fromLocal8Bit(name));
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && screens.rem; ++i)
        xcb_screen_next(&screens);
    rootWindow = screens.data->root;

    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection, &ewmhAtoms);
    ewmhReady = xcb_ewmh_init_atoms_replies(&ewmhAtoms, cookies, nullptr);
    if (!ewmhReady) {
        failure = QStringLiteral("the X server did not answer");
        return;
    }

    for (const char* property : watchedWindowProperties)
        atom(property);

    const uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, rootWindow, XCB_CW_EVENT_MASK, &rootEvents);
    stampWindow = xcb_generate_id(connection);
    const uint32_t stampEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, stampWindow, rootWindow, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &stampEvents);
    xcb_flush(connection);

    notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                 QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &X11Connection::processEvents);
}

X11Connection::~X11Connection()
{
    notifier.reset();
    if (ewmhReady)
        xcb_ewmh_connection_wipe(&ewmhAtoms);
    if (connection)
        xcb_disconnect(connection);
}

std::optional<QString> X11Connection::problem() const
{
    return failure;
}

xcb_atom_t X11Connection::atom(const char* name)
{
    const QByteArray key(name);
    if (const auto found = atoms.constFind(key); found != atoms.constEnd())
        return *found;
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(key.size()), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    if (value != XCB_ATOM_NONE)
        atoms.insert(key, value);
    return value;
}

xcb_timestamp_t X11Connection::serverTime()
{
    if (failure)
        return XCB_CURRENT_TIME;
    // An empty append changes nothing but still stamps a PropertyNotify with the server's time.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, stampWindow, atom("_NIMBREL_TIMESTAMP"),
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        const bool stamp =
            (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && property->window == stampWindow;
        const xcb_timestamp_t time = property->time;
        if (!stamp)
            handle(event);
        free(event);
        if (stamp)
            return time;
    }
    checkConnection();
    return XCB_CURRENT_TIME;
}

bool X11Connection::hasWindowManager()
{
    if (failure)
        return false;
    xcb_window_t check = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &ewmhAtoms, xcb_ewmh_get_supporting_wm_check(&ewmhAtoms, rootWindow), &check, nullptr))
        return false;
    // A stale property outlives a crashed window manager; its check window does not.
    xcb_window_t confirmed = XCB_WINDOW_NONE;
    return xcb_ewmh_get_supporting_wm_check_reply(
               &ewmhAtoms, xcb_ewmh_get_supporting_wm_check(&ewmhAtoms, check), &confirmed,
               nullptr) &&
           confirmed == check;
}

void X11Connection::watchWindow(xcb_window_t window)
{
    if (failure)
        return;
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);
}

void X11Connection::processEvents()
{
    if (failure)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        handle(event);
        free(event);
    }
    checkConnection();
}

void X11Connection::handle(const xcb_generic_event_t* event)
{
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (property->window == rootWindow) {
        if (property->atom == ewmhAtoms._NET_CLIENT_LIST)
            emit windowsChanged();
        return;
    }
    if (property->window == stampWindow)
        return;
    for (const char* name : watchedWindowProperties) {
        if (property->atom == atom(name)) {
            emit windowsChanged();
            return;
        }
    }
}

bool X11Connection::checkConnection()
{
    if (failure)
        return false;
    if (!xcb_connection_has_error(connection))
        return true;
    failure = QStringLiteral("the X server went away");
    notifier->setEnabled(false);
    emit lost();
    return false;
}
