#include "PlasmaWindows.h"

#include "plasma-window-management-client-protocol.h"

struct PlasmaWindows::Window : ToplevelHandle<Window, org_kde_plasma_window> {
    bool skipTaskbar = false;
    bool ready = false; // its initial state has all arrived

    ~Window() { org_kde_plasma_window_destroy(proxy); }

    // After the initial state every event stands alone: each one is news.
    void told()
    {
        if (!ready)
            return;
        current = skipTaskbar ? std::nullopt : std::optional(pending);
        table->changed();
    }

    static void onState(void* data, org_kde_plasma_window*, uint32_t flags)
    {
        Window* window = of(data);
        window->pending.activated = flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE;
        window->skipTaskbar = flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_SKIPTASKBAR;
        window->told();
    }
    static void onPid(void* data, org_kde_plasma_window*, uint32_t pid)
    {
        of(data)->pending.claimedPid = pid_t(pid);
        of(data)->told();
    }
    static void onInitialState(void* data, org_kde_plasma_window*)
    {
        of(data)->ready = true;
        of(data)->told();
    }
    static void ignoreString(void*, org_kde_plasma_window*, const char*) {}
    static void ignoreInt(void*, org_kde_plasma_window*, int32_t) {}
    static void ignore(void*, org_kde_plasma_window*) {}
    static void ignoreGeometry(void*, org_kde_plasma_window*, int32_t, int32_t, uint32_t, uint32_t)
    {
    }
    static void ignoreMenu(void*, org_kde_plasma_window*, const char*, const char*) {}
};

PlasmaWindows::PlasmaWindows(org_kde_plasma_window_management* manager_, QObject* parent)
    : ToplevelSource(parent), manager(manager_), windows(*this)
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
    return windows.list();
}

bool PlasmaWindows::awaitsDetails() const
{
    return windows.any([](const Window& window) { return !window.ready; });
}

bool PlasmaWindows::activate(std::uint32_t id, wl_seat*)
{
    // KWin activates for the seat it has; the request names none.
    return windows.request(id, [](org_kde_plasma_window* proxy) {
        org_kde_plasma_window_set_state(proxy, ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE,
                                        ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    });
}

bool PlasmaWindows::close(std::uint32_t id)
{
    return windows.request(id, org_kde_plasma_window_close);
}

void PlasmaWindows::add(const char* uuid)
{
    static const org_kde_plasma_window_listener listener{
        &Window::onTitle,        &Window::onAppId,      &Window::onState,
        &Window::ignoreInt,      &Window::ignoreString, &Window::onClosed,
        &Window::onInitialState, &Window::onParent,     &Window::ignoreGeometry,
        &Window::ignore,         &Window::onPid,        &Window::ignoreString,
        &Window::ignoreString,   &Window::ignoreMenu,   &Window::ignoreString,
        &Window::ignoreString,   &Window::ignoreString,
    };
    org_kde_plasma_window* proxy =
        org_kde_plasma_window_management_get_window_by_uuid(manager, uuid);
    org_kde_plasma_window_add_listener(proxy, &listener, windows.add(proxy));
}
