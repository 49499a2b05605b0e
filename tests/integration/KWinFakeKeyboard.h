#pragma once

#include <QString>

#include <optional>

// Presses keys in KWin's focused window through its fake input protocol (org_kde_kwin_fake_input),
// which KWin offers only to programs an installed desktop entry vouches for.
namespace KWinFakeKeyboard
{

// Presses and releases evdev key `code` on $WAYLAND_DISPLAY; nothing when KWin took it, else why
// not.
std::optional<QString> tap(int code);

} // namespace KWinFakeKeyboard
