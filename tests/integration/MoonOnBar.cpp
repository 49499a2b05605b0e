#include "MoonOnBar.h"

#include <QHash>

namespace
{

QRgb mostCommon(const QHash<QRgb, int>& counts, int* howMany = nullptr)
{
    QRgb common = 0;
    int most = 0;
    for (auto count = counts.cbegin(); count != counts.cend(); ++count) {
        if (count.value() > most) {
            common = count.key();
            most = count.value();
        }
    }
    if (howMany)
        *howMany = most;
    return common;
}

} // namespace

std::optional<Moon> findMoon(const QImage& shot, const QImage& before)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            ++counts[shot.pixel(x, y)];
    }
    const QRgb bar = mostCommon(counts);
    const bool compared = !before.isNull() && before.size() == shot.size();
    QRect area;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            if (pixel != bar && (!compared || before.pixel(x, y) != pixel))
                area |= QRect(x, y, 1, 1);
        }
    }
    if (area.isEmpty())
        return std::nullopt;
    // What the moon sits on is the colour along the edge of what changed: the bar's own, or a
    // button the tray draws around its icons (waybar's).
    QHash<QRgb, int> edge;
    for (int x = area.left(); x <= area.right(); ++x) {
        ++edge[shot.pixel(x, area.top())];
        ++edge[shot.pixel(x, area.bottom())];
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        ++edge[shot.pixel(area.left(), y)];
        ++edge[shot.pixel(area.right(), y)];
    }
    const QRgb behind = mostCommon(edge);
    QHash<QRgb, int> inside;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (shot.pixel(x, y) != behind)
                ++inside[shot.pixel(x, y)];
        }
    }
    int moonPixels = 0;
    const QRgb moon = mostCommon(inside, &moonPixels);
    // A moon of a few pixels is an edge of something else.
    if (moonPixels < 12)
        return std::nullopt;
    return Moon{QColor(behind), QColor(moon), area};
}
