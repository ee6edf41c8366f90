#!/usr/bin/python3
# A client of org.freedesktop.ScreenSaver that stays on the session bus
# until its standard input ends, taking commands one a line:
#   inhibit PATH APP REASON   one Inhibit; prints "cookie N" or "error NAME"
#   big PATH BYTES            one Inhibit with a reason of BYTES bytes
#   flood PATH COUNT          COUNT Inhibits; prints "flood OK REFUSED"
#   uninhibit PATH COOKIE     prints "done" or "error NAME"
# PATH is the object path (/org/freedesktop/ScreenSaver or /ScreenSaver).
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(path, method, signature, args):
    try:
        reply = bus.call_sync("org.freedesktop.ScreenSaver", path, "org.freedesktop.ScreenSaver",
                              method, GLib.Variant(signature, args), None,
                              Gio.DBusCallFlags.NONE, 10000, None)
        return reply.unpack(), None
    except GLib.Error as error:
        return None, Gio.DBusError.get_remote_error(error) or error.message


print("ready", flush=True)
for line in sys.stdin:
    words = line.split()
    if not words:
        continue
    command, path = words[0], words[1]
    if command == "inhibit":
        reply, error = call(path, "Inhibit", "(ss)", (words[2], words[3]))
        print("error %s" % error if error else "cookie %d" % reply[0], flush=True)
    elif command == "big":
        reason = "r" * int(words[2])
        reply, error = call(path, "Inhibit", "(ss)", ("big", reason))
        print("error %s" % error if error else "cookie %d" % reply[0], flush=True)
    elif command == "flood":
        ok = refused = 0
        for _ in range(int(words[2])):
            reply, error = call(path, "Inhibit", "(ss)", ("flood", "x"))
            if error:
                refused += 1
            else:
                ok += 1
        print("flood %d %d" % (ok, refused), flush=True)
    elif command == "uninhibit":
        reply, error = call(path, "UnInhibit", "(u)", (int(words[2]),))
        print("error %s" % error if error else "done", flush=True)
