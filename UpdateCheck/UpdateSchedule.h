#pragma once

#include <QDateTime>

#include <chrono>
#include <optional>

// When the next background update check is due.
namespace UpdateSchedule
{

// How long to wait from `now`: `soon` when no check is on record, the last one is an `interval`
// or more ago (a missed day is caught up) or lies in the future (the clock was set back);
// else until an `interval` after the last check, but never less than `soon`.
std::chrono::milliseconds delayUntilNextCheck(const std::optional<QDateTime>& lastCheck,
                                              const QDateTime& now, std::chrono::milliseconds soon,
                                              std::chrono::milliseconds interval);

} // namespace UpdateSchedule
