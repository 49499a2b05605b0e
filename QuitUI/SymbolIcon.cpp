#include "SymbolIcon.h"

#include <QImageReader>
#include <QPainter>
#include <QPixmap>

QString SymbolIcon::path(const QString& name)
{
    return QStringLiteral(":/symbols/") + name + QStringLiteral(".svg");
}

std::optional<QImage> SymbolIcon::image(const QString& name, const QColor& colour,
                                        const QSize& pixels)
{
    // The SVG is drawn at the final size rather than scaled, so edges stay sharp.
    QImageReader reader(path(name));
    reader.setScaledSize(pixels);
    QImage image = reader.read();
    if (image.isNull()) {
        qWarning().noquote() << "Symbol" << name << "could not be drawn:" << reader.errorString();
        return std::nullopt;
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    return image;
}

QIcon SymbolIcon::icon(const QString& name, const QColor& colour)
{
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 44, 48, 64, 96}) {
        const std::optional<QImage> drawn = image(name, colour, QSize(side, side));
        if (!drawn)
            return {};
        icon.addPixmap(QPixmap::fromImage(*drawn));
    }
    return icon;
}
