#include "MoonShade.h"

#include <cmath>

namespace
{

// The colours the panel's own text uses, so the moon matches it.
const QColor lightMoon(0xf2, 0xf2, 0xf2);
const QColor darkMoon(0x1e, 0x1e, 0x1e);

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double MoonShade::luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double MoonShade::contrast(const QColor& first, const QColor& second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor MoonShade::onBar(const QColor& bar)
{
    return contrast(lightMoon, bar) >= contrast(darkMoon, bar) ? lightMoon : darkMoon;
}

QColor MoonShade::forForeground(const QColor& foreground)
{
    // A light foreground is what a dark bar asks for, and the other way round.
    return contrast(foreground, Qt::black) >= contrast(foreground, Qt::white) ? lightMoon
                                                                              : darkMoon;
}
