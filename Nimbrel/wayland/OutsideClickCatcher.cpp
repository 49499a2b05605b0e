#include "OutsideClickCatcher.h"

#include "LayerShell.h"
#include "LayerSurface.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSurfaceFormat>

OutsideClickCatcher::OutsideClickCatcher(LayerShell& layerShell)
{
    QSurfaceFormat withAlpha = format();
    withAlpha.setAlphaBufferSize(8);
    setFormat(withAlpha);
    setTitle(QStringLiteral("Nimbrel"));
    place = layerShell.cover(*this, [this](QSize size) {
        resize(size);
        show();
    });
}

// The place on the layer shell goes before the window's surface does.
OutsideClickCatcher::~OutsideClickCatcher() = default;

void OutsideClickCatcher::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(), size()), Qt::transparent);
}

void OutsideClickCatcher::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit pressed();
}
