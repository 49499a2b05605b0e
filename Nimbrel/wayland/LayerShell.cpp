#include "LayerShell.h"

#include "LayerSurface.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace
{

// Version 4 brings on-demand keyboard focus (see LayerSurface::letFocusGo).
constexpr std::uint32_t newestVersion = 4;
// Room between the panel and the screen's edges (or the bars the compositor keeps it clear of).
constexpr int margin = 8;

} // namespace

std::unique_ptr<LayerShell> LayerShell::ofApplication()
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* display = native ? static_cast<wl_display*>(native->nativeResourceForIntegration(
                                 QByteArrayLiteral("wl_display")))
                           : nullptr;
    if (!display)
        return nullptr;
    // On Qt's default queue, which Qt dispatches on the GUI thread. One round trip at start-up,
    // as Qt's own, tells whether there is a layer shell before any panel opens.
    std::unique_ptr<LayerShell> layerShell(new LayerShell(display));
    wl_display_roundtrip(display);
    return layerShell;
}

LayerShell::LayerShell(wl_display* display_)
    : display(display_), registry(wl_display_get_registry(display_))
{
    static const wl_registry_listener listener{&LayerShell::onGlobal, &LayerShell::onGlobalRemove};
    wl_registry_add_listener(registry, &listener, this);
}

LayerShell::~LayerShell()
{
    if (shell)
        zwlr_layer_shell_v1_destroy(shell);
    wl_registry_destroy(registry);
}

std::unique_ptr<LayerSurface> LayerShell::placeOnLayer(QWindow& window, std::uint32_t layer,
                                                       const char* role,
                                                       std::function<void(QSize)> configured)
{
    if (!shell)
        return nullptr;
    // Qt then gives the window's surface no role, and this one can.
    window.setFlag(Qt::BypassWindowManagerHint);
    window.create();
    auto* surface = static_cast<wl_surface*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForWindow(
            QByteArrayLiteral("surface"), &window));
    if (!surface)
        return nullptr;
    return std::make_unique<LayerSurface>(
        zwlr_layer_shell_v1_get_layer_surface(shell, surface, nullptr, layer, role), surface,
        std::move(configured));
}

std::unique_ptr<LayerSurface> LayerShell::place(QWindow& window, QSize size,
                                                std::function<void(QSize)> configured)
{
    // Above the top layer, where the cover below it sits.
    auto placed = placeOnLayer(window, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "nimbrel-panel",
                               std::move(configured));
    if (!placed)
        return nullptr;
    zwlr_layer_surface_v1* layer = placed->layerSurface();
    zwlr_layer_surface_v1_set_size(layer, size.width(), size.height());
    zwlr_layer_surface_v1_set_anchor(layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_margin(layer, margin, margin, margin, margin);
    // Only a surface that asks for the keyboard outright gets it when shown (sway gives an
    // on-demand one the keyboard only when clicked); LayerSurface::letFocusGo relents.
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    // The first commit carries no picture: the compositor answers with the size to draw.
    wl_surface_commit(placed->windowSurface());
    wl_display_flush(display);
    return placed;
}

std::unique_ptr<LayerSurface> LayerShell::cover(QWindow& window,
                                                std::function<void(QSize)> configured)
{
    auto placed = placeOnLayer(window, ZWLR_LAYER_SHELL_V1_LAYER_TOP, "nimbrel-outside",
                               std::move(configured));
    if (!placed)
        return nullptr;
    // A size of nothing with all four edges anchored: as large as the bars leave room for.
    zwlr_layer_surface_v1* layer = placed->layerSurface();
    zwlr_layer_surface_v1_set_size(layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(
        layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT |
                   ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    wl_surface_commit(placed->windowSurface());
    wl_display_flush(display);
    return placed;
}

void LayerShell::onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                          const char* interface, std::uint32_t version)
{
    auto* self = static_cast<LayerShell*>(data);
    if (self->shell || std::strcmp(interface, zwlr_layer_shell_v1_interface.name) != 0)
        return;
    self->shell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
        registry, name, &zwlr_layer_shell_v1_interface, std::min(version, newestVersion)));
    self->shellName = name;
}

void LayerShell::onGlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto* self = static_cast<LayerShell*>(data);
    if (!self->shell || name != self->shellName)
        return;
    zwlr_layer_shell_v1_destroy(self->shell);
    self->shell = nullptr;
}
