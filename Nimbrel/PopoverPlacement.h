#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the tray panel goes: just below the tray icon, above it when there is no room below, at
// the pointer when the tray does not say where its icon is; always inside the screen's free area.
QRect popoverGeometry(QSize size, std::optional<QRect> icon, QPoint pointer, QRect available);

// The free area of one monitor, given the desktop's work area: X11 window managers publish one
// rectangle for all monitors together, less the panels' room at its edges.
QRect monitorFreeArea(QRect monitor, std::optional<QRect> workArea);
