"""A stand-in desktop app for the README picture: a window of the given class and title."""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

wm_class, title = sys.argv[1], sys.argv[2]
GLib.set_prgname(wm_class)
window = Gtk.Window(title=title)
window.set_default_size(420, 280)
window.add(Gtk.Label(label=title))
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
