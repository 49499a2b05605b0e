#include "ExtForeignToplevels.h"

#include "ext-foreign-toplevel-list-v1-client-protocol.h"

struct ExtForeignToplevels::Handle : ToplevelHandle<Handle, ext_foreign_toplevel_handle_v1> {
    ~Handle() { ext_foreign_toplevel_handle_v1_destroy(proxy); }

    // Our own ids serve while the connection lasts; the compositor's matter only across them.
    static void onIdentifier(void*, ext_foreign_toplevel_handle_v1*, const char*) {}
};

ExtForeignToplevels::ExtForeignToplevels(ext_foreign_toplevel_list_v1* list, QObject* parent)
    : ToplevelSource(parent), toplevelList(list), handles(*this)
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
    return handles.list();
}

void ExtForeignToplevels::add(ext_foreign_toplevel_handle_v1* proxy)
{
    static const ext_foreign_toplevel_handle_v1_listener listener{
        &Handle::onClosed, &Handle::onDone,       &Handle::onTitle,
        &Handle::onAppId,  &Handle::onIdentifier,
    };
    ext_foreign_toplevel_handle_v1_add_listener(proxy, &listener, handles.add(proxy));
}

void ExtForeignToplevels::finish()
{
    ext_foreign_toplevel_list_v1_destroy(toplevelList);
    toplevelList = nullptr;
    emit changed();
}
