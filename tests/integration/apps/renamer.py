"""An X client that maps its window as "renamer", then on SIGUSR1 sets the property
NIMBREL_RENAME_PROPERTY (WM_CLASS or _GTK_APPLICATION_ID) to NIMBREL_RENAME_VALUE, as apps do
that name themselves a moment after their window appears."""
import os
import select
import signal

from Xlib import X, display

connection = display.Display()
window = connection.screen().root.create_window(0, 0, 200, 100, 0, X.CopyFromParent)
window.set_wm_class("renamer", "Renamer")
window.set_wm_name("renamer")
window.set_wm_protocols([connection.intern_atom("WM_DELETE_WINDOW")])
window.map()
connection.sync()

asked = False


def ask(*_):
    global asked
    asked = True


signal.signal(signal.SIGUSR1, ask)
while True:
    # Xlib is not reentrant, so the handler only flags the request and this loop carries it out.
    select.select([connection.fileno()], [], [], 0.05)
    while connection.pending_events():
        connection.next_event()
    if asked:
        asked = False
        name = os.environ["NIMBREL_RENAME_PROPERTY"]
        value = os.environ["NIMBREL_RENAME_VALUE"]
        if name == "WM_CLASS":
            window.set_wm_class(value, value)
        else:
            window.change_property(connection.intern_atom(name),
                                   connection.intern_atom("UTF8_STRING"), 8, value.encode())
        connection.flush()
