#include "WlrVirtualPointer.h"

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

// The generated tables, built as C++ after their C declarations (the project compiles no C); GCC
// notes their hidden visibility comes after the header declared them.
#pragma GCC diagnostic ignored "-Wattributes"
#include "wlr-virtual-pointer-unstable-v1-protocol.c"

#include <linux/input-event-codes.h>

#include <chrono>
#include <cstring>

namespace
{

struct Globals {
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
    wl_seat* seat = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemove};

} // namespace

WlrVirtualPointer::WlrVirtualPointer() : display(wl_display_connect(nullptr))
{
    if (!display) {
        failure = QStringLiteral("cannot connect to the compositor");
        return;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    if (!globals.manager) {
        failure = QStringLiteral("the compositor offers no virtual pointer");
        return;
    }
    pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
    if (globals.seat)
        wl_seat_destroy(globals.seat);
    if (wl_display_roundtrip(display) < 0)
        failure = QStringLiteral("the compositor refused a virtual pointer");
}

WlrVirtualPointer::~WlrVirtualPointer()
{
    if (pointer)
        zwlr_virtual_pointer_v1_destroy(pointer);
    if (display)
        wl_display_disconnect(display);
}

uint32_t WlrVirtualPointer::now()
{
    // Times as a device's, in milliseconds: toolkits tell double clicks by them.
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

void WlrVirtualPointer::move(uint32_t time, QPoint point, QSize extent)
{
    zwlr_virtual_pointer_v1_motion_absolute(pointer, time, uint32_t(point.x()), uint32_t(point.y()),
                                            uint32_t(extent.width()), uint32_t(extent.height()));
    zwlr_virtual_pointer_v1_frame(pointer);
}

std::optional<QString> WlrVirtualPointer::moveTo(QPoint point, QSize extent)
{
    if (failure)
        return failure;
    move(now(), point, extent);
    if (wl_display_roundtrip(display) < 0)
        return QStringLiteral("the compositor closed the connection");
    return std::nullopt;
}

std::optional<QString> WlrVirtualPointer::click(QPoint point, QSize extent, int button)
{
    if (failure)
        return failure;
    const uint32_t code = button == 3 ? BTN_RIGHT : button == 2 ? BTN_MIDDLE : BTN_LEFT;
    const uint32_t time = now();
    move(time, point, extent);
    zwlr_virtual_pointer_v1_button(pointer, time, code, WL_POINTER_BUTTON_STATE_PRESSED);
    zwlr_virtual_pointer_v1_frame(pointer);
    zwlr_virtual_pointer_v1_button(pointer, time + 50, code, WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0)
        return QStringLiteral("the compositor closed the connection");
    return std::nullopt;
}
