#include "StartupFlags.h"

#include <QCoreApplication>

#include <algorithm>
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

bool isCheckFlag(const QString& argument)
{
    return std::any_of(flags.cbegin(), flags.cend(),
                       [&](const Flag& flag) { return argument == flag.text; });
}

} // namespace

std::optional<Answer> answerRequest(const QStringList& arguments)
{
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString& argument = arguments.at(at);
        if (isCheckFlag(argument))
            ++at;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return Answer::Help;
        else if (argument == QLatin1String("--version"))
            return Answer::Version;
    }
    return std::nullopt;
}

QString usage()
{
    return QCoreApplication::translate(
        "Nimbrel",
        "Usage: nimbrel [OPTION]\n"
        "Lists the apps you have open, with the memory they use, from the system tray, and\n"
        "quits the ones you choose the ordinary way: apps with unsaved work ask you first.\n"
        "\n"
        "  -h, --help                 show this help and exit\n"
        "  --version                  show the version and exit\n"
        "\n"
        "Self-checks, for tests (each writes its result and exits):\n"
        "  --check-menus FILE         the menus and their shortcuts\n"
        "  --check-tutorial FILE      the tutorial and the program windows\n"
        "  --snapshot-windows FOLDER  pictures of the windows, in both looks\n"
        "  --idle-report FILE         what the program costs while idle\n");
}

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
