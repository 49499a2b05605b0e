#include "StartupFlags.h"

#include <array>

namespace StartupFlags
{

namespace
{

struct Flag {
    QLatin1String text;
    Check check;
};

// In the order they win when a command line holds several.
const std::array flags{
    Flag{QLatin1String("--check-menus"), Check::Menus},
    Flag{QLatin1String("--check-tutorial"), Check::Tutorial},
    Flag{QLatin1String("--snapshot-windows"), Check::WindowSnapshots},
    Flag{QLatin1String("--idle-report"), Check::IdleReport},
};

} // namespace

std::optional<CheckRequest> checkRequest(const QStringList& arguments)
{
    for (const Flag& flag : flags) {
        // From 1: the program's own path is never a flag.
        const qsizetype at = arguments.indexOf(flag.text, 1);
        if (at > 0 && at + 1 < arguments.size())
            return CheckRequest{flag.check, arguments.at(at + 1)};
    }
    return std::nullopt;
}

} // namespace StartupFlags
