"""A GApplication with a "quit" action; logs whether it ended through the action or a window.
Its ID is NIMBREL_APP_ID when that is set."""
import os

from nimbrel_test_app import Gio, Gtk, log, window

app = Gtk.Application(
    application_id=os.environ.get("NIMBREL_APP_ID", "dev.corvane.NimbrelTest.Actions"))


def quit_action(*_):
    log("quit action")
    app.quit()


def activate(*_):
    win = window("Actions")
    win.connect("delete-event", lambda *_: log("window closed") or False)
    app.add_window(win)
    win.show_all()
    log("shown")


quit = Gio.SimpleAction.new("quit", None)
quit.connect("activate", quit_action)
app.add_action(quit)
app.connect("activate", activate)
app.run([])
