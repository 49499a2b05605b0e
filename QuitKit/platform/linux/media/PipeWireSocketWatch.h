#pragma once

#include <QByteArray>

#include <chrono>
#include <functional>

struct pw_loop;
struct spa_source;

// Calls `connect` on a PipeWire loop's thread when the daemon's socket appears, and a few times
// more soon after while it fails: the socket file exists a moment before the daemon listens.
// Made and destroyed while the loop is not running.
class PipeWireSocketWatch
{
public:
    // `connect` returns whether a connection stands now.
    PipeWireSocketWatch(pw_loop* loop, std::function<bool()> connect);
    ~PipeWireSocketWatch();
    PipeWireSocketWatch(const PipeWireSocketWatch&) = delete;
    // Whether the daemon's socket is there now, where libpipewire will look for it.
    static bool socketExists();
    PipeWireSocketWatch& operator=(const PipeWireSocketWatch&) = delete;

private:
    void socketEvents();
    void attempt();

    pw_loop* loop;
    std::function<bool()> connect;
    QByteArray socketName;
    spa_source* watch = nullptr;
    spa_source* retry = nullptr;
    int retriesLeft = 0;
    std::chrono::milliseconds retryDelay{0};
};
