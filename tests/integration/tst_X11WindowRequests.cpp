#include "DesktopSession.h"
#include "X11Connection.h"
#include "X11WindowRequests.h"

#include <QDeadlineTimer>
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

// The next client message the client gets within `milliseconds`.
std::optional<xcb_client_message_event_t> nextClientMessage(xcb_connection_t* connection,
                                                            int milliseconds = 5000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        while (Event event{xcb_poll_for_event(connection), &std::free}) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE)
                return *reinterpret_cast<xcb_client_message_event_t*>(event.get());
        }
        QTest::qWait(20);
    }
    return std::nullopt;
}

} // namespace

// Close requests where no window manager runs: straight to the client, and only to windows
// that say they understand them.
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

    void deleteWindowGoesToTheClient()
    {
        const xcb_window_t accepting = createWindow(true);
        const xcb_window_t deaf = createWindow(false);
        X11Connection connection;
        QVERIFY(!connection.problem());
        QTRY_VERIFY(!connection.hasWindowManager());

        QVERIFY(X11WindowRequests::close(connection, {deaf, accepting}));
        const std::optional<xcb_client_message_event_t> message = nextClientMessage(client);
        QVERIFY(message);
        QCOMPARE(message->window, accepting);
        QCOMPARE(message->type, internAtom(client, "WM_PROTOCOLS"));
        QCOMPARE(message->data.data32[0], internAtom(client, "WM_DELETE_WINDOW"));
        QVERIFY2(message->data.data32[1] != XCB_CURRENT_TIME, "a real server time");
        QVERIFY(!nextClientMessage(client, 500)); // the other window was not asked
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
