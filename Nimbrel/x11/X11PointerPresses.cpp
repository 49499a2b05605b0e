#include "X11PointerPresses.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace
{

// Buttons 4 to 7 are the wheel's steps.
bool isWheel(uint32_t button)
{
    return button >= 4 && button <= 7;
}

} // namespace

X11PointerPresses::X11PointerPresses(QObject* parent) : QObject(parent)
{
    // Another platform plugin (offscreen in tests) has nothing to hear, whatever $DISPLAY says.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    connection = xcb_connect(nullptr, nullptr);
    if (!listen())
        return;
    notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                 QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &X11PointerPresses::readEvents);
}

X11PointerPresses::~X11PointerPresses()
{
    notifier.reset();
    if (connection)
        xcb_disconnect(connection);
}

bool X11PointerPresses::listen()
{
    if (xcb_connection_has_error(connection))
        return false;
    const xcb_query_extension_reply_t* input = xcb_get_extension_data(connection, &xcb_input_id);
    if (!input || !input->present)
        return false;
    // From XInput 2.1 on, raw events reach every client that selects them, grabs or not.
    xcb_input_xi_query_version_reply_t* version = xcb_input_xi_query_version_reply(
        connection, xcb_input_xi_query_version(connection, 2, 2), nullptr);
    const bool rawToAll = version && (version->major_version > 2 ||
                                      (version->major_version == 2 && version->minor_version >= 1));
    std::free(version);
    if (!rawToAll)
        return false;
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_input_xi_select_events(connection, root, 1, &selection.head);
    xcb_flush(connection);
    inputOpcode = input->major_opcode;
    return true;
}

void X11PointerPresses::readEvents()
{
    bool press = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        if ((event->response_type & 0x7f) == XCB_GE_GENERIC) {
            const auto* raw = reinterpret_cast<const xcb_input_raw_button_press_event_t*>(event);
            press =
                press || (raw->extension == inputOpcode &&
                          raw->event_type == XCB_INPUT_RAW_BUTTON_PRESS && !isWheel(raw->detail));
        }
        std::free(event);
    }
    // The display went away: nothing more will come.
    if (xcb_connection_has_error(connection))
        notifier->setEnabled(false);
    if (press)
        emit pressed();
}
