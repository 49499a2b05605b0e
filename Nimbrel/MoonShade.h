#pragma once

#include <QColor>

// Which moon stands out on a tray bar: a light one or a dark one.
namespace MoonShade
{

/// WCAG relative luminance of `colour`, 0 (black) to 1 (white).
double luminance(const QColor& colour);
/// WCAG contrast ratio of two colours, 1 to 21.
double contrast(const QColor& first, const QColor& second);
/// The light or the dark moon colour, whichever contrasts more with a bar of colour `bar`.
QColor onBar(const QColor& bar);
/// The moon colour for a tray that asks its icons to draw in `foreground`: light for a light
/// foreground, dark for a dark one.
QColor forForeground(const QColor& foreground);

} // namespace MoonShade
