#include "Units.h"

#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QJSEngine>
#include <QPointer>
#include <QScreen>

#include <cmath>

namespace
{

// The body text size the layout's figures are written for.
constexpr qreal layoutBodySize = 13;

} // namespace

Units::Units(QObject* parent) : QObject(parent), pixelsPerUnit(measured())
{
    // The application object hears every font change, also those the platform theme makes.
    qGuiApp->installEventFilter(this);
}

Units* Units::instance()
{
    static QPointer<Units> shared;
    if (!shared) {
        shared = new Units(qGuiApp);
        QJSEngine::setObjectOwnership(shared, QJSEngine::CppOwnership);
    }
    return shared;
}

Units* Units::create(QQmlEngine*, QJSEngine*)
{
    return instance();
}

qreal Units::size(qreal units) const
{
    return std::round(units * pixelsPerUnit);
}

int Units::font(qreal units) const
{
    return std::max(1, int(std::lround(units * pixelsPerUnit)));
}

bool Units::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationFontChange) {
        const qreal now = measured();
        if (!qFuzzyCompare(now, pixelsPerUnit)) {
            pixelsPerUnit = now;
            emit changed();
        }
    }
    return QObject::eventFilter(watched, event);
}

qreal Units::measured()
{
    // Text in points is drawn at the screen's logical resolution, as Qt Quick does too.
    const QFont body = QGuiApplication::font();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96;
    const qreal pixels = body.pixelSize() > 0 ? body.pixelSize() : body.pointSizeF() * dpi / 72;
    return pixels / layoutBodySize;
}
