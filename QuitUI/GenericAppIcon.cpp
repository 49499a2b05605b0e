#include "GenericAppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace
{

// A window outline with a title bar, readable at any size on light and dark panels.
QPixmap drawnWindow(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 8.0;
    const QRectF frame(margin, margin * 1.5, size - 2 * margin, size - 3 * margin);
    painter.setPen(QPen(QColor(0x55, 0x5b, 0x66), size / 32.0));
    painter.setBrush(QColor(0xf4, 0xf5, 0xf7));
    painter.drawRoundedRect(frame, size / 16.0, size / 16.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x7d, 0xc9));
    painter.drawRect(QRectF(frame.left(), frame.top(), frame.width(), frame.height() / 5));
    return pixmap;
}

} // namespace

QIcon GenericAppIcon::icon()
{
    // One icon for the program's life: its scaled pictures are kept under its identity.
    static const QIcon generic = [] {
        QIcon fallback;
        for (int size : {16, 32, 64, 128})
            fallback.addPixmap(drawnWindow(size));
        return QIcon::fromTheme(QStringLiteral("application-x-executable"), fallback);
    }();
    return generic;
}
