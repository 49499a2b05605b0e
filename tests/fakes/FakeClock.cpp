#include "FakeClock.h"

#include <algorithm>

void FakeClock::callAfter(std::chrono::milliseconds delay, std::function<void()> task)
{
    tasks.append({now + delay, std::move(task)});
}

void FakeClock::advance(std::chrono::milliseconds step)
{
    const std::chrono::milliseconds until = now + step;
    for (;;) {
        // Tasks may schedule more: take the earliest due one each time.
        const auto next = std::min_element(
            tasks.begin(), tasks.end(), [](const Task& a, const Task& b) { return a.due < b.due; });
        if (next == tasks.end() || next->due > until)
            break;
        now = next->due;
        const std::function<void()> run = std::move(next->run);
        tasks.erase(next);
        run();
    }
    now = until;
}
