#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct org_kde_plasma_window_management;
struct ext_foreign_toplevel_list_v1;
class QSocketNotifier;

// One client connection to a Wayland compositor, read from Qt's event loop: the display's
// socket wakes a notifier, events are read and dispatched there, requests are flushed after.
// Binds the globals a taskbar needs: a seat and the window list, wlr's, KDE Plasma's or the ext
// list.
class WaylandConnection : public QObject
{
    Q_OBJECT

public:
    // Connects to `displayName` (a socket name or path), or to $WAYLAND_DISPLAY when empty.
    explicit WaylandConnection(const QByteArray& displayName = {}, QObject* parent = nullptr);
    ~WaylandConnection() override;

    /// Why the compositor cannot be used (no connection, it went away); nothing while it works.
    std::optional<QString> problem() const { return failure; }

    wl_display* display() const { return connection; }
    int fd() const;
    wl_seat* seat() const { return firstSeat; }
    // Binds wlr's manager when the compositor offers one. Bound only when asked for, so the
    // caller's listener is in place before any event: one without is dropped, and with it the
    // windows the compositor announces on binding.
    zwlr_foreign_toplevel_manager_v1* takeToplevelManager();
    // The same for Plasma's window management, which KWin offers only to programs it trusts.
    org_kde_plasma_window_management* takePlasmaWindowManagement();
    // Binds the ext toplevel list when the compositor offers one. Bound only when asked for: a
    // compositor offering wlr's list as well would otherwise announce every window twice.
    ext_foreign_toplevel_list_v1* bindExtToplevelList();

    /// Dispatches until the compositor has answered everything sent so far, or `deadline`
    /// passes; false when it did not answer in time or went away. Meant for start-up only.
    bool settle(QDeadlineTimer deadline);
    // Sends the requests made so far.
    void flush();

signals:
    // The compositor closed the connection or broke the protocol; nothing more will come.
    void lost();

private:
    void readEvents();
    void fail(const QString& why);

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);

    wl_display* connection = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* firstSeat = nullptr;
    // The globals of the window lists offered, by name and version.
    std::optional<std::pair<uint32_t, uint32_t>> managerGlobal;
    std::optional<uint32_t> plasmaGlobal;
    std::optional<uint32_t> extListGlobal;
    std::unique_ptr<QSocketNotifier> notifier;
    std::optional<QString> failure;
};
