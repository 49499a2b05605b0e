"""What the test apps share: a window with a known icon, and a log the tests read."""
import os

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import Gdk, GdkPixbuf, Gio, GLib, Gtk  # noqa: E402,F401


def log(line):
    """Appends `line` to the file named by NIMBREL_TEST_LOG, if any."""
    path = os.environ.get("NIMBREL_TEST_LOG")
    if path:
        with open(path, "a") as f:
            f.write(line + "\n")


def window(title):
    """A small window whose only icon is 32 x 32 opaque red, so tests can recognise it."""
    win = Gtk.Window(title=title)
    win.set_default_size(240, 120)
    icon = GdkPixbuf.Pixbuf.new(GdkPixbuf.Colorspace.RGB, True, 8, 32, 32)
    icon.fill(0xFF0000FF)
    win.set_icon(icon)
    win.add(Gtk.Label(label=title))
    # The compositor's word (Wayland's "activated"), which mutter tells no other program.
    win.connect("window-state-event", log_focus)
    return win


def log_focus(_win, event):
    if event.changed_mask & Gdk.WindowState.FOCUSED:
        log("focused" if event.new_window_state & Gdk.WindowState.FOCUSED else "unfocused")
    return False


def run(win):
    """Shows `win` and runs until it is destroyed."""
    win.connect("destroy", Gtk.main_quit)
    win.show_all()
    log("shown")
    Gtk.main()
