#include "UpdateSchedule.h"

namespace UpdateSchedule
{

std::chrono::milliseconds delayUntilNextCheck(const std::optional<QDateTime>& lastCheck,
                                              const QDateTime& now, std::chrono::milliseconds soon,
                                              std::chrono::milliseconds interval)
{
    if (!lastCheck || !lastCheck->isValid())
        return soon;
    const std::chrono::milliseconds since(lastCheck->msecsTo(now));
    if (since < std::chrono::milliseconds::zero() || since >= interval)
        return soon;
    return std::max(soon, interval - since);
}

} // namespace UpdateSchedule
