#include "ExtForeignToplevels.h"

#include "ext-foreign-toplevel-list-v1-client-protocol.h"

struct ExtForeignToplevels::Handle {
    ExtForeignToplevels* owner = nullptr;
    ext_foreign_toplevel_handle_v1* proxy = nullptr;
    ForeignToplevel pending; // details arrive one event at a time, then "done"
    std::optional<ForeignToplevel> current;

    ~Handle() { ext_foreign_toplevel_handle_v1_destroy(proxy); }

    static Handle* of(void* data) { return static_cast<Handle*>(data); }

    static void onClosed(void* data, ext_foreign_toplevel_handle_v1*)
    {
        Handle* handle = of(data);
        handle->owner->remove(handle->pending.id);
    }
    static void onDone(void* data, ext_foreign_toplevel_handle_v1*)
    {
        Handle* handle = of(data);
        handle->current = handle->pending;
        emit handle->owner->changed();
    }
    static void onTitle(void* data, ext_foreign_toplevel_handle_v1*, const char* title)
    {
        of(data)->pending.title = QString::fromUtf8(title);
    }
    static void onAppId(void* data, ext_foreign_toplevel_handle_v1*, const char* appId)
    {
        of(data)->pending.appId = QString::fromUtf8(appId);
    }
    // Our own ids serve while the connection lasts; the compositor's matter only across them.
    static void onIdentifier(void*, ext_foreign_toplevel_handle_v1*, const char*) {}
};

ExtForeignToplevels::ExtForeignToplevels(ext_foreign_toplevel_list_v1* list, QObject* parent)
    : ToplevelSource(parent), toplevelList(list)
{
    static const ext_foreign_toplevel_list_v1_listener listener{
        [](void* data, ext_foreign_toplevel_list_v1*, ext_foreign_toplevel_handle_v1* handle) {
            static_cast<ExtForeignToplevels*>(data)->add(handle);
        },
        [](void* data, ext_foreign_toplevel_list_v1*) {
            static_cast<ExtForeignToplevels*>(data)->finish();
        }};
    ext_foreign_toplevel_list_v1_add_listener(toplevelList, &listener, this);
}

ExtForeignToplevels::~ExtForeignToplevels()
{
    // The handles go first, as the list's destructor request asks.
    handles.clear();
    if (toplevelList) {
        ext_foreign_toplevel_list_v1_stop(toplevelList);
        ext_foreign_toplevel_list_v1_destroy(toplevelList);
    }
}

QList<ForeignToplevel> ExtForeignToplevels::list() const
{
    QList<ForeignToplevel> toplevels;
    for (const auto& [id, handle] : handles) {
        if (handle->current)
            toplevels.append(*handle->current);
    }
    return toplevels;
}

void ExtForeignToplevels::add(ext_foreign_toplevel_handle_v1* proxy)
{
    static const ext_foreign_toplevel_handle_v1_listener listener{
        &Handle::onClosed, &Handle::onDone,       &Handle::onTitle,
        &Handle::onAppId,  &Handle::onIdentifier,
    };
    auto handle = std::make_unique<Handle>();
    handle->owner = this;
    handle->proxy = proxy;
    handle->pending.id = nextId++;
    ext_foreign_toplevel_handle_v1_add_listener(proxy, &listener, handle.get());
    handles.emplace(handle->pending.id, std::move(handle));
}

void ExtForeignToplevels::remove(std::uint32_t id)
{
    const auto found = handles.find(id);
    const bool wasListed = found != handles.end() && found->second->current;
    handles.erase(id);
    if (wasListed)
        emit changed();
}

void ExtForeignToplevels::finish()
{
    ext_foreign_toplevel_list_v1_destroy(toplevelList);
    toplevelList = nullptr;
    emit changed();
}
