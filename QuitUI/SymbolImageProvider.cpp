#include "SymbolImageProvider.h"

#include "SymbolIcon.h"

#include <QUrlQuery>

#include <algorithm>

SymbolImageProvider::SymbolImageProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage SymbolImageProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const qsizetype queryStart = id.indexOf(QLatin1Char('?'));
    const QString symbol = id.left(queryStart);
    // The engine passes the id as the view wrote it, '#' included, so "color=#1e1e1e" parses whole.
    const QUrlQuery query(queryStart < 0 ? QString() : id.mid(queryStart + 1));
    const QColor colour =
        QColor::fromString(query.queryItemValue(QStringLiteral("color"), QUrl::FullyDecoded));
    // Symbols are square, so one given side is enough.
    const int side = std::max({requestedSize.width(), requestedSize.height(), 0});
    const QSize pixels = side > 0 ? QSize(side, side) : QSize(24, 24);
    const QImage image =
        SymbolIcon::image(symbol, colour.isValid() ? colour : QColor(Qt::black), pixels)
            .value_or(QImage());
    if (size)
        *size = image.size();
    return image;
}
