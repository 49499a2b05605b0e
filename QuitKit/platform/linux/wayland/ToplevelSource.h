#pragma once

#include "ForeignToplevel.h"

#include <QList>
#include <QObject>

#include <cstdint>

struct wl_seat;

// A compositor's list of taskbar windows, kept current from its events, and the requests a
// taskbar may make of them; each compositor family has its own protocol for it.
class ToplevelSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    /// The taskbar windows whose details have all arrived, in the order they appeared.
    virtual QList<ForeignToplevel> list() const = 0;
    /// Whether the compositor stopped sending the list.
    virtual bool isFinished() const = 0;
    /// Names the protocol, for diagnostics.
    virtual QString protocolName() const = 0;
    /// Whether the compositor names each window's process (as a claim to verify).
    virtual bool namesProcesses() const { return false; }
    /// Whether windows were announced whose details the compositor has yet to send (it sends
    /// them a round trip later), so they are not listed yet.
    virtual bool awaitsDetails() const { return false; }

    /// Asks the compositor to give the window focus on `seat`; false when it is gone.
    virtual bool activate(std::uint32_t id, wl_seat* seat) = 0;
    /// Asks the window to close the way its close button would; false when it is gone.
    virtual bool close(std::uint32_t id) = 0;

signals:
    /// A window appeared, changed or closed; the requests above were not flushed yet.
    void changed();
};
