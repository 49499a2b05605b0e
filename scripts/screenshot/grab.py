"""Saves the whole X screen as a PNG file."""
import sys

import gi

gi.require_version("Gdk", "3.0")
from gi.repository import Gdk  # noqa: E402

root = Gdk.get_default_root_window()
picture = Gdk.pixbuf_get_from_window(root, 0, 0, root.get_width(), root.get_height())
picture.savev(sys.argv[1], "png", [], [])
