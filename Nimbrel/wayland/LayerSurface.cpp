#include "LayerSurface.h"

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QByteArray>
#include <QtGlobal>

#include <utility>

namespace
{

// Qt reads this whenever it asks whether such a window is shown; it must not reach the apps
// started meanwhile, so it is on only while a panel is.
const char* const bypassSetting = "QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT";
int surfacesBypassing = 0;

void bypassWindowManager(bool on)
{
    surfacesBypassing += on ? 1 : -1;
    if (surfacesBypassing > 0)
        qputenv(bypassSetting, QByteArrayLiteral("1"));
    else
        qunsetenv(bypassSetting);
}

} // namespace

LayerSurface::LayerSurface(zwlr_layer_surface_v1* surface_, wl_surface* window_,
                           std::function<void(QSize)> configured_)
    : surface(surface_), window(window_), configured(std::move(configured_))
{
    static const zwlr_layer_surface_v1_listener listener{&LayerSurface::onConfigure,
                                                         &LayerSurface::onClosed};
    zwlr_layer_surface_v1_add_listener(surface, &listener, this);
    bypassWindowManager(true);
}

LayerSurface::~LayerSurface()
{
    zwlr_layer_surface_v1_destroy(surface);
    bypassWindowManager(false);
}

void LayerSurface::letFocusGo()
{
    if (focusLetGo || zwlr_layer_surface_v1_get_version(surface) <
                          ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_ON_DEMAND_SINCE_VERSION)
        return;
    focusLetGo = true;
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_ON_DEMAND);
}

void LayerSurface::takeFocusBack()
{
    focusLetGo = false;
    // KWin hands the keyboard to a layer surface as it starts to want it, not while it goes on
    // wanting it: first none, committed at once, then exclusive with the next frame.
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    wl_surface_commit(window);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

void LayerSurface::resize(QSize size)
{
    zwlr_layer_surface_v1_set_size(surface, std::uint32_t(size.width()),
                                   std::uint32_t(size.height()));
}

void LayerSurface::onConfigure(void* data, zwlr_layer_surface_v1* surface, std::uint32_t serial,
                               std::uint32_t width, std::uint32_t height)
{
    // Only the first size counts: the panel's is as asked (then as resized), and the cover's
    // screen keeps its size while the panel shows.
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    auto* self = static_cast<LayerSurface*>(data);
    if (auto first = std::exchange(self->configured, nullptr))
        first(QSize(int(width), int(height)));
}

void LayerSurface::onClosed(void* data, zwlr_layer_surface_v1*)
{
    auto* self = static_cast<LayerSurface*>(data);
    if (self->closed)
        self->closed();
}
