"""Keeps a helper child process that holds memory of its own."""
import subprocess
import sys
import os

from gi.repository import GLib

GLib.set_prgname("nimbrel-helper")
from nimbrel_test_app import run, window  # noqa: E402

child = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "hog.py")],
                         stdin=subprocess.PIPE, stdout=subprocess.PIPE)
child.stdout.readline()  # its memory is in place before the window shows
run(window("Helper"))
