#pragma once

#include "QuitClock.h"

#include <QList>

// A clock that moves only when a test turns it: long bounds are tested without waiting.
class FakeClock : public QuitClock
{
public:
    void callAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
    // Moves the time on by `step`, running every task that falls due, in the order they do.
    void advance(std::chrono::milliseconds step);
    int scheduled() const { return int(tasks.size()); }

private:
    struct Task {
        std::chrono::milliseconds due;
        std::function<void()> run;
    };

    std::chrono::milliseconds now{0};
    QList<Task> tasks;
};
