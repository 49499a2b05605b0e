#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

// One running application, as listed, planned, quit and reported.
struct AppEntry {
    pid_t pid = 0;
    QString name;
    std::optional<QString> bundleID;
    std::optional<QString> bundleURL; // path of the app's desktop file or bundle directory
    quint64 memory = 0;               // bytes; 0 when not measured
    std::optional<QString> category;

    pid_t id() const { return pid; }
    // The text under which the user keeps an app: its identifier, or its name when it has none.
    QString key() const { return bundleID ? *bundleID : name; }

    friend bool operator==(const AppEntry&, const AppEntry&) = default;
};

size_t qHash(const AppEntry& entry, size_t seed = 0) noexcept;

template <> struct std::hash<AppEntry> {
    size_t operator()(const AppEntry& entry) const noexcept { return qHash(entry); }
};
