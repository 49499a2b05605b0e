#pragma once

#include <Qt>

class QWindow;

// The tray panel's window as X11 window managers, taskbars and pagers see it.
namespace X11PanelWindow
{

/// The Qt flags of the panel: frameless and above other windows. Not a Qt tool window, which Qt
/// makes transient for its hidden leader window, a transient that mutter rejects as invalid.
Qt::WindowFlags flags();
/// Makes `window`, not yet shown, a utility window that no taskbar or pager lists.
void prepare(QWindow& window);

} // namespace X11PanelWindow
