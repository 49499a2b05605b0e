#include "DesktopSession.h"
#include "DesktopUser.h"
#include "WorkspaceFactory.h"
#include "X11Workspace.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

// What keeps apps out of the list is said, never an empty success: no window manager says
// which windows are apps, the server is grabbed, or the session is Wayland. twm, which keeps no
// client list, still shows its apps through WM_STATE.
class TestX11ListingGaps : public QObject
{
    Q_OBJECT

    // The process holding the server, told to let go once the workspace waits longer.
    static inline pid_t holder = 0;

    static void releaseWhenWaitingLonger(QtMsgType, const QMessageLogContext& context,
                                         const QString&)
    {
        if (holder && qstrcmp(context.category, "nimbrel.x11.answers") == 0)
            kill(std::exchange(holder, 0), SIGUSR1);
    }

    DesktopSession session;
    xcb_connection_t* client = nullptr;
    QProcess windowManager;

    xcb_window_t shown = XCB_WINDOW_NONE;

    void showWindow()
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(client)).data;
        shown = xcb_generate_id(client);
        xcb_create_window(client, XCB_COPY_FROM_PARENT, shown, screen->root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(client, shown);
        xcb_flush(client);
    }

    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            client, xcb_intern_atom(client, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        session.stopWindowManager();
        client = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(client));
        showWindow();
    }

    void withoutWindowManagerAppsCannotBeSeen()
    {
        X11Workspace workspace;
        QVERIFY(!workspace.problem());
        const std::optional<Workspace::ListingGap> gap = workspace.listingGap();
        QVERIFY(gap);
        QVERIFY(!gap->partial);
    }

    // Our client plays an EWMH window manager that lists a window of its own, as openbox lists
    // its "not responding" prompt.
    void windowManagersOwnWindowIsNoApp()
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(client)).data->root;
        const xcb_window_t check = xcb_generate_id(client);
        xcb_create_window(client, XCB_COPY_FROM_PARENT, check, root, -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        for (const xcb_window_t window : {root, check})
            xcb_change_property(client, XCB_PROP_MODE_REPLACE, window,
                                atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 32, 1, &check);
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, root, atom("_NET_CLIENT_LIST"),
                            XCB_ATOM_WINDOW, 32, 1, &shown);
        xcb_flush(client);
        X11Workspace workspace;
        const bool listed =
            workspace.runningApplication(pid_t(QCoreApplication::applicationPid())).has_value();
        const bool seen = !workspace.listingGap();
        xcb_delete_property(client, root, atom("_NET_CLIENT_LIST"));
        xcb_delete_property(client, root, atom("_NET_SUPPORTING_WM_CHECK"));
        xcb_destroy_window(client, check);
        xcb_flush(client);
        QVERIFY(!listed);
        QVERIFY(seen);
    }

    void twmShowsAppsThroughWmState()
    {
        const QString settings = session.scratchPath(QStringLiteral("twmrc"));
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Else twm grabs the server to let the user place windows, or finds no font on Xvfb.
        file.write("RandomPlacement\n");
        for (const char* font :
             {"TitleFont", "ResizeFont", "MenuFont", "IconFont", "IconManagerFont"})
            file.write(font + QByteArray(" \"fixed\"\n"));
        file.close();
        windowManager.start(QStringLiteral("twm"), {QStringLiteral("-f"), settings});
        if (!windowManager.waitForStarted())
            QSKIP("twm is not installed");
        X11Workspace workspace;
        const pid_t self = pid_t(QCoreApplication::applicationPid());
        QTRY_VERIFY_WITH_TIMEOUT(workspace.runningApplication(self), DesktopSession::appearTimeout);
        QVERIFY(!workspace.listingGap());
        QCOMPARE(workspace.runningApplication(pid_t(windowManager.processId())), std::nullopt);
    }

    void grabbedServerDoesNotHang()
    {
        X11Workspace workspace;
        QProcess grab;
        grab.start(QStringLiteral(NIMBREL_TEST_PYTHON),
                   {QStringLiteral("-c"),
                    QStringLiteral("from Xlib import display; import time; d = display.Display(); "
                                   "d.grab_server(); d.sync(); print('grabbed', flush=True); "
                                   "time.sleep(600)")});
        QVERIFY(grab.waitForReadyRead(DesktopSession::appearTimeout));
        const std::optional<Workspace::ListingGap> gap = workspace.listingGap();
        const X11Workspace connectedDuringTheGrab;
        grab.kill();
        grab.waitForFinished();
        QVERIFY(gap);
        QVERIFY(!gap->partial);
        QVERIFY(connectedDuringTheGrab.problem());
    }

    // A server that answers late, as a loaded one does, is waited for: the listing is what it
    // is when the server answers at once. The grab is let go while the workspace waits again.
    void busyServerIsWaitedFor()
    {
        X11Workspace workspace;
        const std::optional<Workspace::ListingGap> answeredAtOnce = workspace.listingGap();
        QProcess hold;
        hold.start(QStringLiteral(NIMBREL_TEST_PYTHON),
                   {QStringLiteral("-c"),
                    QStringLiteral("from Xlib import display; import signal\n"
                                   "d = display.Display()\n"
                                   "def release(*_): d.ungrab_server(); d.sync()\n"
                                   "signal.signal(signal.SIGUSR1, release)\n"
                                   "d.grab_server(); d.sync(); print('grabbed', flush=True)\n"
                                   "while True: signal.pause()\n")});
        QVERIFY(hold.waitForReadyRead(DesktopSession::appearTimeout));
        holder = pid_t(hold.processId());
        QLoggingCategory::setFilterRules(QStringLiteral("nimbrel.x11.answers.debug=true"));
        const QtMessageHandler previous = qInstallMessageHandler(releaseWhenWaitingLonger);
        const std::optional<Workspace::ListingGap> gap = workspace.listingGap();
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        const pid_t released = std::exchange(holder, 0);
        hold.kill();
        hold.waitForFinished();
        QVERIFY2(released == 0, "the workspace did not wait a second time");
        QCOMPARE(gap.has_value(), answeredAtOnce.has_value());
        if (gap)
            QCOMPARE(gap->reason, answeredAtOnce->reason);
    }

    void waylandSessionOnlyX11ServesIsPartial()
    {
        // A compositor that lists no windows to other programs (here: none answers at all).
        qputenv("WAYLAND_DISPLAY", "nimbrel-no-such-wayland-display");
        const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
        qunsetenv("WAYLAND_DISPLAY");
        const std::optional<Workspace::ListingGap> gap = workspace->listingGap();
        QVERIFY(gap);
        QVERIFY(gap->partial);
        QCOMPARE(workspace->backendName(), QStringLiteral("X11"));
    }

    void cleanupTestCase()
    {
        windowManager.kill();
        windowManager.waitForFinished();
        if (client)
            xcb_disconnect(client);
    }
};

QTEST_GUILESS_MAIN(TestX11ListingGaps)
#include "tst_X11ListingGaps.moc"
