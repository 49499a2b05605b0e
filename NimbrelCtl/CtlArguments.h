#pragma once

#include "QuitPreset.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>
#include <variant>

// What one nimbrelctl invocation asks for, read from its command line.
struct CtlArguments {
    enum class Command { list, plan, quit, forceQuit, help, version };

    Command command = Command::help;
    bool json = false;
    std::optional<QuitPreset> preset; // nothing: the stored preset
    std::optional<QStringList> keep;  // nothing: the stored kept apps
    double timeout = 12;              // seconds
    bool dryRun = false;
    bool verbose = false; // say on standard error which desktop backends are read
    pid_t pid = 0;

    // Why a command line was refused, worded for the user.
    struct Error {
        QString message;
    };

    // Parses the arguments after the program name.
    static std::variant<CtlArguments, Error> parse(const QStringList& arguments);
    // Whether the arguments after the program name ask for the version.
    static bool asksForVersion(const QStringList& arguments);
    // The usage text --help prints.
    static QString usage();
};
