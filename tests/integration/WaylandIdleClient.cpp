// A Wayland client that only stays connected, until its compositor goes or it is ended: a
// stand-in app for compositors too small to show windows.
#include <wayland-client.h>

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    while (wl_display_dispatch(display) != -1) {
    }
    wl_display_disconnect(display);
    return 0;
}
