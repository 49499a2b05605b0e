#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

/// Hears every press of a pointer button on the X11 display, whichever window it lands on and
/// whoever holds the pointer: a panel that could not grab the pointer (a desktop shell held it as
/// the panel opened) still learns of a click on the empty desktop, which moves no focus. Wheel
/// turns are no presses here. Uses a connection of its own, so Qt's event selection stays as is.
class X11PointerPresses : public QObject
{
    Q_OBJECT

public:
    explicit X11PointerPresses(QObject* parent = nullptr);
    ~X11PointerPresses() override;

signals:
    /// A button went down; the pointer is where it went down, or close to it.
    void pressed();

private:
    bool listen();
    void readEvents();

    xcb_connection_t* connection = nullptr;
    uint8_t inputOpcode = 0;
    std::unique_ptr<QSocketNotifier> notifier;
};
