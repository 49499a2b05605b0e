"""Holds the screen's compositing manager selection (_NET_WM_CM_S0) until it is ended, as a
compositing manager does, without drawing anything."""
import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

selection = Gtk.Clipboard.get(Gdk.atom_intern("_NET_WM_CM_S0", False))
selection.set_text("", -1)
print("holding", flush=True)
Gtk.main()
