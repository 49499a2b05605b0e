#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <optional>

// The moon in a screenshot of the bar around it, found where pixels differ from the bar (the
// picture's most common colour) and, where the bar was taken before the moon came, changed since:
// what it sits on is the colour around that, the moon the most common other colour there.
struct Moon {
    QColor bar; // what the moon sits on
    QColor moon;
    QRect area; // within the screenshot
    friend bool operator==(const Moon&, const Moon&) = default;
};

std::optional<Moon> findMoon(const QImage& shot, const QImage& before);
