#include "PopoverWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>

PopoverWindow::PopoverWindow(QQmlEngine* engine, QWindow* parent) : QQuickView(engine, parent)
{
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setResizeMode(QQuickView::SizeRootObjectToView);
    setTitle(QStringLiteral("Nimbrel"));
}

void PopoverWindow::popUp(const QRect& geometry)
{
    setGeometry(geometry);
    show();
    raise();
    requestActivate();
    // The grabs make a click anywhere else reach this window, which then closes, as a menu does.
    setKeyboardGrabEnabled(true);
    setMouseGrabEnabled(true);
}

bool PopoverWindow::event(QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        wasActive = true;
    else if (event->type() == QEvent::FocusOut && wasActive)
        dismiss();
    else if (event->type() == QEvent::Close)
        dismiss();
    return QQuickView::event(event);
}

void PopoverWindow::keyPressEvent(QKeyEvent* event)
{
    QQuickView::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape)
        dismiss();
}

void PopoverWindow::mousePressEvent(QMouseEvent* event)
{
    if (!dismissedByOutsideClick(event))
        QQuickView::mousePressEvent(event);
}

void PopoverWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!dismissedByOutsideClick(event))
        QQuickView::mouseDoubleClickEvent(event);
}

bool PopoverWindow::dismissedByOutsideClick(QMouseEvent* event)
{
    if (QRect(QPoint(), size()).contains(event->position().toPoint()))
        return false;
    event->accept();
    dismiss();
    return true;
}

void PopoverWindow::dismiss()
{
    if (dismissed)
        return;
    dismissed = true;
    setMouseGrabEnabled(false);
    setKeyboardGrabEnabled(false);
    hide();
    emit closed();
    deleteLater();
}
