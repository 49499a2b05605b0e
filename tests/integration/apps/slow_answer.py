"""A GApplication whose "quit" action answers only after 5 s and then stays open, as an app busy
saving would; logs "asked" when the action runs and "answered" when it returns."""
import time

from nimbrel_test_app import Gio, Gtk, log, window

app = Gtk.Application(application_id="dev.corvane.NimbrelTest.SlowAnswer")


def quit_action(*_):
    log("asked")
    time.sleep(5)
    log("answered")


def activate(*_):
    win = window("Slow Answer")
    app.add_window(win)
    win.show_all()
    log("shown")


quit = Gio.SimpleAction.new("quit", None)
quit.connect("activate", quit_action)
app.add_action(quit)
app.connect("activate", activate)
app.run([])
