#pragma once

#include <QQuickView>

#include <memory>

class LayerShell;
class LayerSurface;

/// The tray panel's window: frameless, above other windows, with keyboard focus. It closes on
/// Esc, on a click outside it and when it loses focus, and then deletes itself with its content.
/// On Wayland the compositor places and focuses it and nothing is grabbed: Esc and focus loss
/// close it. Where the compositor has a layer shell, the panel sits there, at the screen's top
/// right, as panels do; elsewhere it is an ordinary window wherever the compositor puts it.
class PopoverWindow : public QQuickView
{
    Q_OBJECT

public:
    // `layerShell` is for Wayland; none on X11.
    PopoverWindow(QQmlEngine* engine, LayerShell* layerShell = nullptr, QWindow* parent = nullptr);
    ~PopoverWindow() override;

    /// Shows the window at `geometry` and takes the keyboard and pointer; on Wayland it shows the
    /// window at `geometry`'s size where the compositor puts it.
    void popUp(const QRect& geometry);

signals:
    void closed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // A quick second click outside arrives as a double click; it closes the panel all the same.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void popUpWhereCompositorPlaces(QSize size);
    bool dismissedByOutsideClick(QMouseEvent* event);
    void dismiss();

    LayerShell* layerShell;
    std::unique_ptr<LayerSurface> layerSurface;
    bool wasActive = false;
    bool dismissed = false;
    bool grabbing = false;
};
