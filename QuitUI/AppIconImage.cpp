#include "AppIconImage.h"

#include <QCache>
#include <QCryptographicHash>
#include <QImage>
#include <QPixmap>

namespace
{

// Qt's icon engines keep each icon's scaled pictures in the program's pixmap cache under that
// icon's own identity. A fresh QIcon for the same picture at every panel opening would leave new
// entries there each time, up to that cache's 10 MB limit; the same QIcon finds its own again.
constexpr int iconsKept = 64;

QByteArray keyOf(const AppIcon& icon)
{
    if (!icon.file.isEmpty())
        return "file:" + icon.file.toUtf8();
    if (!icon.themeName.isEmpty())
        return "theme:" + icon.themeName.toUtf8();
    const QByteArrayView pixels(reinterpret_cast<const char*>(icon.argb.constData()),
                                icon.argb.size() * qsizetype(sizeof(std::uint32_t)));
    return "pixels:" + QByteArray::number(icon.size.width()) + 'x' +
           QByteArray::number(icon.size.height()) + ':' +
           QCryptographicHash::hash(pixels, QCryptographicHash::Sha256);
}

QIcon drawn(const AppIcon& icon)
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

} // namespace

QIcon AppIconImage::of(const AppIcon& icon)
{
    static QCache<QByteArray, QIcon> kept(iconsKept);
    const QByteArray key = keyOf(icon);
    if (const QIcon* found = kept.object(key))
        return *found;
    QIcon made = drawn(icon);
    kept.insert(key, new QIcon(made));
    return made;
}
