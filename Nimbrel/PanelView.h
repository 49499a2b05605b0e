#pragma once

#include <QSize>

class QObject;
class QQuickView;
class QuitModel;

// The tray panel as a Qt Quick view shows it.
namespace PanelView
{

/// The panel's size: 380 × 470 units, so it grows with the desktop's font.
QSize size();

/// Shows the panel over `model` in `view`, sized with the view; `shell` answers the settings
/// button (nothing happens without one). A `rounded` panel leaves its corners out, for a view
/// whose background is transparent. False when the panel could not be loaded.
bool load(QQuickView& view, QuitModel& model, QObject* shell, bool rounded = false);

} // namespace PanelView
