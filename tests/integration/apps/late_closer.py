"""Closes NIMBREL_CLOSE_DELAY_MS milliseconds after it is asked to, as an app tidying up does."""
import os

from nimbrel_test_app import GLib, Gtk, log, window

delay = int(os.environ.get("NIMBREL_CLOSE_DELAY_MS", "0"))


def asked(*_):
    log("asked")
    GLib.timeout_add(delay, Gtk.main_quit)
    return True


win = window(os.environ.get("NIMBREL_TITLE", "Late Closer"))
win.connect("delete-event", asked)
win.show_all()
log("shown")
Gtk.main()
