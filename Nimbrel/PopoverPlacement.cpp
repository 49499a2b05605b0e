#include "PopoverPlacement.h"

#include <algorithm>

QRect popoverGeometry(QSize size, std::optional<QRect> icon, QPoint pointer, QRect available)
{
    const QRect anchor = icon && icon->isValid() ? *icon : QRect(pointer, QSize(1, 1));
    QRect placed(QPoint(anchor.center().x() - size.width() / 2, anchor.bottom() + 1), size);
    if (placed.bottom() > available.bottom())
        placed.moveBottom(anchor.top() - 1);
    // Clamping keeps the panel whole on a screen edge; a screen smaller than it shows its top left.
    placed.moveLeft(std::clamp(placed.left(), available.left(),
                               std::max(available.left(), available.right() - size.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), available.top(),
                              std::max(available.top(), available.bottom() - size.height() + 1)));
    return placed;
}

QRect monitorFreeArea(QRect monitor, std::optional<QRect> workArea)
{
    const QRect free = workArea ? monitor & *workArea : monitor;
    // A work area that misses the monitor says nothing about it.
    return free.isEmpty() ? monitor : free;
}
