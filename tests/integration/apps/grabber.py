"""Takes the focus when its window appears, as Qt apps and xterm do: it drops the startup id
that would tell the window manager it was started in the background."""
import os

os.environ.pop("DESKTOP_STARTUP_ID", None)

from gi.repository import GLib  # noqa: E402

GLib.set_prgname("nimbrel-grabber")
from nimbrel_test_app import run, window  # noqa: E402

run(window("Grabber"))
