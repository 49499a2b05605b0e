#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>
#include <optional>
#include <xcb/xcb.h>

class QSocketNotifier;

/// The XEmbed system tray of the X11 screen, watched on a connection of its own: whether a tray
/// owns the screen's tray selection, the colours it asks its icons to draw in, and what the bar
/// looks like behind an icon. Main thread only.
class X11SystemTray : public QObject
{
    Q_OBJECT

public:
    /// Connects to $DISPLAY; present() stays false when that fails.
    explicit X11SystemTray(QObject* parent = nullptr);
    ~X11SystemTray() override;

    /// Whether a tray owns the screen's _NET_SYSTEM_TRAY_S<n> selection.
    bool present() const { return owner != XCB_NONE; }
    /// The colour the tray asks its icons to draw in (_NET_SYSTEM_TRAY_COLORS); nothing when it
    /// states none.
    std::optional<QColor> foreground();
    /// The most common colour on screen in `area` (root coordinates), leaving out the pixels an
    /// icon drawn as `drawn` (the size of `area`) covers or touches; nothing when the screen
    /// cannot be read there.
    std::optional<QColor> barColour(const QRect& area, const QImage& drawn);

signals:
    /// A tray came or went, or changed its colours.
    void changed();

private:
    void findOwner();
    void readEvents();
    xcb_atom_t atom(const QByteArray& name) const;

    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_NONE;
    xcb_atom_t selection = XCB_NONE;
    xcb_atom_t manager = XCB_NONE;
    xcb_atom_t colours = XCB_NONE;
    xcb_window_t owner = XCB_NONE;
    std::unique_ptr<QSocketNotifier> notifier;
};
