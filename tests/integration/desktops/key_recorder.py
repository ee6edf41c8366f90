#!/usr/bin/python3
# A plain application window for the desktop tests: it stands for whatever
# the user had in front of them when the saver started. Every key it gets is
# one line in the log; "focus in"/"focus out" lines say when the desktop gave
# it the keyboard or took it away.
# Usage: key_recorder.py LOG
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

log = open(sys.argv[1], "a", buffering=1)
window = Gtk.Window(title="Key recorder")
window.set_default_size(400, 300)
window.connect("destroy", Gtk.main_quit)
window.connect("key-press-event", lambda w, e: log.write("key %d\n" % e.hardware_keycode) and False)
window.connect("focus-in-event", lambda w, e: log.write("focus in\n") and False)
window.connect("focus-out-event", lambda w, e: log.write("focus out\n") and False)
window.show_all()
log.write("shown\n")
Gtk.main()
