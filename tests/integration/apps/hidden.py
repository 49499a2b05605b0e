"""A window kept off the taskbar: not an app the user would quit."""
from gi.repository import GLib

GLib.set_prgname("nimbrel-hidden")
from nimbrel_test_app import run, window  # noqa: E402

win = window("Hidden")
win.set_skip_taskbar_hint(True)
run(win)
