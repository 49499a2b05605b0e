#include "X11SystemTray.h"

#include <QHash>
#include <QSocketNotifier>

#include <cstdlib>

namespace
{

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> Owned<Reply> owned(Reply* reply)
{
    return Owned<Reply>(reply, &std::free);
}

// Whether `drawn` leaves pixel (x, y) and its four neighbours bare, so antialiased edges of the
// icon do not count as bar.
bool bare(const QImage& drawn, int x, int y)
{
    for (const QPoint step :
         {QPoint(0, 0), QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        const QPoint at(x + step.x(), y + step.y());
        if (drawn.valid(at) && qAlpha(drawn.pixel(at)) != 0)
            return false;
    }
    return true;
}

} // namespace

X11SystemTray::X11SystemTray(QObject* parent) : QObject(parent)
{
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int skipped = 0; skipped < screenNumber && screens.rem; ++skipped)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return;
    root = screens.data->root;
    selection = atom("_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber));
    manager = atom("MANAGER");
    colours = atom("_NET_SYSTEM_TRAY_COLORS");
    // A tray that takes the selection says so to the root window's structure listeners.
    const uint32_t rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &rootEvents);
    notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                 QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &X11SystemTray::readEvents);
    findOwner();
}

X11SystemTray::~X11SystemTray()
{
    notifier.reset();
    xcb_disconnect(connection);
}

xcb_atom_t X11SystemTray::atom(const QByteArray& name) const
{
    const auto reply = owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

void X11SystemTray::findOwner()
{
    const auto reply = owned(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr));
    owner = reply ? reply->owner : XCB_NONE;
    if (owner != XCB_NONE) {
        // To hear of the tray going away and of its colours changing.
        const uint32_t ownerEvents =
            XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, owner, XCB_CW_EVENT_MASK, &ownerEvents);
    }
    xcb_flush(connection);
}

void X11SystemTray::readEvents()
{
    bool trayChanged = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        const auto freed = owned(event);
        switch (event->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == manager && message->data.data32[1] == selection) {
                findOwner();
                trayChanged = true;
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == owner) {
                findOwner();
                trayChanged = true;
            }
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
            trayChanged |= property->window == owner && property->atom == colours;
            break;
        }
        default:
            break;
        }
    }
    if (trayChanged)
        emit changed();
}

std::optional<QColor> X11SystemTray::foreground()
{
    if (owner == XCB_NONE)
        return std::nullopt;
    const auto reply = owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, owner, colours, XCB_ATOM_CARDINAL, 0, 12),
        nullptr));
    // Events read along with the reply wait in xcb's queue, unseen by the notifier.
    QMetaObject::invokeMethod(this, &X11SystemTray::readEvents, Qt::QueuedConnection);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 12)
        return std::nullopt;
    // Red, green and blue of the normal foreground, 16 bits each.
    const auto* value = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QColor::fromRgba64(quint16(value[0]), quint16(value[1]), quint16(value[2]));
}

std::optional<QColor> X11SystemTray::barColour(const QRect& area, const QImage& drawn)
{
    if (!connection || xcb_connection_has_error(connection) || area.isEmpty() ||
        area.size() != drawn.size() || area.left() < 0 || area.top() < 0)
        return std::nullopt;
    const auto reply = owned(xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(area.x()),
                      int16_t(area.y()), uint16_t(area.width()), uint16_t(area.height()), ~0u),
        nullptr));
    QMetaObject::invokeMethod(this, &X11SystemTray::readEvents, Qt::QueuedConnection);
    const qsizetype pixels = qsizetype(area.width()) * area.height();
    // True-colour screens keep a pixel in 32 bits: blue, green, red, unused.
    if (!reply || (reply->depth != 24 && reply->depth != 32) ||
        xcb_get_image_data_length(reply.get()) != pixels * 4)
        return std::nullopt;
    const uint8_t* data = xcb_get_image_data(reply.get());
    QHash<QRgb, int> counts;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            if (!bare(drawn, x, y))
                continue;
            const uint8_t* pixel = data + (qsizetype(y) * area.width() + x) * 4;
            ++counts[qRgb(pixel[2], pixel[1], pixel[0])];
        }
    }
    if (counts.isEmpty())
        return std::nullopt;
    auto common = counts.cbegin();
    for (auto count = counts.cbegin(); count != counts.cend(); ++count) {
        if (count.value() > common.value())
            common = count;
    }
    return QColor(common.key());
}
