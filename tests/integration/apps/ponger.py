"""An X client that takes close requests and _NET_WM_PING, answers every ping and ignores every
close request: busy with nothing to ask. Logs "shown"; stopped with SIGSTOP it answers no more."""
import os
import socket

from Xlib import X, Xatom, display
from Xlib.protocol import event


def log(line):
    """Like nimbrel_test_app.log, without loading GTK, which would open a connection of its own."""
    path = os.environ.get("NIMBREL_TEST_LOG")
    if path:
        with open(path, "a") as f:
            f.write(line + "\n")


connection = display.Display()
protocols = connection.intern_atom("WM_PROTOCOLS")
ping = connection.intern_atom("_NET_WM_PING")
root = connection.screen().root
window = root.create_window(0, 0, 200, 100, 0, X.CopyFromParent)
window.set_wm_class("ponger", "Ponger")
window.set_wm_name("ponger")
window.change_property(connection.intern_atom("_NET_WM_PID"), Xatom.CARDINAL, 32, [os.getpid()])
window.change_property(Xatom.WM_CLIENT_MACHINE, Xatom.STRING, 8, socket.gethostname().encode())
window.set_wm_protocols([connection.intern_atom("WM_DELETE_WINDOW"), ping])
window.map()
connection.sync()
log("shown")

while True:
    message = connection.next_event()
    if message.type != X.ClientMessage or message.client_type != protocols:
        continue
    _, data = message.data
    if data[0] == ping:
        # The answer goes back to the root window, where the window manager (and Nimbrel) hear it.
        answer = event.ClientMessage(window=root, client_type=protocols, data=(32, data))
        root.send_event(answer, event_mask=X.SubstructureNotifyMask | X.SubstructureRedirectMask)
        connection.flush()
