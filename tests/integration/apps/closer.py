"""Closes as soon as it is asked to."""
from gi.repository import GLib

GLib.set_prgname("nimbrel-closer")
from nimbrel_test_app import run, window  # noqa: E402

run(window("Closer"))
