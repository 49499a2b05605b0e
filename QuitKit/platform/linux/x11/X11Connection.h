#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>
#include <optional>

class QSocketNotifier;

// One connection to the X server: atoms, the root window, a server timestamp on demand, and
// events read as they arrive (a socket notifier on the connection, no polling).
class X11Connection : public QObject
{
    Q_OBJECT

public:
    // Connects to `displayName`, or to $DISPLAY when it is empty.
    explicit X11Connection(const QByteArray& displayName = {}, QObject* parent = nullptr);
    ~X11Connection() override;

    // Why the connection cannot be used (never opened, or the server went away); nothing while
    // it works.
    std::optional<QString> problem() const;

    xcb_connection_t* xcb() const { return connection; }
    xcb_ewmh_connection_t* ewmh() { return &ewmhAtoms; }
    int screenNumber() const { return screen; }
    xcb_window_t root() const { return rootWindow; }
    xcb_atom_t atom(const char* name);

    // A real server time: provokes a PropertyNotify on a window of our own and reads its stamp.
    xcb_timestamp_t serverTime();
    // True when an EWMH window manager announces itself on the root window.
    bool hasWindowManager();
    // The window an EWMH window manager names as its own (_NET_SUPPORTING_WM_CHECK), if one runs.
    std::optional<xcb_window_t> windowManagerWindow();
    // The running window manager lists `hint` in _NET_SUPPORTED.
    bool windowManagerSupports(xcb_atom_t hint);
    // The root window carries _NET_CLIENT_LIST.
    bool hasClientList();
    // The server answers a round trip: at once or, when it is only busy, after a second, longer
    // wait. A grabbed server answers neither, and is not waited for again until it has answered.
    bool responds();
    // Reports property changes of `window` from now on.
    void watchWindow(xcb_window_t window);

    // While `hear` is on, clients' answers to _NET_WM_PING reach us (they go to the root window
    // as substructure events); off, other clients' window changes no longer wake us.
    void hearPingAnswers(bool hear);

    // Reads every event already received and reports what changed.
    void processEvents();

signals:
    // The list of managed windows, or something a listed window tells about itself, changed.
    void windowsChanged();
    // A listed window's title changed.
    void titleChanged();
    // The server went away; problem() says so from now on.
    void lost();
    // The client of `window` answered a _NET_WM_PING, heard while hearPingAnswers() is on.
    void pingAnswered(xcb_window_t window);

private:
    void handle(const xcb_generic_event_t* event);
    void handlePingAnswer(const xcb_client_message_event_t* message);
    bool checkConnection();
    // The reply to request `sequence` arrived within `milliseconds`.
    bool awaitReply(unsigned int sequence, int milliseconds);

    xcb_connection_t* connection = nullptr;
    xcb_ewmh_connection_t ewmhAtoms{};
    bool ewmhReady = false;
    int screen = 0;
    xcb_window_t rootWindow = XCB_WINDOW_NONE;
    xcb_window_t stampWindow = XCB_WINDOW_NONE;
    QHash<QByteArray, xcb_atom_t> atoms;
    std::unique_ptr<QSocketNotifier> notifier;
    std::optional<QString> failure;
    // The round trip a held server has not answered yet.
    std::optional<unsigned int> unansweredProbe;
};
