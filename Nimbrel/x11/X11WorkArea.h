#pragma once

#include <QRect>

#include <optional>

class QScreen;

// The area of the X11 desktop that windows may cover, as the window manager publishes it.
namespace X11WorkArea
{

/// The current desktop's _NET_WORKAREA in `screen`'s logical coordinates; nothing without a
/// window manager that publishes it.
std::optional<QRect> current(const QScreen& screen);

} // namespace X11WorkArea
