#include "AppIconImage.h"

#include <QImage>
#include <QPixmap>

QIcon AppIconImage::of(const AppIcon& icon)
{
    if (!icon.file.isEmpty())
        return QIcon(icon.file);
    if (!icon.themeName.isEmpty())
        return QIcon::fromTheme(icon.themeName);
    if (icon.size.isEmpty() ||
        icon.argb.size() != qsizetype(icon.size.width()) * icon.size.height())
        return {};
    // ARGB32 rows are whole 32-bit words: the pixels are the image's lines as they stand.
    const QImage pixels(reinterpret_cast<const uchar*>(icon.argb.constData()), icon.size.width(),
                        icon.size.height(), QImage::Format_ARGB32);
    return QIcon(QPixmap::fromImage(pixels.copy()));
}
