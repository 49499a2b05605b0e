#pragma once

#include <QElapsedTimer>
#include <QTest>

#include <optional>

// Waits until `look()`, which gives a std::optional, gives the same value for half a second on
// end, as a bar that has stopped laying its icons out; that value, or nothing when none held
// still within `timeout` ms. Counts wall time: each look may take a while.
template <typename Look> auto heldStill(Look look, int timeout) -> decltype(look())
{
    decltype(look()) held;
    QElapsedTimer still;
    const auto settled = [&] {
        auto now = look();
        if (!now || now != held) {
            held = std::move(now);
            still.start();
            return false;
        }
        return still.hasExpired(500);
    };
    return QTest::qWaitFor(settled, timeout) ? held : decltype(held)();
}
