"""A windowless GApplication with a "quit" action that holds a Wayland connection, as an app
of a compositor that shows no windows would; says "connected", "activated" and "quit"."""
import ctypes
import sys

from gi.repository import Gio

wayland = ctypes.CDLL("libwayland-client.so.0")
wayland.wl_display_connect.restype = ctypes.c_void_p
if not wayland.wl_display_connect(None):
    sys.exit(1)
print("connected", flush=True)

app = Gio.Application(application_id=sys.argv[1], flags=Gio.ApplicationFlags.FLAGS_NONE)


def quit_action(*_):
    print("quit", flush=True)
    app.quit()


quit = Gio.SimpleAction.new("quit", None)
quit.connect("activate", quit_action)
app.add_action(quit)
app.connect("activate", lambda *_: print("activated", flush=True))
app.hold()
app.run([])
