#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <sys/types.h>

// One running application, as listed, planned, quit and reported.
struct AppEntry {
    pid_t pid = 0;
    QString name;
    std::optional<QString> desktopId;   // desktop-file ID without ".desktop"
    std::optional<QString> desktopFile; // path of the app's desktop file
    quint64 memory = 0;                 // bytes; 0 when not measured
    QStringList categories;             // the desktop entry's Categories, in its order

    pid_t id() const { return pid; }
    // The text under which the user keeps an app: its desktop ID, or its name when it has none.
    QString key() const { return desktopId ? *desktopId : name; }

    friend bool operator==(const AppEntry&, const AppEntry&) = default;
};

size_t qHash(const AppEntry& entry, size_t seed = 0) noexcept;

template <> struct std::hash<AppEntry> {
    size_t operator()(const AppEntry& entry) const noexcept { return qHash(entry); }
};
