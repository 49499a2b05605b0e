#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the tray program can be started for instead of its usual run: an answer on the terminal,
// or a self-check.
namespace StartupFlags
{

enum class Check {
    Menus,           // --check-menus FILE
    Tutorial,        // --check-tutorial FILE
    WindowSnapshots, // --snapshot-windows FOLDER
    IdleReport,      // --idle-report FILE
};

struct CheckRequest {
    Check check;
    QString path; // where the check writes its result

    bool operator==(const CheckRequest&) const = default;
};

enum class Answer {
    Help,    // --help or -h
    Version, // --version
};

// The answer `arguments` (the whole command line, program path first) ask for; nothing when they
// ask none. The first such flag counts, except as the path of a self-check flag before it.
std::optional<Answer> answerRequest(const QStringList& arguments);
// What --help prints, in the user's language.
QString usage();

// The self-check `arguments` (the whole command line, program path first) ask for; nothing for
// the usual run. A flag counts at its first occurrence, and only with an argument after it, which
// is its path whatever it looks like; when several flags count, the earliest listed above wins.
std::optional<CheckRequest> checkRequest(const QStringList& arguments);

} // namespace StartupFlags
