#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <optional>

// A private D-Bus session bus for a test, stopped with it. Nothing in the environment changes:
// programs are handed address().
class SessionBus
{
public:
    ~SessionBus();

    // Starts dbus-daemon with `environment`, which its activated services inherit; nothing when
    // the bus is up, else why not.
    std::optional<QString>
    start(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    QString address() const { return busAddress; }

private:
    QProcess daemon;
    QString busAddress;
};
