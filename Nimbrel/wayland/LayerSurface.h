#pragma once

#include <QSize>

#include <cstdint>
#include <functional>

struct wl_surface;
struct zwlr_layer_surface_v1;

// One window's place on the compositor's layer shell, for as long as this lives. Qt draws the
// window as usual; Qt gives it no role of its own (it bypasses the window manager) while the
// panel setting is on.
class LayerSurface
{
public:
    // `surface` gives `window` (the window's own surface) its place; `configured` runs with the
    // size the compositor first gives it.
    LayerSurface(zwlr_layer_surface_v1* surface, wl_surface* window,
                 std::function<void(QSize)> configured);
    // Gives up the place; due before the window's own surface goes (it hides).
    ~LayerSurface();
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    // Lets a click elsewhere take the keyboard, as from any window, once the surface has it;
    // takes effect with the window's next frame. Shells before version 4 keep it here for good.
    void letFocusGo();
    // Asks for the keyboard back once another window took it, as when the panel was shown;
    // takes effect with the window's next frame, until letFocusGo() relents again.
    void takeFocusBack();
    // Asks for another size; takes effect with the window's next frame, drawn at that size.
    void resize(QSize size);
    zwlr_layer_surface_v1* layerSurface() const { return surface; }
    wl_surface* windowSurface() const { return window; }

    // Runs when the compositor takes the place away (its screen went, or it was asked to).
    void onClosed(std::function<void()> whenClosed) { closed = std::move(whenClosed); }

private:
    static void onConfigure(void* data, zwlr_layer_surface_v1* surface, std::uint32_t serial,
                            std::uint32_t width, std::uint32_t height);
    static void onClosed(void* data, zwlr_layer_surface_v1* surface);

    zwlr_layer_surface_v1* surface;
    wl_surface* window;
    std::function<void(QSize)> configured;
    std::function<void()> closed;
    bool focusLetGo = false;
};
