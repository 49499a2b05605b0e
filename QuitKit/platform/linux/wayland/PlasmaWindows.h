#pragma once

#include "ToplevelSource.h"

#include <map>
#include <memory>

struct org_kde_plasma_window;
struct org_kde_plasma_window_management;

// The windows of KDE Plasma's compositor (org_kde_plasma_window_management): each with the pid
// KWin names for it, skip-taskbar windows left out.
class PlasmaWindows : public ToplevelSource
{
    Q_OBJECT

public:
    // Listens to `manager`, which it then owns.
    explicit PlasmaWindows(org_kde_plasma_window_management* manager, QObject* parent = nullptr);
    ~PlasmaWindows() override;

    QList<ForeignToplevel> list() const override;
    // Plasma has no event that ends the list.
    bool isFinished() const override { return false; }
    QString protocolName() const override { return QStringLiteral("KDE Plasma window management"); }
    bool namesProcesses() const override { return true; }

    bool activate(std::uint32_t id, wl_seat* seat) override;
    bool close(std::uint32_t id) override;

private:
    struct Window;

    Window* find(std::uint32_t id) const;
    void add(const char* uuid);
    void remove(std::uint32_t id);

    org_kde_plasma_window_management* manager;
    std::map<std::uint32_t, std::unique_ptr<Window>> windows;
    std::uint32_t nextId = 1;
};
