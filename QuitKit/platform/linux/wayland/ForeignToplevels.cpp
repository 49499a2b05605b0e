#include "ForeignToplevels.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <wayland-client.h>

struct ForeignToplevels::Handle {
    ForeignToplevels* owner = nullptr;
    zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    ForeignToplevel pending; // details arrive one event at a time, then "done"
    std::optional<ForeignToplevel> current;

    ~Handle() { zwlr_foreign_toplevel_handle_v1_destroy(proxy); }

    static Handle* of(void* data) { return static_cast<Handle*>(data); }

    static void onTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title)
    {
        of(data)->pending.title = QString::fromUtf8(title);
    }
    static void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId)
    {
        of(data)->pending.appId = QString::fromUtf8(appId);
    }
    static void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states)
    {
        bool activated = false;
        const auto* state = static_cast<const uint32_t*>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        of(data)->pending.activated = activated;
    }
    static void onDone(void* data, zwlr_foreign_toplevel_handle_v1*)
    {
        Handle* handle = of(data);
        handle->current = handle->pending;
        emit handle->owner->changed();
    }
    static void onClosed(void* data, zwlr_foreign_toplevel_handle_v1*)
    {
        Handle* handle = of(data);
        handle->owner->remove(handle->pending.id);
    }
    static void onParent(void* data, zwlr_foreign_toplevel_handle_v1*,
                         zwlr_foreign_toplevel_handle_v1* parent)
    {
        of(data)->pending.parent =
            parent
                ? std::optional(
                      of(wl_proxy_get_user_data(reinterpret_cast<wl_proxy*>(parent)))->pending.id)
                : std::nullopt;
    }
};

ForeignToplevels::ForeignToplevels(zwlr_foreign_toplevel_manager_v1* manager, QObject* parent)
    : ToplevelSource(parent), manager(manager)
{
    static const zwlr_foreign_toplevel_manager_v1_listener listener{
        [](void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
            static_cast<ForeignToplevels*>(data)->add(handle);
        },
        [](void* data, zwlr_foreign_toplevel_manager_v1*) {
            static_cast<ForeignToplevels*>(data)->finish();
        }};
    zwlr_foreign_toplevel_manager_v1_add_listener(manager, &listener, this);
}

ForeignToplevels::~ForeignToplevels()
{
    handles.clear();
    if (manager) {
        zwlr_foreign_toplevel_manager_v1_stop(manager);
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
    }
}

QList<ForeignToplevel> ForeignToplevels::list() const
{
    QList<ForeignToplevel> toplevels;
    for (const auto& [id, handle] : handles) {
        if (handle->current)
            toplevels.append(*handle->current);
    }
    return toplevels;
}

bool ForeignToplevels::activate(std::uint32_t id, wl_seat* seat)
{
    Handle* handle = find(id);
    if (!handle || !seat)
        return false;
    zwlr_foreign_toplevel_handle_v1_activate(handle->proxy, seat);
    return true;
}

bool ForeignToplevels::close(std::uint32_t id)
{
    Handle* handle = find(id);
    if (!handle)
        return false;
    zwlr_foreign_toplevel_handle_v1_close(handle->proxy);
    return true;
}

ForeignToplevels::Handle* ForeignToplevels::find(std::uint32_t id) const
{
    const auto found = handles.find(id);
    return found == handles.end() ? nullptr : found->second.get();
}

void ForeignToplevels::add(zwlr_foreign_toplevel_handle_v1* proxy)
{
    static const zwlr_foreign_toplevel_handle_v1_listener listener{
        &Handle::onTitle, &Handle::onAppId, &Handle::onOutput, &Handle::onOutput,
        &Handle::onState, &Handle::onDone,  &Handle::onClosed, &Handle::onParent,
    };
    auto handle = std::make_unique<Handle>();
    handle->owner = this;
    handle->proxy = proxy;
    handle->pending.id = nextId++;
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &listener, handle.get());
    handles.emplace(handle->pending.id, std::move(handle));
}

void ForeignToplevels::remove(std::uint32_t id)
{
    const bool wasListed = find(id) && find(id)->current;
    handles.erase(id);
    if (wasListed)
        emit changed();
}

void ForeignToplevels::finish()
{
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    manager = nullptr;
    emit changed();
}
