#include "ForeignToplevels.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

struct ForeignToplevels::Handle : ToplevelHandle<Handle, zwlr_foreign_toplevel_handle_v1> {
    ~Handle() { zwlr_foreign_toplevel_handle_v1_destroy(proxy); }

    static void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states)
    {
        bool activated = false;
        const auto* state = static_cast<const uint32_t*>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        of(data)->pending.activated = activated;
    }
};

ForeignToplevels::ForeignToplevels(zwlr_foreign_toplevel_manager_v1* manager_, QObject* parent)
    : ToplevelSource(parent), manager(manager_), handles(*this)
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
    return handles.list();
}

bool ForeignToplevels::activate(std::uint32_t id, wl_seat* seat)
{
    return seat && handles.request(id, [seat](zwlr_foreign_toplevel_handle_v1* proxy) {
        zwlr_foreign_toplevel_handle_v1_activate(proxy, seat);
    });
}

bool ForeignToplevels::close(std::uint32_t id)
{
    return handles.request(id, zwlr_foreign_toplevel_handle_v1_close);
}

void ForeignToplevels::add(zwlr_foreign_toplevel_handle_v1* proxy)
{
    static const zwlr_foreign_toplevel_handle_v1_listener listener{
        &Handle::onTitle, &Handle::onAppId, &Handle::onOutput, &Handle::onOutput,
        &Handle::onState, &Handle::onDone,  &Handle::onClosed, &Handle::onParent,
    };
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &listener, handles.add(proxy));
}

void ForeignToplevels::finish()
{
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    manager = nullptr;
    emit changed();
}
