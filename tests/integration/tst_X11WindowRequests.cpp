#include "DesktopSession.h"
#include "DesktopUser.h"
#include "X11Connection.h"
#include "X11WindowRequests.h"

#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace
{

using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, strlen(name), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The next client message the client gets.
std::optional<xcb_client_message_event_t> nextClientMessage(xcb_connection_t* connection)
{
    std::optional<xcb_client_message_event_t> message;
    // Nothing in time leaves `message` empty, which the caller reports.
    (void)QTest::qWaitFor(
        [&] {
            while (Event event{xcb_poll_for_event(connection), &std::free}) {
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                    message = *reinterpret_cast<xcb_client_message_event_t*>(event.get());
                    return true;
                }
            }
            return false;
        },
        DesktopSession::appearTimeout);
    return message;
}

// Whether a client message waits for the client among what the server sent it so far: the
// client's own round trip brings in every event queued for it before.
bool clientMessageQueued(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    while (Event event{xcb_poll_for_event(connection), &std::free}) {
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE)
            return true;
    }
    return false;
}

} // namespace

// Close requests: through a window manager that offers _NET_CLOSE_WINDOW, else straight to the
// client, and only to windows that say they understand them.
class TestX11WindowRequests : public QObject
{
    Q_OBJECT

    DesktopSession session;
    xcb_connection_t* client = nullptr;

    xcb_window_t createWindow(bool acceptsDelete)
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(client)).data;
        const xcb_window_t window = xcb_generate_id(client);
        xcb_create_window(client, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        if (acceptsDelete) {
            const xcb_atom_t deleteWindow = internAtom(client, "WM_DELETE_WINDOW");
            xcb_change_property(client, XCB_PROP_MODE_REPLACE, window,
                                internAtom(client, "WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                                &deleteWindow);
        }
        xcb_map_window(client, window);
        xcb_flush(client);
        return window;
    }

    // Our client plays an EWMH window manager: its check window, its hints, and it hears what
    // is sent to the root window.
    void pretendWindowManager(bool supportsClose)
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(client)).data->root;
        checkWindow = xcb_generate_id(client);
        xcb_create_window(client, XCB_COPY_FROM_PARENT, checkWindow, root, -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t check = internAtom(client, "_NET_SUPPORTING_WM_CHECK");
        for (const xcb_window_t window : {root, checkWindow})
            xcb_change_property(client, XCB_PROP_MODE_REPLACE, window, check, XCB_ATOM_WINDOW, 32,
                                1, &checkWindow);
        QList<xcb_atom_t> supported{internAtom(client, "_NET_ACTIVE_WINDOW")};
        if (supportsClose)
            supported.append(internAtom(client, "_NET_CLOSE_WINDOW"));
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, root,
                            internAtom(client, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 32,
                            uint32_t(supported.size()), supported.constData());
        const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(client, root, XCB_CW_EVENT_MASK, &events);
        xcb_flush(client);
    }

    void removeWindowManager()
    {
        if (checkWindow == XCB_WINDOW_NONE)
            return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(client)).data->root;
        xcb_delete_property(client, root, internAtom(client, "_NET_SUPPORTING_WM_CHECK"));
        xcb_destroy_window(client, checkWindow);
        const uint32_t events = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(client, root, XCB_CW_EVENT_MASK, &events);
        xcb_flush(client);
        checkWindow = XCB_WINDOW_NONE;
    }

    xcb_window_t checkWindow = XCB_WINDOW_NONE;

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        session.stopWindowManager();
        client = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(client));
    }

    void cleanupTestCase()
    {
        if (client)
            xcb_disconnect(client);
    }

    void closeRequests_data()
    {
        QTest::addColumn<bool>("windowManager");
        QTest::addColumn<bool>("supportsClose");
        QTest::addColumn<QByteArray>("messageType");
        QTest::newRow("no window manager") << false << false << QByteArray("WM_PROTOCOLS");
        QTest::newRow("window manager without _NET_CLOSE_WINDOW")
            << true << false << QByteArray("WM_PROTOCOLS");
        QTest::newRow("window manager with _NET_CLOSE_WINDOW")
            << true << true << QByteArray("_NET_CLOSE_WINDOW");
    }

    void closeRequests()
    {
        QFETCH(bool, windowManager);
        QFETCH(bool, supportsClose);
        QFETCH(QByteArray, messageType);
        const xcb_window_t accepting = createWindow(true);
        const xcb_window_t deaf = createWindow(false);
        if (windowManager)
            pretendWindowManager(supportsClose);
        X11Connection connection;
        QVERIFY(!connection.problem());
        QTRY_COMPARE_WITH_TIMEOUT(connection.hasWindowManager(), windowManager,
                                  DesktopSession::appearTimeout);

        QVERIFY(X11WindowRequests::close(connection, {deaf, accepting}));
        const std::optional<xcb_client_message_event_t> message = nextClientMessage(client);
        removeWindowManager();
        QVERIFY(message);
        QCOMPARE(message->window, accepting);
        QCOMPARE(message->type, internAtom(client, messageType.constData()));
        if (messageType == "WM_PROTOCOLS") {
            QCOMPARE(message->data.data32[0], internAtom(client, "WM_DELETE_WINDOW"));
            QVERIFY2(message->data.data32[1] != XCB_CURRENT_TIME, "a real server time");
        }
        // A window manager told to close a window without WM_DELETE_WINDOW kills its client. Once
        // the server has handled every request sent, no other message was among them.
        QVERIFY(connection.responds());
        QVERIFY(!clientMessageQueued(client));
    }

    void windowsThatCannotBeAskedAreNotAsked()
    {
        const xcb_window_t deaf = createWindow(false);
        X11Connection connection;
        QVERIFY(!X11WindowRequests::close(connection, {deaf}));
        QVERIFY(!X11WindowRequests::close(connection, {}));
    }
};

QTEST_GUILESS_MAIN(TestX11WindowRequests)
#include "tst_X11WindowRequests.moc"
