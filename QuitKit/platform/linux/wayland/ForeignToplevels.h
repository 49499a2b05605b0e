#pragma once

#include "ToplevelSource.h"

#include <cstdint>
#include <map>
#include <memory>

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

    Handle* find(std::uint32_t id) const;
    void add(zwlr_foreign_toplevel_handle_v1* proxy);
    void remove(std::uint32_t id);
    void finish();

    zwlr_foreign_toplevel_manager_v1* manager;
    std::map<std::uint32_t, std::unique_ptr<Handle>> handles;
    std::uint32_t nextId = 1;
};
