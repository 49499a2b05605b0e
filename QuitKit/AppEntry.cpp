#include "AppEntry.h"

namespace
{

// Absent and present-but-empty must hash apart, so each optional feeds a marker first.
size_t combineOptional(size_t seed, const std::optional<QString>& value)
{
    seed = qHashMulti(seed, value.has_value() ? 1 : 0);
    return value ? qHashMulti(seed, *value) : seed;
}

} // namespace

size_t qHash(const AppEntry& entry, size_t seed) noexcept
{
    seed = qHashMulti(seed, entry.pid, entry.name);
    seed = combineOptional(seed, entry.desktopId);
    seed = combineOptional(seed, entry.desktopFile);
    return qHashMulti(seed, entry.memory, entry.categories);
}
