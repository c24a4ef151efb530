#!/usr/bin/env python3
"""A stand-in for the desktop portal's GlobalShortcuts interface, owning
org.freedesktop.portal.Desktop on the session bus it is started on (a private one).

Usage: fake_portal.py MODE, where MODE is
  shortcuts  the interface with its version property; sessions and bindings succeed
  absent     a portal without the GlobalShortcuts interface
  cancel     bindings are turned down (Response 1, as when the user closes the dialog)
  fail       CreateSession answers with a D-Bus error

Each Request answers with its Response signal before the method's reply goes out, as a
portal may: a client that listens for the Response only after the reply misses it.
The control interface org.kotonami.FakePortal on the same object emits Activated on demand
(Press) and returns what the clients asked (Log: "create", "bind" and "close" lines, fields
separated by tabs). "ready" on standard output tells that the name is owned.
"""
import sys

from gi.repository import Gio, GLib

NAME = "org.freedesktop.portal.Desktop"
DESKTOP = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"

XML = """
<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession">
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <method name="BindShortcuts">
      <arg type="o" name="session_handle" direction="in"/>
      <arg type="a(sa{sv})" name="shortcuts" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="request_handle" direction="out"/>
    </method>
    <signal name="Activated">
      <arg type="o" name="session_handle"/>
      <arg type="s" name="shortcut_id"/>
      <arg type="t" name="timestamp"/>
      <arg type="a{sv}" name="options"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
  <interface name="org.freedesktop.portal.Session">
    <method name="Close"/>
  </interface>
  <interface name="org.kotonami.FakePortal">
    <method name="Press">
      <arg type="s" name="shortcut_id" direction="in"/>
      <arg type="s" name="session_handle" direction="in"/>
    </method>
    <method name="Log">
      <arg type="as" name="lines" direction="out"/>
    </method>
  </interface>
</node>
"""

mode = sys.argv[1]
node = Gio.DBusNodeInfo.new_for_xml(XML)
shortcuts_info = node.lookup_interface(SHORTCUTS)
session_info = node.lookup_interface("org.freedesktop.portal.Session")
control_info = node.lookup_interface("org.kotonami.FakePortal")
log = []
sessions = {}  # session path -> registration id
loop = GLib.MainLoop()


def sender_element(sender):
    return sender[1:].replace(".", "_")


def answer(connection, sender, token, response, results):
    """Emits the Response of the request named by token; returns the request's path."""
    path = f"{DESKTOP}/request/{sender_element(sender)}/{token}"
    connection.emit_signal(sender, path, "org.freedesktop.portal.Request", "Response",
                           GLib.Variant("(ua{sv})", (response, results)))
    return path


def on_session_call(connection, sender, path, interface, method, parameters, invocation):
    log.append(f"close\t{path}")
    connection.unregister_object(sessions.pop(path))
    invocation.return_value(None)


def on_shortcuts_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "CreateSession":
        (options,) = parameters.unpack()
        if mode == "fail":
            invocation.return_dbus_error("org.freedesktop.portal.Error.Failed",
                                         "no sessions here")
            return
        session = f"{DESKTOP}/session/{sender_element(sender)}/{options['session_handle_token']}"
        sessions[session] = connection.register_object(session, session_info, on_session_call,
                                                       None, None)
        log.append(f"create\t{session}")
        request = answer(connection, sender, options["handle_token"], 0,
                         {"session_handle": GLib.Variant("s", session)})
        invocation.return_value(GLib.Variant("(o)", (request,)))
    elif method == "BindShortcuts":
        session, shortcuts, parent_window, options = parameters.unpack()
        for shortcut_id, properties in shortcuts:
            log.append("\t".join(["bind", session, shortcut_id,
                                  properties.get("description", ""),
                                  properties.get("preferred_trigger", "")]))
        if mode == "cancel":
            request = answer(connection, sender, options["handle_token"], 1, {})
        else:
            bound = [(shortcut_id, {"description": GLib.Variant("s", properties["description"]),
                                    "trigger_description": GLib.Variant("s", "Ctrl+Alt+R")})
                     for shortcut_id, properties in shortcuts]
            request = answer(connection, sender, options["handle_token"], 0,
                             {"shortcuts": GLib.Variant("a(sa{sv})", bound)})
        invocation.return_value(GLib.Variant("(o)", (request,)))


def on_shortcuts_property(connection, sender, path, interface, name):
    return GLib.Variant("u", 1)


def on_control_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "Press":
        shortcut_id, session = parameters.unpack()
        for signal in ("Activated", "Deactivated"):
            connection.emit_signal(None, DESKTOP, SHORTCUTS, signal,
                                   GLib.Variant("(osta{sv})", (session, shortcut_id, 1000, {})))
        invocation.return_value(None)
    elif method == "Log":
        invocation.return_value(GLib.Variant("(as)", (log,)))


def on_bus(connection, name):
    if mode != "absent":
        connection.register_object(DESKTOP, shortcuts_info, on_shortcuts_call,
                                   on_shortcuts_property, None)
    connection.register_object(DESKTOP, control_info, on_control_call, None, None)


def on_name(connection, name):
    print("ready", flush=True)


def on_name_lost(connection, name):
    print("the name is owned by another program", file=sys.stderr, flush=True)
    loop.quit()


Gio.bus_own_name(Gio.BusType.SESSION, NAME, Gio.BusNameOwnerFlags.NONE, on_bus, on_name,
                 on_name_lost)
loop.run()
