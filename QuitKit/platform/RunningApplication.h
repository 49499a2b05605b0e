#pragma once

#include <QString>

#include <optional>
#include <sys/types.h>

// Regular apps own a taskbar window; accessory apps only a tray item; background apps neither.
enum class ActivationPolicy { Regular = 0, Accessory = 1, Background = 2 };

// What the workspace reports about one running application.
struct RunningApplication {
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
    bool isTerminated = false;
    pid_t processIdentifier = 0;
    std::optional<QString> bundleIdentifier; // desktop-file ID without ".desktop"
    std::optional<QString> localizedName;
    std::optional<QString> bundleURL; // path of the desktop file (or bundle directory)

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};
