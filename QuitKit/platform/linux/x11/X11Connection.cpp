#include "X11Connection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <poll.h>
#include <thread>
#include <xcb/xcbext.h>

namespace
{

// Properties of a managed window whose change can alter what the window says about its app.
constexpr const char* watchedWindowProperties[] = {
    "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE", "WM_TRANSIENT_FOR",     "_NET_WM_PID",
    "WM_CLASS",      "_GTK_APPLICATION_ID", "_GTK_UNIQUE_BUS_NAME", "_KDE_NET_WM_DESKTOP_FILE",
};

// What we always hear of the root window: the client list and other desktop-wide properties.
constexpr uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;

// A server that is only busy answers a round trip within the first wait, or else within the
// second, longer one; a grabbed server answers neither.
constexpr int quickAnswerTimeout = 1000;
constexpr int slowAnswerTimeout = 3000;

Q_LOGGING_CATEGORY(x11Answers, "nimbrel.x11.answers", QtInfoMsg)

// How long the server may take to accept us; a grabbed one takes as long as its grab lasts.
constexpr std::chrono::milliseconds connectTimeout{3000};

struct PendingConnection {
    std::mutex lock;
    std::condition_variable finished;
    xcb_connection_t* connection = nullptr;
    int screen = 0;
    bool done = false;
    bool abandoned = false;
};

// xcb_connect waits for the server's setup reply with no time-out of its own, so it waits on a
// thread of its own; one that answers too late is closed there.
std::optional<xcb_connection_t*> connectWithin(const QByteArray& name, int& screen)
{
    auto pending = std::make_shared<PendingConnection>();
    std::thread([pending, name] {
        int number = 0;
        xcb_connection_t* connection = xcb_connect(name.constData(), &number);
        const std::lock_guard guard(pending->lock);
        if (pending->abandoned) {
            xcb_disconnect(connection);
            return;
        }
        pending->connection = connection;
        pending->screen = number;
        pending->done = true;
        pending->finished.notify_one();
    }).detach();
    std::unique_lock guard(pending->lock);
    if (!pending->finished.wait_for(guard, connectTimeout, [&] { return pending->done; })) {
        pending->abandoned = true;
        return std::nullopt;
    }
    screen = pending->screen;
    return pending->connection;
}

} // namespace

X11Connection::X11Connection(const QByteArray& displayName, QObject* parent) : QObject(parent)
{
    const QByteArray name = displayName.isEmpty() ? qgetenv("DISPLAY") : displayName;
    if (name.isEmpty()) {
        failure = QCoreApplication::translate("QuitKit", "no display");
        return;
    }
    const std::optional<xcb_connection_t*> connected = connectWithin(name, screen);
    if (!connected) {
        failure = QCoreApplication::translate(
                      "QuitKit", "the X display \"%1\" does not answer; another program holds it")
                      .arg(QString::fromLocal8Bit(name));
        return;
    }
    connection = *connected;
    if (xcb_connection_has_error(connection)) {
        failure = QCoreApplication::translate("QuitKit", "cannot connect to the X display \"%1\"")
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
        failure = QCoreApplication::translate("QuitKit", "the X server did not answer");
        return;
    }

    for (const char* property : watchedWindowProperties)
        atom(property);

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
    return windowManagerWindow().has_value();
}

std::optional<xcb_window_t> X11Connection::windowManagerWindow()
{
    if (failure)
        return std::nullopt;
    xcb_window_t check = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &ewmhAtoms, xcb_ewmh_get_supporting_wm_check(&ewmhAtoms, rootWindow), &check, nullptr))
        return std::nullopt;
    // A stale property outlives a crashed window manager; its check window does not.
    xcb_window_t confirmed = XCB_WINDOW_NONE;
    const bool alive =
        xcb_ewmh_get_supporting_wm_check_reply(
            &ewmhAtoms, xcb_ewmh_get_supporting_wm_check(&ewmhAtoms, check), &confirmed, nullptr) &&
        confirmed == check;
    return alive ? std::optional(check) : std::nullopt;
}

bool X11Connection::windowManagerSupports(xcb_atom_t hint)
{
    if (!hasWindowManager())
        return false;
    xcb_ewmh_get_atoms_reply_t supported;
    if (!xcb_ewmh_get_supported_reply(&ewmhAtoms, xcb_ewmh_get_supported(&ewmhAtoms, screen),
                                      &supported, nullptr))
        return false;
    bool found = false;
    for (uint32_t i = 0; i < supported.atoms_len; ++i)
        found = found || supported.atoms[i] == hint;
    xcb_ewmh_get_atoms_reply_wipe(&supported);
    return found;
}

bool X11Connection::hasClientList()
{
    if (failure)
        return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, rootWindow, ewmhAtoms._NET_CLIENT_LIST, XCB_ATOM_ANY, 0, 0),
        nullptr);
    const bool has = reply && reply->type != XCB_ATOM_NONE;
    free(reply);
    return has;
}

bool X11Connection::responds()
{
    if (failure)
        return false;
    // The server answers in order: while an earlier probe is unanswered it is held still, and
    // one wait for it was enough.
    if (unansweredProbe) {
        if (!awaitReply(*unansweredProbe, 0))
            return false;
        unansweredProbe.reset();
    }
    const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(connection);
    xcb_flush(connection);
    if (awaitReply(cookie.sequence, quickAnswerTimeout))
        return true;
    if (failure)
        return false;
    qCDebug(x11Answers, "The X server is slow to answer; waiting longer");
    if (awaitReply(cookie.sequence, slowAnswerTimeout))
        return true;
    if (!failure)
        unansweredProbe = cookie.sequence;
    return false;
}

bool X11Connection::awaitReply(unsigned int sequence, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(connection, sequence, &reply, &error)) {
            free(reply);
            free(error);
            return true;
        }
        if (!checkConnection())
            return false;
        pollfd socket{xcb_get_file_descriptor(connection), POLLIN, 0};
        const qint64 left = deadline.remainingTime();
        if (left == 0 || poll(&socket, 1, int(left)) == 0)
            return false;
    }
}

void X11Connection::watchWindow(xcb_window_t window)
{
    if (failure)
        return;
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);
}

void X11Connection::hearPingAnswers(bool hear)
{
    if (failure)
        return;
    const uint32_t events = rootEvents | (hear ? XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY : 0);
    xcb_change_window_attributes(connection, rootWindow, XCB_CW_EVENT_MASK, &events);
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
    if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
        handlePingAnswer(reinterpret_cast<const xcb_client_message_event_t*>(event));
        return;
    }
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
    if (property->atom == XCB_ATOM_WM_NAME || property->atom == ewmhAtoms._NET_WM_NAME) {
        emit titleChanged();
        return;
    }
    for (const char* name : watchedWindowProperties) {
        if (property->atom == atom(name)) {
            emit windowsChanged();
            return;
        }
    }
}

void X11Connection::handlePingAnswer(const xcb_client_message_event_t* message)
{
    // A client answers by sending our ping back to the root window; data: ping, time, window.
    if (message->window == rootWindow && message->format == 32 &&
        message->type == ewmhAtoms.WM_PROTOCOLS &&
        message->data.data32[0] == ewmhAtoms._NET_WM_PING)
        emit pingAnswered(message->data.data32[2]);
}

bool X11Connection::checkConnection()
{
    if (failure)
        return false;
    if (!xcb_connection_has_error(connection))
        return true;
    failure = QCoreApplication::translate("QuitKit", "the X server went away");
    notifier->setEnabled(false);
    emit lost();
    return false;
}
