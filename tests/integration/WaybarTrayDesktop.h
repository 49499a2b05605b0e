#pragma once

#include "SessionBus.h"
#include "SwayTrayDesktop.h"

#include <QRect>

// sway with waybar across the top of its output: waybar's tray is the StatusNotifierItem host,
// and keeps the StatusNotifierWatcher itself, on a session bus of this desktop's own.
class WaybarTrayDesktop : public SwayTrayDesktop
{
public:
    WaybarTrayDesktop() : SwayTrayDesktop(barHeight) {}

    std::optional<QString> start() override;
    QString busAddress() const { return bus.address(); }
    // Where waybar shows, on the output.
    QRect bar() const { return {0, 0, screen().width(), barHeight}; }

private:
    static constexpr int barHeight = 30;

    SessionBus bus;
};
