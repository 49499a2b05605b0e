#include "AppIconImage.h"

#include <QImage>
#include <QPixmap>

#include <cstring>

QIcon AppIconImage::of(const AppIcon& icon)
{
    if (!icon.file.isEmpty())
        return QIcon(icon.file);
    if (!icon.themeName.isEmpty())
        return QIcon::fromTheme(icon.themeName);
    if (icon.size.isEmpty() ||
        icon.argb.size() != qsizetype(icon.size.width()) * icon.size.height())
        return {};
    QImage image(icon.size, QImage::Format_ARGB32);
    const std::size_t rowBytes = std::size_t(icon.size.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), icon.argb.constData() + std::size_t(y) * icon.size.width(),
                    rowBytes);
    return QIcon(QPixmap::fromImage(image));
}
