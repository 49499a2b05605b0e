"""An X client whose window's WM_CLASS (instance and class) and title are NIMBREL_WINDOW_CLASS, so
a test can give an app any name, however hostile."""
import os
import select

from Xlib import X, display

name = os.environ["NIMBREL_WINDOW_CLASS"]
connection = display.Display()
window = connection.screen().root.create_window(0, 0, 200, 100, 0, X.CopyFromParent)
window.set_wm_class(name, name)
window.set_wm_name(name)
window.set_wm_protocols([connection.intern_atom("WM_DELETE_WINDOW")])
window.map()
connection.sync()
while True:
    select.select([connection.fileno()], [], [])
    while connection.pending_events():
        connection.next_event()
