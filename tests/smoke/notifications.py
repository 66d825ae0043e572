#!/usr/bin/python3
"""A stand-in desktop notification service for the smoke test: owns org.freedesktop.Notifications
on the session bus and writes each Notify call (summary and body) to the log file given."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    def __init__(self, bus, log_path):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.log_path = log_path
        self.next_id = 0

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        self.next_id += 1
        with open(self.log_path, "a", encoding="utf-8") as log:
            log.write("Notify app=%s icon=%s summary=%s actions=%s body=%s\n"
                      % (app_name, app_icon, summary, ",".join(actions), body.replace("\n", " | ")))
        return self.next_id

    @dbus.service.method(NAME, out_signature="as")
    def GetCapabilities(self):
        return ["body", "actions"]

    @dbus.service.method(NAME, out_signature="ssss")
    def GetServerInformation(self):
        return ("quillory-smoke", "Quillory", "1", "1.2")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NAME, bus)  # noqa: F841 (kept for the life of the loop)
    Notifications(bus, sys.argv[1])
    open(sys.argv[1] + ".ready", "w").close()
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
