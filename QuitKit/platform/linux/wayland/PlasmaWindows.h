#pragma once

#include "ToplevelHandles.h"
#include "ToplevelSource.h"

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
    // KWin announces a window first and sends its details once asked for them.
    bool awaitsDetails() const override;

    bool activate(std::uint32_t id, wl_seat* seat) override;
    bool close(std::uint32_t id) override;

private:
    struct Window;

    void add(const char* uuid);

    org_kde_plasma_window_management* manager;
    ToplevelHandles<Window> windows;
};
