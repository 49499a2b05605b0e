#pragma once

#include <QRasterWindow>

#include <memory>

class LayerShell;
class LayerSurface;

// A clear window over the screen but the bars, below the panel on the layer shell. Some
// compositors (sway) give the panel the keyboard back whatever the user clicks, so no loss of
// focus tells it of a click elsewhere; this window takes that click, as a menu does.
class OutsideClickCatcher : public QRasterWindow
{
    Q_OBJECT

public:
    // Shows once the compositor has given it its size; never where `layerShell` has no place.
    explicit OutsideClickCatcher(LayerShell& layerShell);
    ~OutsideClickCatcher() override;

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<LayerSurface> place;
};
