"""Has unsaved work: a close request shows a save question and the window stays open."""
from gi.repository import GLib

GLib.set_prgname("nimbrel-unsaved-notes")
from nimbrel_test_app import Gtk, log, run, window  # noqa: E402

win = window("Unsaved Notes")


def ask(*_):
    question = Gtk.MessageDialog(transient_for=win, modal=False,
                                 message_type=Gtk.MessageType.QUESTION,
                                 buttons=Gtk.ButtonsType.NONE, text="Save changes?")
    question.show_all()
    log("asked")
    return True


win.connect("delete-event", ask)
run(win)
