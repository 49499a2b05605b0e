#pragma once

#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>

struct wl_display;
struct wl_registry;
struct zwlr_layer_shell_v1;
class LayerSurface;
class QWindow;

// wlroots' layer shell on Qt's own Wayland connection, where compositors put panels and bars:
// a surface there is placed by the compositor at the corner it is anchored to, above the
// ordinary windows and clear of the bars. Its events arrive with Qt's own, on the GUI thread.
class LayerShell
{
public:
    // The compositor's layer shell, if it offers one, on Qt's connection; nothing when Qt is on
    // no Wayland display.
    static std::unique_ptr<LayerShell> ofApplication();
    ~LayerShell();
    LayerShell(const LayerShell&) = delete;
    LayerShell& operator=(const LayerShell&) = delete;

    // Gives `window`, which must not have been shown, a place on the overlay layer at the
    // screen's top right, `size` large; `configured` runs once the compositor agreed, when it
    // may be shown. Nothing when there is no layer shell.
    std::unique_ptr<LayerSurface> place(QWindow& window, QSize size,
                                        std::function<void(QSize)> configured);
    // Gives `window`, which must not have been shown, the whole screen but the bars, on the top
    // layer below the panel's; `configured` runs with the size the compositor gave it. It never
    // takes the keyboard. Nothing when there is no layer shell.
    std::unique_ptr<LayerSurface> cover(QWindow& window, std::function<void(QSize)> configured);

private:
    explicit LayerShell(wl_display* display);

    // A new place for `window` on `layer`, not yet committed; nothing when there is none.
    std::unique_ptr<LayerSurface> placeOnLayer(QWindow& window, std::uint32_t layer,
                                               const char* role,
                                               std::function<void(QSize)> configured);

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

    wl_display* display;
    wl_registry* registry;
    zwlr_layer_shell_v1* shell = nullptr;
    std::uint32_t shellName = 0;
};
