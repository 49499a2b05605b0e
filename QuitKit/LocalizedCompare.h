#pragma once

#include <QString>

// Compares two texts the way the user's language sorts them (ICU collation of the current
// locale; the root collation when the locale is "C", never plain code-point order).
// Negative when a sorts before b, 0 when they sort together, positive otherwise.
int localizedCompare(const QString& a, const QString& b);
