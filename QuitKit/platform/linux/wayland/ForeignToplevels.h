#pragma once

#include "ToplevelHandles.h"
#include "ToplevelSource.h"

#include <cstdint>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

// The toplevel windows of a wlroots compositor (wlr foreign-toplevel management).
class ForeignToplevels : public ToplevelSource
{
    Q_OBJECT

public:
    // Listens to `manager`, which it then owns.
    explicit ForeignToplevels(zwlr_foreign_toplevel_manager_v1* manager, QObject* parent = nullptr);
    ~ForeignToplevels() override;

    QList<ForeignToplevel> list() const override;
    bool isFinished() const override { return !manager; }
    QString protocolName() const override { return QStringLiteral("wlroots foreign toplevels"); }

    bool activate(std::uint32_t id, wl_seat* seat) override;
    bool close(std::uint32_t id) override;

private:
    struct Handle;

    void add(zwlr_foreign_toplevel_handle_v1* proxy);
    void finish();

    zwlr_foreign_toplevel_manager_v1* manager;
    ToplevelHandles<Handle> handles;
};
