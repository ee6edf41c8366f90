#!/usr/bin/python3
# A client of the session bus that stays on it until its standard input
# ends, taking commands one a line:
#   inhibit PATH APP REASON   one ScreenSaver Inhibit; prints "cookie N" or "error NAME"
#   big PATH BYTES            one Inhibit with a reason of BYTES bytes
#   flood PATH COUNT          COUNT Inhibits; prints "flood OK REFUSED"
#   uninhibit PATH COOKIE     prints "done" or "error NAME"
#   kde HELD                  stands in for a KDE session: owns
#                             org.freedesktop.ScreenSaver and KDE's PolicyAgent,
#                             whose HasInhibition answers HELD (true/false);
#                             prints "owned"; each question is printed as "asked N"
#   held HELD                 changes that answer; prints "held HELD"
# PATH is the object path (/org/freedesktop/ScreenSaver or /ScreenSaver).
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
loop = GLib.MainLoop()
state = {"held": False, "owned": 0}

POLICY_XML = """<node><interface name='org.kde.Solid.PowerManagement.PolicyAgent'>
  <method name='HasInhibition'><arg type='u' direction='in'/><arg type='b' direction='out'/></method>
</interface></node>"""


def say(text):
    print(text, flush=True)


def call(path, method, signature, args):
    try:
        reply = bus.call_sync("org.freedesktop.ScreenSaver", path, "org.freedesktop.ScreenSaver",
                              method, GLib.Variant(signature, args), None,
                              Gio.DBusCallFlags.NONE, 10000, None)
        return reply.unpack(), None
    except GLib.Error as error:
        return None, Gio.DBusError.get_remote_error(error) or error.message


def on_policy_call(connection, sender, path, interface, method, parameters, invocation):
    say("asked %d" % parameters.unpack()[0])
    invocation.return_value(GLib.Variant("(b)", (state["held"],)))


def on_owned(connection, name):
    state["owned"] += 1
    if state["owned"] == 2:
        say("owned")


def stand_in_for_kde():
    node = Gio.DBusNodeInfo.new_for_xml(POLICY_XML)
    bus.register_object("/org/kde/Solid/PowerManagement/PolicyAgent", node.interfaces[0],
                        on_policy_call, None, None)
    for name in ("org.freedesktop.ScreenSaver", "org.kde.Solid.PowerManagement.PolicyAgent"):
        Gio.bus_own_name_on_connection(bus, name, Gio.BusNameOwnerFlags.NONE, on_owned, None)


def command(line):
    words = line.split()
    if not words:
        return
    what = words[0]
    if what == "inhibit":
        reply, error = call(words[1], "Inhibit", "(ss)", (words[2], words[3]))
        say("error %s" % error if error else "cookie %d" % reply[0])
    elif what == "big":
        reply, error = call(words[1], "Inhibit", "(ss)", ("big", "r" * int(words[2])))
        say("error %s" % error if error else "cookie %d" % reply[0])
    elif what == "flood":
        ok = refused = 0
        for _ in range(int(words[2])):
            reply, error = call(words[1], "Inhibit", "(ss)", ("flood", "x"))
            if error:
                refused += 1
            else:
                ok += 1
        say("flood %d %d" % (ok, refused))
    elif what == "uninhibit":
        reply, error = call(words[1], "UnInhibit", "(u)", (int(words[2]),))
        say("error %s" % error if error else "done")
    elif what == "kde":
        state["held"] = words[1] == "true"
        stand_in_for_kde()
    elif what == "held":
        state["held"] = words[1] == "true"
        say("held %s" % words[1])


def on_input(source, condition):
    line = sys.stdin.readline()
    if not line:
        loop.quit()
        return False
    command(line)
    return True


GLib.io_add_watch(sys.stdin, GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, on_input)
say("ready")
loop.run()
