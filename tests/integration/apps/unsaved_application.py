"""A GApplication with unsaved text: its "quit" action asks to save and the app stays open."""
from nimbrel_test_app import Gio, Gtk, log, window

app = Gtk.Application(application_id="dev.corvane.NimbrelTest.UnsavedText")


def ask(*_):
    question = Gtk.MessageDialog(transient_for=app.get_active_window(), modal=False,
                                 message_type=Gtk.MessageType.QUESTION,
                                 buttons=Gtk.ButtonsType.NONE, text="Save changes?")
    question.show_all()
    log("asked")


def activate(*_):
    win = window("Unsaved Text")
    app.add_window(win)
    win.show_all()
    log("shown")


quit = Gio.SimpleAction.new("quit", None)
quit.connect("activate", ask)
app.add_action(quit)
app.connect("activate", activate)
app.run([])
