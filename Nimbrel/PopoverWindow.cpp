#include "PopoverWindow.h"

#include "LayerShell.h"
#include "LayerSurface.h"
#include "OutsideClickCatcher.h"
#include "WindowSystem.h"
#include "X11PanelWindow.h"
#include "X11PointerPresses.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSurfaceFormat>

PopoverWindow::PopoverWindow(QQmlEngine* engine, LayerShell* layerShell_, QWindow* parent)
    : QQuickView(engine, parent), layerShell(layerShell_)
{
    setFlags(WindowSystem::letsProgramPlaceAndGrab()
                 ? X11PanelWindow::flags()
                 : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setResizeMode(QQuickView::SizeRootObjectToView);
    setTitle(QStringLiteral("Nimbrel"));
    // Asked at every opening: a compositing manager may have started or stopped meanwhile.
    clear = WindowSystem::drawsTranslucentWindows();
    if (clear) {
        QSurfaceFormat withAlpha = format();
        withAlpha.setAlphaBufferSize(8);
        setFormat(withAlpha);
        setColor(Qt::transparent);
    }
}

// The place on the layer shell goes before the window's surface does.
PopoverWindow::~PopoverWindow() = default;

void PopoverWindow::popUp(const QRect& geometry, const QRect& opener_)
{
    if (!WindowSystem::letsProgramPlaceAndGrab())
        return popUpWhereCompositorPlaces(geometry.size());
    opener = opener_;
    setGeometry(geometry);
    X11PanelWindow::prepare(*this);
    show();
    raise();
    requestActivate();
    // The grabs make a click anywhere else reach this window, which then closes, as a menu does.
    setKeyboardGrabEnabled(true);
    setMouseGrabEnabled(true);
    grabbing = true;
    // A desktop shell may hold the pointer right now, and the grab fails: a click on the empty
    // desktop would then move no focus and reach no window of ours.
    pointerPresses = std::make_unique<X11PointerPresses>();
    connect(pointerPresses.get(), &X11PointerPresses::pressed, this,
            &PopoverWindow::pointerPressedAnywhere);
}

void PopoverWindow::fit(const QRect& geometry)
{
    if (WindowSystem::letsProgramPlaceAndGrab())
        return setGeometry(geometry);
    fixSize(geometry.size());
    if (layerSurface)
        layerSurface->resize(geometry.size());
}

void PopoverWindow::fixSize(QSize size)
{
    // A fixed size keeps the panel whole, and makes tiling compositors (sway) float it.
    setMinimumSize(size);
    setMaximumSize(size);
    resize(size);
}

void PopoverWindow::popUpWhereCompositorPlaces(QSize size)
{
    fixSize(size);
    if (layerShell) {
        layerSurface = layerShell->place(*this, size, [this](QSize) { show(); });
        if (layerSurface) {
            outside = std::make_unique<OutsideClickCatcher>(*layerShell);
            // Queued: the press that closes the panel is still being delivered to the catcher.
            connect(outside.get(), &OutsideClickCatcher::pressed, this, &PopoverWindow::dismiss,
                    Qt::QueuedConnection);
            // Its screen went: the panel goes too, once the compositor's call has returned.
            layerSurface->onClosed([this] {
                QMetaObject::invokeMethod(
                    this, [this] { dismiss(); }, Qt::QueuedConnection);
            });
            return;
        }
    }
    // The compositor focuses the new window, or not: asking without an activation token is void.
    show();
}

namespace
{

// Whether the user is at the panel: with the pointer grabbed, moves and presses anywhere on the
// screen arrive here too, and only those over the panel count.
bool isInputOnPanel(const QEvent& event, QSize panel)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return QRect(QPoint(), panel)
            .contains(static_cast<const QMouseEvent&>(event).position().toPoint());
    default:
        return false;
    }
}

} // namespace

bool PopoverWindow::event(QEvent* event)
{
    if (isInputOnPanel(*event, size()))
        emit touched();
    if (event->type() == QEvent::FocusIn) {
        wasActive = true;
        // Holding the keyboard brought it here; from now on a click elsewhere may take it.
        if (layerSurface) {
            layerSurface->letFocusGo();
            update();
        }
    } else if (event->type() == QEvent::FocusOut && wasActive) {
        if (focusKept.hasExpired())
            dismiss();
        else
            takeFocusBack();
    } else if (event->type() == QEvent::Close)
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

void PopoverWindow::keepFocusWhileAppsStart()
{
    // Qt apps and xterm take the focus however they were started, KWin on Wayland gives it to
    // every new window, and an app under load may take seconds to show its window. On X11 the
    // user's own clicks elsewhere still close the panel: they are seen as clicks, not through
    // the focus, as on the layer shell, where they land on the catcher below the panel.
    constexpr int appsStartWithin = 10'000;
    if (grabbing || layerSurface)
        focusKept = QDeadlineTimer(appsStartWithin);
}

void PopoverWindow::takeFocusBack()
{
    if (layerSurface) {
        layerSurface->takeFocusBack();
        update();
        return;
    }
    // Once the window manager has finished handing the focus to the new window.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (dismissed)
                return;
            raise();
            requestActivate();
        },
        Qt::QueuedConnection);
}

void PopoverWindow::pointerPressedAnywhere()
{
    const QPoint pointer = QCursor::pos();
    if (!geometry().contains(pointer) && !opener.contains(pointer))
        dismiss();
}

void PopoverWindow::dismiss()
{
    if (dismissed)
        return;
    dismissed = true;
    // Only where taken: Wayland's plugin warns about any grab call on a window like this.
    if (grabbing) {
        setMouseGrabEnabled(false);
        setKeyboardGrabEnabled(false);
    }
    outside.reset();
    layerSurface.reset();
    hide();
    emit closed();
    deleteLater();
}
