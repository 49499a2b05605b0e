#include "PlasmaWindows.h"

#include "plasma-window-management-client-protocol.h"

#include <wayland-client.h>

struct PlasmaWindows::Window {
    PlasmaWindows* owner = nullptr;
    org_kde_plasma_window* proxy = nullptr;
    ForeignToplevel details;
    bool skipTaskbar = false;
    bool ready = false; // its initial state has all arrived

    ~Window() { org_kde_plasma_window_destroy(proxy); }

    static Window* of(void* data) { return static_cast<Window*>(data); }

    // After the initial state every event stands alone: each one is news.
    void changed()
    {
        if (ready)
            emit owner->changed();
    }

    static void onTitle(void* data, org_kde_plasma_window*, const char* title)
    {
        of(data)->details.title = QString::fromUtf8(title);
        of(data)->changed();
    }
    static void onAppId(void* data, org_kde_plasma_window*, const char* appId)
    {
        of(data)->details.appId = QString::fromUtf8(appId);
        of(data)->changed();
    }
    static void onState(void* data, org_kde_plasma_window*, uint32_t flags)
    {
        Window* window = of(data);
        window->details.activated = flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE;
        window->skipTaskbar = flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_SKIPTASKBAR;
        window->changed();
    }
    static void onPid(void* data, org_kde_plasma_window*, uint32_t pid)
    {
        of(data)->details.claimedPid = pid_t(pid);
        of(data)->changed();
    }
    static void onParent(void* data, org_kde_plasma_window*, org_kde_plasma_window* parent)
    {
        of(data)->details.parent =
            parent
                ? std::optional(
                      of(wl_proxy_get_user_data(reinterpret_cast<wl_proxy*>(parent)))->details.id)
                : std::nullopt;
        of(data)->changed();
    }
    static void onInitialState(void* data, org_kde_plasma_window*)
    {
        of(data)->ready = true;
        of(data)->changed();
    }
    static void onUnmapped(void* data, org_kde_plasma_window*)
    {
        Window* window = of(data);
        window->owner->remove(window->details.id);
    }
    static void ignoreString(void*, org_kde_plasma_window*, const char*) {}
    static void ignoreInt(void*, org_kde_plasma_window*, int32_t) {}
    static void ignore(void*, org_kde_plasma_window*) {}
    static void ignoreGeometry(void*, org_kde_plasma_window*, int32_t, int32_t, uint32_t, uint32_t)
    {
    }
    static void ignoreMenu(void*, org_kde_plasma_window*, const char*, const char*) {}
};

PlasmaWindows::PlasmaWindows(org_kde_plasma_window_management* manager, QObject* parent)
    : ToplevelSource(parent), manager(manager)
{
    static const org_kde_plasma_window_management_listener listener{
        [](void*, org_kde_plasma_window_management*, uint32_t) {},
        [](void*, org_kde_plasma_window_management*, uint32_t) {},
        [](void*, org_kde_plasma_window_management*, wl_array*) {},
        [](void*, org_kde_plasma_window_management*, const char*) {},
        [](void* data, org_kde_plasma_window_management*, uint32_t, const char* uuid) {
            static_cast<PlasmaWindows*>(data)->add(uuid);
        }};
    org_kde_plasma_window_management_add_listener(manager, &listener, this);
}

PlasmaWindows::~PlasmaWindows()
{
    windows.clear();
    org_kde_plasma_window_management_destroy(manager);
}

QList<ForeignToplevel> PlasmaWindows::list() const
{
    QList<ForeignToplevel> toplevels;
    for (const auto& [id, window] : windows) {
        if (window->ready && !window->skipTaskbar)
            toplevels.append(window->details);
    }
    return toplevels;
}

bool PlasmaWindows::activate(std::uint32_t id, wl_seat*)
{
    // KWin activates for the seat it has; the request names none.
    Window* window = find(id);
    if (!window)
        return false;
    org_kde_plasma_window_set_state(window->proxy, ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    return true;
}

bool PlasmaWindows::close(std::uint32_t id)
{
    Window* window = find(id);
    if (!window)
        return false;
    org_kde_plasma_window_close(window->proxy);
    return true;
}

PlasmaWindows::Window* PlasmaWindows::find(std::uint32_t id) const
{
    const auto found = windows.find(id);
    return found == windows.end() ? nullptr : found->second.get();
}

void PlasmaWindows::add(const char* uuid)
{
    static const org_kde_plasma_window_listener listener{
        &Window::onTitle,        &Window::onAppId,      &Window::onState,
        &Window::ignoreInt,      &Window::ignoreString, &Window::onUnmapped,
        &Window::onInitialState, &Window::onParent,     &Window::ignoreGeometry,
        &Window::ignore,         &Window::onPid,        &Window::ignoreString,
        &Window::ignoreString,   &Window::ignoreMenu,   &Window::ignoreString,
        &Window::ignoreString,   &Window::ignoreString,
    };
    auto window = std::make_unique<Window>();
    window->owner = this;
    window->proxy = org_kde_plasma_window_management_get_window_by_uuid(manager, uuid);
    window->details.id = nextId++;
    org_kde_plasma_window_add_listener(window->proxy, &listener, window.get());
    windows.emplace(window->details.id, std::move(window));
}

void PlasmaWindows::remove(std::uint32_t id)
{
    const Window* window = find(id);
    const bool wasListed = window && window->ready && !window->skipTaskbar;
    windows.erase(id);
    if (wasListed)
        emit changed();
}
