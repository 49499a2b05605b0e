#pragma once

#include "QuitRequests.h"
#include "StillOpenReason.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

#include <cstdint>
#include <sys/types.h>
#include <xcb/xcb.h>

class X11Connection;

// Why apps asked to quit are still open, from what their windows did since the request: a
// window opened since (a save question), a ping unanswered for a second, or no polite way to
// ask at all. Ping answers are heard only while some are awaited, so an idle desktop stays quiet.
class X11StillOpenReasons : public QObject
{
    Q_OBJECT

public:
    explicit X11StillOpenReasons(X11Connection& connection, QObject* parent = nullptr);

    // The app is about to be asked to quit and has these windows now.
    void asking(pid_t pid, const QList<xcb_window_t>& windows);
    // Pings those of the app's windows that can answer.
    void ping(pid_t pid, const QList<xcb_window_t>& windows);
    // The app offers no polite way to be asked, so it was not.
    void cannotBeAsked(pid_t pid);
    // Why the app, whose windows are `windows` now, is still open.
    StillOpenReason reason(pid_t pid, const QList<xcb_window_t>& windows) const;
    void forget(pid_t pid);

private:
    void answered(xcb_window_t window);
    void expire(std::uint64_t round);
    void stopHearingWhenDone();
    void hear(bool on);

    X11Connection& connection;
    QuitRequests requests;
    QHash<pid_t, QList<xcb_window_t>> pinged;   // by the app asked
    QHash<xcb_window_t, std::uint64_t> awaited; // window -> the round of its ping
    QSet<xcb_window_t> unanswered;
    std::uint64_t rounds = 0;
    bool hearing = false;
};
