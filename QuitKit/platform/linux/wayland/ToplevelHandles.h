#pragma once

#include "ForeignToplevel.h"
#include "ToplevelSource.h"

#include <QList>
#include <QString>

#include <wayland-client-core.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

template <typename Handle> class ToplevelHandles;

// One window of a compositor's list as its protocol's handle, a `Proxy`, tells it, and the
// events every protocol sends alike. `Handle` is the protocol's own kind, which destroys the
// proxy and may hide told() to hear of each detail.
template <typename Handle, typename Proxy> struct ToplevelHandle {
    ToplevelHandles<Handle>* table = nullptr;
    Proxy* proxy = nullptr;
    ForeignToplevel pending;                // details arrive one event at a time
    std::optional<ForeignToplevel> current; // what the list shows, once they all have

    static Handle* of(void* data) { return static_cast<Handle*>(data); }
    static Handle* of(Proxy* other)
    {
        return of(wl_proxy_get_user_data(reinterpret_cast<wl_proxy*>(other)));
    }

    void told() {}

    static void onTitle(void* data, Proxy*, const char* title)
    {
        of(data)->pending.title = QString::fromUtf8(title);
        of(data)->told();
    }
    static void onAppId(void* data, Proxy*, const char* appId)
    {
        of(data)->pending.appId = QString::fromUtf8(appId);
        of(data)->told();
    }
    static void onParent(void* data, Proxy*, Proxy* parent)
    {
        of(data)->pending.parent = parent ? std::optional(of(parent)->pending.id) : std::nullopt;
        of(data)->told();
    }
    // The details sent so far make a whole.
    static void onDone(void* data, Proxy*)
    {
        Handle* handle = of(data);
        handle->current = handle->pending;
        handle->table->changed();
    }
    static void onClosed(void* data, Proxy*)
    {
        Handle* handle = of(data);
        handle->table->remove(handle->pending.id);
    }
};

// The windows of one compositor list by ids of our own, never reused while the connection
// lasts, each with its protocol handle.
template <typename Handle> class ToplevelHandles
{
public:
    explicit ToplevelHandles(ToplevelSource& owner) : source(owner) {}

    // Keeps `proxy`'s window under the next id; its listener is the handle returned.
    template <typename Proxy> Handle* add(Proxy* proxy)
    {
        auto handle = std::make_unique<Handle>();
        handle->table = this;
        handle->proxy = proxy;
        handle->pending.id = nextId++;
        Handle* added = handle.get();
        handles.emplace(added->pending.id, std::move(handle));
        return added;
    }

    void remove(std::uint32_t id)
    {
        const auto found = handles.find(id);
        const bool wasListed = found != handles.end() && found->second->current;
        handles.erase(id);
        if (wasListed)
            changed();
    }

    void clear() { handles.clear(); }

    void changed() { emit source.changed(); }

    QList<ForeignToplevel> list() const
    {
        QList<ForeignToplevel> toplevels;
        for (const auto& [id, handle] : handles) {
            if (handle->current)
                toplevels.append(*handle->current);
        }
        return toplevels;
    }

    // Whether `test` holds for any window, listed or not.
    template <typename Test> bool any(Test test) const
    {
        return std::any_of(handles.cbegin(), handles.cend(),
                           [&](const auto& entry) { return test(*entry.second); });
    }

    // Makes `ask` of the window's proxy; false when the window is gone.
    template <typename Request> bool request(std::uint32_t id, Request ask) const
    {
        const auto found = handles.find(id);
        if (found == handles.end())
            return false;
        ask(found->second->proxy);
        return true;
    }

private:
    ToplevelSource& source;
    std::map<std::uint32_t, std::unique_ptr<Handle>> handles;
    std::uint32_t nextId = 1;
};
