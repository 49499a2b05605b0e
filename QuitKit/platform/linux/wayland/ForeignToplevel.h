#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <sys/types.h>

// What the compositor's taskbar list says about one toplevel window.
struct ForeignToplevel {
    std::uint32_t id = 0; // ours, never reused while the connection lasts
    QString appId;
    QString title;
    std::optional<std::uint32_t> parent; // a dialog's main window
    bool activated = false;
    // The process the compositor says drew it, where its protocol tells; a claim to verify.
    std::optional<pid_t> claimedPid;

    friend bool operator==(const ForeignToplevel&, const ForeignToplevel&) = default;
};
