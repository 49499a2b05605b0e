#include "WaylandConnection.h"

#include "ext-foreign-toplevel-list-v1-client-protocol.h"
#include "plasma-window-management-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>

namespace
{

// Close requests and the parent event (dialogs) are all we need; later versions add nothing.
constexpr uint32_t managerVersion = 3;
// Windows announced by uuid came in 13; later versions add nothing a taskbar of ours needs.
constexpr uint32_t plasmaVersion = 13;

QString closedByCompositor()
{
    return QCoreApplication::translate("QuitKit", "the Wayland compositor closed the connection");
}

} // namespace

WaylandConnection::WaylandConnection(const QByteArray& displayName, QObject* parent)
    : QObject(parent)
{
    connection = wl_display_connect(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!connection) {
        const QByteArray name = displayName.isEmpty() ? qgetenv("WAYLAND_DISPLAY") : displayName;
        failure =
            QCoreApplication::translate("QuitKit", "cannot connect to the Wayland display \"%1\"")
                .arg(QString::fromLocal8Bit(name));
        return;
    }
    static const wl_registry_listener globals{&onGlobal, &onGlobalRemove};
    registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &globals, this);
    notifier = std::make_unique<QSocketNotifier>(fd(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &WaylandConnection::readEvents);
    flush();
}

WaylandConnection::~WaylandConnection()
{
    notifier.reset();
    if (firstSeat)
        wl_seat_destroy(firstSeat);
    if (registry)
        wl_registry_destroy(registry);
    if (connection)
        wl_display_disconnect(connection);
}

int WaylandConnection::fd() const
{
    return connection ? wl_display_get_fd(connection) : -1;
}

void WaylandConnection::onGlobal(void* data, wl_registry* registry, uint32_t name,
                                 const char* interface, uint32_t version)
{
    auto* self = static_cast<WaylandConnection*>(data);
    if (!self->firstSeat && std::strcmp(interface, wl_seat_interface.name) == 0) {
        self->firstSeat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (!self->managerGlobal &&
               std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        self->managerGlobal = {name, std::min(version, managerVersion)};
    } else if (!self->plasmaGlobal && version >= plasmaVersion &&
               std::strcmp(interface, org_kde_plasma_window_management_interface.name) == 0) {
        self->plasmaGlobal = name;
    } else if (std::strcmp(interface, ext_foreign_toplevel_list_v1_interface.name) == 0) {
        self->extListGlobal = name;
    }
}

zwlr_foreign_toplevel_manager_v1* WaylandConnection::takeToplevelManager()
{
    if (!managerGlobal)
        return nullptr;
    const auto [name, version] = *std::exchange(managerGlobal, std::nullopt);
    return static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, version));
}

org_kde_plasma_window_management* WaylandConnection::takePlasmaWindowManagement()
{
    if (!plasmaGlobal)
        return nullptr;
    return static_cast<org_kde_plasma_window_management*>(
        wl_registry_bind(registry, *std::exchange(plasmaGlobal, std::nullopt),
                         &org_kde_plasma_window_management_interface, plasmaVersion));
}

ext_foreign_toplevel_list_v1* WaylandConnection::bindExtToplevelList()
{
    if (!extListGlobal)
        return nullptr;
    // Version 1 is all there is.
    return static_cast<ext_foreign_toplevel_list_v1*>(
        wl_registry_bind(registry, *std::exchange(extListGlobal, std::nullopt),
                         &ext_foreign_toplevel_list_v1_interface, 1));
}

void WaylandConnection::onGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<WaylandConnection*>(data);
    if (self->extListGlobal == name)
        self->extListGlobal.reset();
    if (self->plasmaGlobal == name)
        self->plasmaGlobal.reset();
    if (self->managerGlobal && self->managerGlobal->first == name)
        self->managerGlobal.reset();
}

bool WaylandConnection::settle(QDeadlineTimer deadline)
{
    if (failure)
        return false;
    bool answered = false;
    static const wl_callback_listener done{[](void* data, wl_callback* callback, uint32_t) {
        *static_cast<bool*>(data) = true;
        wl_callback_destroy(callback);
    }};
    wl_callback* sync = wl_display_sync(connection);
    wl_callback_add_listener(sync, &done, &answered);
    while (!answered && !failure) {
        if (wl_display_prepare_read(connection) != 0) {
            if (wl_display_dispatch_pending(connection) < 0)
                fail(closedByCompositor());
            continue;
        }
        wl_display_flush(connection);
        pollfd readable{fd(), POLLIN, 0};
        const int ready = poll(&readable, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        if (ready <= 0 && !(ready < 0 && errno == EINTR)) {
            wl_display_cancel_read(connection);
            break;
        }
        if (ready < 0) {
            wl_display_cancel_read(connection);
            continue;
        }
        if (wl_display_read_events(connection) < 0 || wl_display_dispatch_pending(connection) < 0)
            fail(closedByCompositor());
    }
    // The callback must not write to this frame once it has returned.
    if (!answered)
        wl_callback_destroy(sync);
    return answered;
}

void WaylandConnection::flush()
{
    if (connection && !failure)
        wl_display_flush(connection);
}

void WaylandConnection::readEvents()
{
    if (failure)
        return;
    if (wl_display_prepare_read(connection) == 0 && wl_display_read_events(connection) < 0)
        return fail(closedByCompositor());
    if (wl_display_dispatch_pending(connection) < 0)
        return fail(closedByCompositor());
    flush();
}

void WaylandConnection::fail(const QString& why)
{
    if (failure)
        return;
    failure = why;
    notifier->setEnabled(false);
    emit lost();
}
