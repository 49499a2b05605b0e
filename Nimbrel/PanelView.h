#pragma once

#include <QSize>

#include <functional>

class QObject;
class QQuickView;
class QuitModel;

// The tray panel as a Qt Quick view shows it.
namespace PanelView
{

/// The panel's size for what `view` shows now: 380 units wide and 470 high, so it grows with the
/// desktop's font, and higher where its content needs more (a larger font's wrapped lines, a
/// result with apps still open), but never higher than `room`, where it scrolls instead.
QSize size(const QQuickView& view, QSize room);

/// From now on calls `fit` with the panel's size whenever its content needs another height.
void followContent(QQuickView& view, QSize room, std::function<void(QSize)> fit);

/// Sizes `view`, an ordinary window, to the panel's size within its screen's free area, and goes on
/// doing so as its content changes.
void fitToContent(QQuickView& view);

/// Shows the panel over `model` in `view`, at its width; `shell` answers the settings button
/// (nothing happens without one). A `rounded` panel leaves its corners out, for a view whose
/// background is transparent. False when the panel could not be loaded.
bool load(QQuickView& view, QuitModel& model, QObject* shell, bool rounded = false);

} // namespace PanelView
