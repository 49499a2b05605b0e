#pragma once

#include <QProcess>
#include <QString>

#include <optional>

// A private D-Bus session bus for a test, stopped with it. Nothing in the environment changes:
// programs are handed address().
class SessionBus
{
public:
    ~SessionBus();

    // Starts dbus-daemon; nothing when the bus is up, else why not.
    std::optional<QString> start();
    QString address() const { return busAddress; }

private:
    QProcess daemon;
    QString busAddress;
};
