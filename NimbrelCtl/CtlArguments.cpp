#include "CtlArguments.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <cmath>
#include <limits>

namespace
{

using Command = CtlArguments::Command;
using Error = CtlArguments::Error;

const QHash<QString, Command>& commands()
{
    static const QHash<QString, Command> table{
        {QStringLiteral("list"), Command::list},
        {QStringLiteral("plan"), Command::plan},
        {QStringLiteral("quit"), Command::quit},
        {QStringLiteral("force-quit"), Command::forceQuit},
    };
    return table;
}

// The options each command accepts; the others are refused rather than silently ignored.
QSet<QString> optionsOf(Command command)
{
    const QString verbose = QStringLiteral("--verbose");
    switch (command) {
    case Command::list:
        return {QStringLiteral("--json"), verbose};
    case Command::plan:
        return {QStringLiteral("--json"), QStringLiteral("--preset"), QStringLiteral("--keep"),
                verbose};
    case Command::quit:
        return {QStringLiteral("--json"),    QStringLiteral("--preset"),  QStringLiteral("--keep"),
                QStringLiteral("--timeout"), QStringLiteral("--dry-run"), verbose};
    case Command::forceQuit:
        return {QStringLiteral("--json"), verbose};
    case Command::help:
    case Command::version:
        break;
    }
    return {};
}

bool takesValue(const QString& option)
{
    return option == QLatin1String("--preset") || option == QLatin1String("--keep") ||
           option == QLatin1String("--timeout");
}

std::optional<Error> applyOption(CtlArguments& parsed, const QString& option, const QString& value)
{
    if (option == QLatin1String("--json")) {
        parsed.json = true;
    } else if (option == QLatin1String("--dry-run")) {
        parsed.dryRun = true;
    } else if (option == QLatin1String("--verbose")) {
        parsed.verbose = true;
    } else if (option == QLatin1String("--preset")) {
        parsed.preset = QuitPreset::fromRawValue(value);
        if (!parsed.preset)
            return Error{QCoreApplication::translate(
                             "NimbrelCtl", "unknown preset \"%1\" (use everything, work or call)")
                             .arg(value)};
    } else if (option == QLatin1String("--keep")) {
        if (value.isEmpty())
            return Error{QCoreApplication::translate("NimbrelCtl",
                                                     "--keep needs an app identifier or name")};
        if (!parsed.keep)
            parsed.keep = QStringList();
        parsed.keep->append(value);
    } else if (option == QLatin1String("--timeout")) {
        bool ok = false;
        const double seconds = value.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > 3600)
            return Error{
                QCoreApplication::translate(
                    "NimbrelCtl", "--timeout needs a number of seconds from 0 to 3600, not \"%1\"")
                    .arg(value)};
        parsed.timeout = seconds;
    }
    return std::nullopt;
}

std::variant<pid_t, Error> parsePid(const QString& text)
{
    bool ok = false;
    const qlonglong pid = text.toLongLong(&ok);
    if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return Error{
            QCoreApplication::translate("NimbrelCtl", "\"%1\" is not a process id").arg(text)};
    return pid_t(pid);
}

} // namespace

std::variant<CtlArguments, Error> CtlArguments::parse(const QStringList& arguments)
{
    CtlArguments parsed;
    if (arguments.isEmpty())
        return Error{QCoreApplication::translate("NimbrelCtl", "no command given")};
    const QString& first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        first == QLatin1String("help"))
        return parsed;
    if (asksForVersion(arguments)) {
        parsed.command = Command::version;
        return parsed;
    }
    const auto command = commands().constFind(first);
    if (command == commands().constEnd())
        return Error{
            QCoreApplication::translate("NimbrelCtl", "unknown command \"%1\"").arg(first)};
    parsed.command = *command;

    const QSet<QString> accepted = optionsOf(parsed.command);
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString option = arguments[i];
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            parsed.command = Command::help;
            return parsed;
        }
        if (!option.startsWith(QLatin1String("--"))) {
            positional.append(option);
            continue;
        }
        QString value;
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        const bool inlineValue = equals > 0;
        if (inlineValue) {
            value = option.mid(equals + 1);
            option.truncate(equals);
        }
        if (!accepted.contains(option))
            return Error{QCoreApplication::translate("NimbrelCtl", "%1 does not take %2")
                             .arg(first, option)};
        if (takesValue(option) && !inlineValue) {
            if (i + 1 >= arguments.size())
                return Error{
                    QCoreApplication::translate("NimbrelCtl", "%1 needs a value").arg(option)};
            value = arguments[++i];
        } else if (!takesValue(option) && inlineValue) {
            return Error{
                QCoreApplication::translate("NimbrelCtl", "%1 takes no value").arg(option)};
        }
        if (std::optional<Error> error = applyOption(parsed, option, value))
            return *error;
    }

    if (parsed.command == Command::forceQuit) {
        if (positional.size() != 1)
            return Error{QCoreApplication::translate("NimbrelCtl",
                                                     "force-quit needs exactly one process id")};
        const auto pid = parsePid(positional.first());
        if (const Error* error = std::get_if<Error>(&pid))
            return *error;
        parsed.pid = std::get<pid_t>(pid);
    } else if (!positional.isEmpty()) {
        return Error{QCoreApplication::translate("NimbrelCtl", "unexpected argument \"%1\"")
                         .arg(positional.first())};
    }
    return parsed;
}

bool CtlArguments::asksForVersion(const QStringList& arguments)
{
    return !arguments.isEmpty() && arguments.first() == QLatin1String("--version");
}

QString CtlArguments::usage()
{
    return QCoreApplication::translate(
        "NimbrelCtl",
        "Usage: nimbrelctl COMMAND [OPTIONS]\n"
        "\n"
        "Lists and politely quits the running desktop apps, like Nimbrel's panel.\n"
        "\n"
        "Commands:\n"
        "  list [--json]                      running apps with the memory each would free,\n"
        "                                     largest first\n"
        "  plan [--preset P] [--keep KEY]... [--json]\n"
        "                                     what the main button would quit and keep;\n"
        "                                     without --preset or --keep, Nimbrel's stored\n"
        "                                     choices are used (never changed)\n"
        "  quit [--preset P] [--keep KEY]... [--timeout SECONDS] [--dry-run] [--json]\n"
        "                                     asks the planned apps to quit and waits for them\n"
        "                                     (12 seconds by default)\n"
        "  force-quit PID [--json]            kills one listed app at once (unsaved work is "
        "lost)\n"
        "\n"
        "Presets: everything, work (distractions), call (before a call).\n"
        "KEY is an app's identifier, or its name when it has none.\n"
        "\n"
        "Exit status: 0 success, 1 failure (no display, app already gone), 2 bad arguments\n"
        "(also a pid that is not a listed app, or quit without --preset while the stored\n"
        "choices cannot be read), 3 some apps are still open after quit.\n"
        "\n"
        "Options:\n"
        "  -h, --help      show this help\n"
        "  --version       show the version\n"
        "  --verbose       say on standard error which desktop backends are read (X11,\n"
        "                  Wayland)\n");
}
