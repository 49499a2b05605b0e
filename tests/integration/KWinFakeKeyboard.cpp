#include "KWinFakeKeyboard.h"

#include "fake-input-client-protocol.h"

#include <wayland-client.h>

// The generated tables, built as C++ after their C declarations (the project compiles no C); GCC
// notes their hidden visibility comes after the header declared them.
#pragma GCC diagnostic ignored "-Wattributes"
#include "fake-input-protocol.c"

#include <cstring>
#include <memory>

namespace
{

struct Globals {
    org_kde_kwin_fake_input* fakeInput = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version)
{
    // Keys came with version 4.
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        static_cast<Globals*>(data)->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemove};

} // namespace

namespace KWinFakeKeyboard
{

std::optional<QString> tap(int code)
{
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(
        wl_display_connect(nullptr), wl_display_disconnect);
    if (!display)
        return QStringLiteral("cannot connect to KWin");
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display.get());
    if (!globals.fakeInput) {
        wl_registry_destroy(registry);
        return QStringLiteral("KWin offers this program no fake input");
    }
    org_kde_kwin_fake_input_authenticate(globals.fakeInput, "nimbrel tests", "press keys");
    org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, code, WL_KEYBOARD_KEY_STATE_PRESSED);
    org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, code, WL_KEYBOARD_KEY_STATE_RELEASED);
    const bool sent = wl_display_roundtrip(display.get()) >= 0;
    org_kde_kwin_fake_input_destroy(globals.fakeInput);
    wl_registry_destroy(registry);
    if (!sent)
        return QStringLiteral("KWin closed the connection");
    return std::nullopt;
}

} // namespace KWinFakeKeyboard
