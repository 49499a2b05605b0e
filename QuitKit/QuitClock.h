#pragma once

#include <chrono>
#include <functional>

/// What a quit run counts its bound by: the event loop's timers, or a clock a test turns by hand.
class QuitClock
{
public:
    virtual ~QuitClock() = default;

    /// Runs `task` on the main thread once `delay` has passed.
    virtual void callAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;

    /// The event loop's precise timers.
    static QuitClock& system();
};
