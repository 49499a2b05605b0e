#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The self-checks the tray program can be started for instead of its usual run.
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

// The self-check `arguments` (the whole command line, program path first) ask for; nothing for
// the usual run. A flag counts at its first occurrence, and only with an argument after it, which
// is its path whatever it looks like; when several flags count, the earliest listed above wins.
std::optional<CheckRequest> checkRequest(const QStringList& arguments);

} // namespace StartupFlags
