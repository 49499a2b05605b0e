#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

struct wl_display;
struct zwlr_virtual_pointer_v1;

// A pointer device on a wlroots compositor ($WAYLAND_DISPLAY), through its virtual pointer
// protocol: a headless one has no pointer of its own, and gives its clients none until a device
// comes. It stays for the object's life, so clients have bound it by the first click.
class WlrVirtualPointer
{
public:
    WlrVirtualPointer();
    ~WlrVirtualPointer();
    WlrVirtualPointer(const WlrVirtualPointer&) = delete;
    WlrVirtualPointer& operator=(const WlrVirtualPointer&) = delete;

    // Why there is no pointer; nothing when there is one.
    std::optional<QString> problem() const { return failure; }
    // Moves to `point` of a layout `extent` large and presses and releases `button` (1 left,
    // 3 right); nothing when the compositor took it, else why not.
    std::optional<QString> click(QPoint point, QSize extent, int button);
    // Moves to `point` without a click, e.g. off what the last click left hovered.
    std::optional<QString> moveTo(QPoint point, QSize extent);

private:
    static uint32_t now();
    void move(uint32_t time, QPoint point, QSize extent);

    wl_display* display = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
    std::optional<QString> failure;
};
