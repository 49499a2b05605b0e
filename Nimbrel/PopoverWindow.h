#pragma once

#include <QDeadlineTimer>
#include <QQuickView>

#include <memory>

class LayerShell;
class LayerSurface;
class OutsideClickCatcher;
class X11PointerPresses;

/// The tray panel's window: frameless, above other windows, with keyboard focus, never listed by
/// taskbars or pagers. It closes on Esc, on a click anywhere outside it (the empty desktop too)
/// and when it loses focus, and then deletes itself with its content.
/// On Wayland the compositor places and focuses it and nothing is grabbed: Esc and focus loss
/// close it. Where the compositor has a layer shell, the panel sits there, at the screen's top
/// right, as panels do, over a clear window that takes a click elsewhere and closes it;
/// elsewhere it is an ordinary window wherever the compositor puts it.
class PopoverWindow : public QQuickView
{
    Q_OBJECT

public:
    // `layerShell` is for Wayland; none on X11.
    PopoverWindow(QQmlEngine* engine, LayerShell* layerShell = nullptr, QWindow* parent = nullptr);
    ~PopoverWindow() override;

    /// Shows the window at `geometry` and takes the keyboard and pointer; on Wayland it shows the
    /// window at `geometry`'s size where the compositor puts it. A press on `opener` (the tray
    /// icon) is left to the tray, whose click toggles the panel.
    void popUp(const QRect& geometry, const QRect& opener = {});
    /// Moves the shown window to `geometry`, as when its content needs another height; on
    /// Wayland only the size counts.
    void fit(const QRect& geometry);
    /// For a while, a loss of focus takes the focus back instead of closing the panel: apps just
    /// started from it may take the focus as their windows appear. On X11, and on Wayland where
    /// the panel sits on the layer shell.
    void keepFocusWhileAppsStart();
    /// Whether the window's background is transparent, so its content may round its corners.
    bool translucent() const { return clear; }

signals:
    void closed();
    /// A key, a button, the wheel or the pointer moved over the panel: the user is at it.
    void touched();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // A quick second click outside arrives as a double click; it closes the panel all the same.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void popUpWhereCompositorPlaces(QSize size);
    void fixSize(QSize size);
    bool dismissedByOutsideClick(QMouseEvent* event);
    void pointerPressedAnywhere();
    void takeFocusBack();
    void dismiss();

    LayerShell* layerShell;
    std::unique_ptr<LayerSurface> layerSurface;
    // On the layer shell: where a click outside the panel lands.
    std::unique_ptr<OutsideClickCatcher> outside;
    // Only on X11: presses that the pointer grab, when it failed, does not bring here.
    std::unique_ptr<X11PointerPresses> pointerPresses;
    QRect opener;
    QDeadlineTimer focusKept{0};
    bool clear = false;
    bool wasActive = false;
    bool dismissed = false;
    bool grabbing = false;
};
