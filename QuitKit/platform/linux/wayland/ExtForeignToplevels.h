#pragma once

#include "ToplevelHandles.h"
#include "ToplevelSource.h"

#include <cstdint>

struct ext_foreign_toplevel_list_v1;
struct ext_foreign_toplevel_handle_v1;

// The toplevel windows of a compositor that offers only the ext foreign toplevel list: their
// app ids and titles, and no requests at all, so neither activate nor close can be asked.
class ExtForeignToplevels : public ToplevelSource
{
    Q_OBJECT

public:
    // Listens to `list`, which it then owns.
    explicit ExtForeignToplevels(ext_foreign_toplevel_list_v1* list, QObject* parent = nullptr);
    ~ExtForeignToplevels() override;

    QList<ForeignToplevel> list() const override;
    bool isFinished() const override { return !toplevelList; }
    QString protocolName() const override { return QStringLiteral("ext foreign toplevel list"); }

    bool activate(std::uint32_t, wl_seat*) override { return false; }
    bool close(std::uint32_t) override { return false; }

private:
    struct Handle;

    void add(ext_foreign_toplevel_handle_v1* proxy);
    void finish();

    ext_foreign_toplevel_list_v1* toplevelList;
    ToplevelHandles<Handle> handles;
};
