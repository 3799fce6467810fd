#!/usr/bin/python3
"""A StatusNotifierWatcher with a host, on the session bus DBUS_SESSION_BUS_ADDRESS names.

Stands in for a desktop's D-Bus notification area: with it on the bus, Qt's tray icon
registers as a StatusNotifierItem instead of looking for an X11 notification area. It reports
on standard output, one line each:
    ready                  the watcher's name is owned
    item SERVICE           an item registered (the commands below go to the newest one)
and answers the commands read from standard input:
    properties             "title T", "icon-name N", "id I", "status S", then "end"
    activate               Activate(0, 0); "activated"
    menu LABEL             the dbusmenu entry shown as LABEL is clicked; "clicked ID",
                           or "no-entry" and the labels found
Errors from the item are reported as "error TEXT".
"""

import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
ITEM_PATH = "/StatusNotifierItem"
MENU_INTERFACE = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"
CALL_TIMEOUT_S = 10
INTROSPECTION = """<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>"""


def say(line):
    print(line, flush=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item may give its service name or only an object path on its own connection.
        name = service if not service.startswith("/") else sender
        self.items.append(name)
        say("item " + name)
        self.StatusNotifierItemRegistered(name)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    # Qt reads IsStatusNotifierHostRegistered through an interface made from this description,
    # so the properties must appear in it; dbus-python lists only methods and signals.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }


def labels(layout):
    """(id, label) of every entry below a GetLayout node, depth first."""
    found = []
    for child in layout[2]:
        entry_id, props, _ = child
        found.append((int(entry_id), str(props.get("label", ""))))
        found.extend(labels(child))
    return found


def answer(watcher, line):
    words = line.split(" ", 1)
    if not watcher.items:
        say("error no item registered")
        return
    item = watcher.bus.get_object(watcher.items[-1], ITEM_PATH)
    if words[0] == "properties":
        props = dbus.Interface(item, PROPERTIES)
        for key, name in (("title", "Title"), ("icon-name", "IconName"), ("id", "Id"), ("status", "Status")):
            say(key + " " + str(props.Get(ITEM_INTERFACE, name, timeout=CALL_TIMEOUT_S)))
        say("end")
    elif words[0] == "activate":
        dbus.Interface(item, ITEM_INTERFACE).Activate(0, 0, timeout=CALL_TIMEOUT_S)
        say("activated")
    elif words[0] == "menu" and len(words) == 2:
        path = dbus.Interface(item, PROPERTIES).Get(ITEM_INTERFACE, "Menu", timeout=CALL_TIMEOUT_S)
        menu = dbus.Interface(watcher.bus.get_object(watcher.items[-1], path), MENU_INTERFACE)
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), timeout=CALL_TIMEOUT_S)
        entries = labels(layout)
        # dbusmenu writes a mnemonic as an underscore before the letter.
        wanted = [entry_id for entry_id, label in entries if label.replace("_", "") == words[1]]
        if not wanted:
            say("no-entry " + "|".join(label for _, label in entries))
            return
        # The call is sent without waiting: the entry may end the program before it answers.
        menu.Event(wanted[0], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   reply_handler=lambda: None, error_handler=lambda error: None)
        say("clicked " + str(wanted[0]))
    else:
        say("error unknown command " + line)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    loop = GLib.MainLoop()

    def on_input(source, _condition):
        line = source.readline()
        if not line:
            loop.quit()
            return False
        try:
            answer(watcher, line.strip())
        except dbus.DBusException as error:
            say("error " + error.get_dbus_message())
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, on_input)
    say("ready")
    loop.run()
    del name


if __name__ == "__main__":
    main()
