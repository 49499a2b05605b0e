#pragma once

#include "ToplevelSource.h"

#include <cstdint>
#include <map>
#include <memory>

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
    void remove(std::uint32_t id);
    void finish();

    ext_foreign_toplevel_list_v1* toplevelList;
    std::map<std::uint32_t, std::unique_ptr<Handle>> handles;
    std::uint32_t nextId = 1;
};
