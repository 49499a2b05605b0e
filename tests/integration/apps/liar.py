"""An X client that says what the test tells it to, set by NIMBREL_LIAR_* variables:
CLASS (its WM_CLASS), PID (its _NET_WM_PID), HOST (its WM_CLIENT_MACHINE), DELETE ("0": no
WM_DELETE_WINDOW), TRANSIENT ("root": a dialog for the root window), BUS_NAME (its
_GTK_UNIQUE_BUS_NAME, with the path of actions.py), and MODE: "fork" hands the connection to a
child and exits, "retain" keeps its windows on the server after it exits. It logs "shown" and
each WM_DELETE_WINDOW it gets."""
import os
import socket
import sys

from Xlib import X, Xatom, display


def setting(name, default=""):
    return os.environ.get("NIMBREL_LIAR_" + name) or default


def log(line):
    """Like nimbrel_test_app.log, without loading GTK, which would open a connection of its own."""
    path = os.environ.get("NIMBREL_TEST_LOG")
    if path:
        with open(path, "a") as f:
            f.write(line + "\n")


connection = display.Display()


def atom(name):
    return connection.intern_atom(name)


root = connection.screen().root
window = root.create_window(0, 0, 200, 100, 0, X.CopyFromParent)
name = setting("CLASS", "liar")
window.set_wm_class(name, name.capitalize())
window.set_wm_name(name)
window.change_property(atom("_NET_WM_PID"), Xatom.CARDINAL, 32,
                       [int(setting("PID", os.getpid()))])
window.change_property(Xatom.WM_CLIENT_MACHINE, Xatom.STRING, 8,
                       setting("HOST", socket.gethostname()).encode())
if setting("DELETE", "1") == "1":
    window.set_wm_protocols([atom("WM_DELETE_WINDOW")])
if setting("TRANSIENT") == "root":
    window.change_property(Xatom.WM_TRANSIENT_FOR, Xatom.WINDOW, 32, [root.id])
if setting("BUS_NAME"):
    for prop, value in (("_GTK_UNIQUE_BUS_NAME", setting("BUS_NAME")),
                        ("_GTK_APPLICATION_OBJECT_PATH", "/dev/corvane/NimbrelTest/Actions")):
        window.change_property(atom(prop), atom("UTF8_STRING"), 8, value.encode())
if setting("MODE") == "retain":
    connection.set_close_down_mode(X.RetainPermanent)
window.map()
connection.sync()

if setting("MODE") == "retain":
    log("shown")
    sys.exit(0)
if setting("MODE") == "fork" and os.fork() != 0:
    os._exit(0)

log("shown")
while True:
    event = connection.next_event()
    if event.type == X.ClientMessage and event.client_type == atom("WM_PROTOCOLS"):
        log("delete window")
