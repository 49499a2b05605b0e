#include "X11StillOpenReasons.h"

#include "X11Connection.h"
#include "X11WindowRequests.h"

#include <QTimer>

#include <algorithm>

namespace
{

// A running client answers a ping at once; one that takes longer is not responding.
constexpr int pingAnswerTime = 1000;

} // namespace

X11StillOpenReasons::X11StillOpenReasons(X11Connection& connection_, QObject* parent)
    : QObject(parent), connection(connection_)
{
    connect(&connection, &X11Connection::pingAnswered, this, &X11StillOpenReasons::answered);
}

void X11StillOpenReasons::asking(pid_t pid, const QList<xcb_window_t>& windows)
{
    forget(pid);
    requests.asking(pid, windows);
}

void X11StillOpenReasons::ping(pid_t pid, const QList<xcb_window_t>& windows)
{
    if (!requests.contains(pid))
        return;
    // Listening goes out before the pings, so no answer can come unheard.
    hear(true);
    const QList<xcb_window_t> sent = X11WindowRequests::ping(connection, windows);
    // Looked up again: a server lost while pinging forgets every request.
    if (!requests.contains(pid))
        return;
    pinged[pid] += sent;
    const std::uint64_t round = ++rounds;
    for (xcb_window_t window : sent) {
        awaited.insert(window, round);
        unanswered.remove(window);
    }
    if (sent.isEmpty())
        stopHearingWhenDone();
    else
        QTimer::singleShot(pingAnswerTime, this, [this, round] { expire(round); });
}

void X11StillOpenReasons::cannotBeAsked(pid_t pid)
{
    requests.cannotBeAsked(pid);
}

StillOpenReason X11StillOpenReasons::reason(pid_t pid, const QList<xcb_window_t>& windows) const
{
    const StillOpenReason shown = requests.reason(pid, windows);
    if (shown != StillOpenReason::none)
        return shown;
    const QList<xcb_window_t> sent = pinged.value(pid);
    if (std::any_of(sent.cbegin(), sent.cend(),
                    [&](xcb_window_t window) { return unanswered.contains(window); }))
        return StillOpenReason::notResponding;
    return StillOpenReason::none;
}

void X11StillOpenReasons::forget(pid_t pid)
{
    requests.forget(pid);
    for (xcb_window_t window : pinged.take(pid)) {
        awaited.remove(window);
        unanswered.remove(window);
    }
    stopHearingWhenDone();
}

void X11StillOpenReasons::answered(xcb_window_t window)
{
    // Hearing stops with the round's time-out: an answer may come while pings are being sent.
    awaited.remove(window);
}

void X11StillOpenReasons::expire(std::uint64_t round)
{
    // Answers may wait unread in the connection's queue.
    connection.processEvents();
    for (auto it = awaited.begin(); it != awaited.end();) {
        if (it.value() != round) {
            ++it;
            continue;
        }
        unanswered.insert(it.key());
        it = awaited.erase(it);
    }
    stopHearingWhenDone();
}

void X11StillOpenReasons::stopHearingWhenDone()
{
    if (awaited.isEmpty())
        hear(false);
}

void X11StillOpenReasons::hear(bool on)
{
    if (on == hearing)
        return;
    hearing = on;
    connection.hearPingAnswers(on);
}
