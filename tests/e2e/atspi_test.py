#!/usr/bin/python3
"""Velmora through the desktop's accessibility bus, as a screen reader or switch access sees it.

Run inside a private D-Bus session (dbus-run-session): starts an Xvfb of its own and the
program with Qt's AT-SPI bridge on, finds the keys by name, presses them through their
actions, and reads the display and the newest history line back. Prints the accessible tree
(role, name, description, actions) of the window; with --dump FILE also writes it as a table.

    dbus-run-session -- atspi_test.py VELMORA_BINARY [--dump FILE]
"""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

TIMEOUT_S = 15.0  # start-up and each awaited change, on a loaded machine


def accepts_connections(number):
    """True when the display's socket takes a connection, in the abstract namespace or as a file."""
    for address in ("\0/tmp/.X11-unix/X" + number, "/tmp/.X11-unix/X" + number):
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
            try:
                probe.connect(address)
                return True
            except OSError:
                pass
    return False


def start_xvfb():
    """An Xvfb on a free display. A server of another test that is ending can still remove the
    socket of the display it frees just after the new one took it: the new server is checked
    once that is over, and started again on another display if its socket is gone."""
    for _ in range(3):
        xvfb, number = start_xvfb_once()
        time.sleep(0.3)
        if accepts_connections(number) and os.path.exists("/tmp/.X11-unix/X" + number):
            return xvfb, ":" + number
        xvfb.kill()
        xvfb.wait()
    sys.exit("Xvfb started three times without a usable socket")


def start_xvfb_once():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + TIMEOUT_S
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.endswith(b"\n"):
        xvfb.kill()
        sys.exit("Xvfb did not start")
    return xvfb, number.decode().strip()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--dump")
    args = parser.parse_args()
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        sys.exit("run inside dbus-run-session")

    xvfb, display = start_xvfb()
    home = tempfile.mkdtemp(prefix="velmora-atspi-")
    program = None
    try:
        os.makedirs(os.path.join(home, ".config"))
        os.makedirs(os.path.join(home, "runtime"), mode=0o700)
        os.environ.update(DISPLAY=display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                          XDG_RUNTIME_DIR=os.path.join(home, "runtime"))
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8")
        for name in ("WAYLAND_DISPLAY", "SESSION_MANAGER"):
            env.pop(name, None)
        program = subprocess.Popen([args.binary], env=env, stdout=subprocess.DEVNULL)
        return run(program, args.dump)
    finally:
        if program is not None:
            program.kill()
            program.wait()
        # Terminated, not killed: the server then removes its socket and lock file itself.
        xvfb.terminate()
        try:
            xvfb.wait(timeout=TIMEOUT_S)
        except subprocess.TimeoutExpired:
            xvfb.kill()
            xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)


def run(program, dump_path):
    import pyatspi  # imported here: it reads DISPLAY and the session bus when loaded
    from gi.repository import GLib

    context = GLib.MainContext.default()

    def wait_for(condition, what):
        deadline = time.monotonic() + TIMEOUT_S
        while time.monotonic() < deadline:
            while context.iteration(False):
                pass
            value = condition()
            if value:
                return value
            if program.poll() is not None:
                sys.exit("the program ended (status %s) while waiting for %s" % (program.returncode, what))
            time.sleep(0.05)
        sys.exit("timed out waiting for " + what)

    def descendants(node):
        for child in node:
            if child is not None:
                yield child
                yield from descendants(child)

    def actions(node):
        try:
            action = node.queryAction()
        except NotImplementedError:
            return []
        return [action.getName(i) for i in range(action.nActions)]

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "velmora":
                return app
        return None

    app = wait_for(application, "the program on the accessibility bus")
    frame = wait_for(lambda: next((c for c in app if c is not None and c.getRoleName() == "frame"), None),
                     "the main window")
    wait_for(lambda: any(n.name == "Latitude A" for n in descendants(frame)), "the keys")

    # The window's tree, without the menus' entries.
    rows = []
    def collect(node, depth):
        rows.append((depth, node.getRoleName(), node.name, node.description, actions(node)))
        if node.getRoleName() != "menu bar":
            for child in node:
                if child is not None:
                    collect(child, depth + 1)
    collect(frame, 0)
    table = ["| Role | Name | Description | Actions |", "|---|---|---|---|"]
    for depth, role, name, description, acts in rows:
        table.append("| %s%s | %s | %s | %s |" % ("&nbsp;" * 2 * depth, role, name.replace("|", "\\|"),
                                                  description.replace("|", "\\|"), ", ".join(acts)))
    print("\n".join(table))
    if dump_path:
        with open(dump_path, "w", encoding="utf-8") as out:
            out.write("\n".join(table) + "\n")

    failures = []
    def check(condition, message):
        if not condition:
            failures.append(message)

    by_name = {}
    for node in descendants(frame):
        if node.getRoleName() == "push button":
            by_name.setdefault(node.name, node)
            check(actions(node)[:1] == ["Press"], "key %r has no Press action" % node.name)
            check(node.description != "", "key %r has no description" % node.name)
    check(len(by_name) >= 35, "only %d differently named keys" % len(by_name))  # two read "Degrees"
    display = next(n for n in descendants(frame) if n.name == "Display")
    history = next(n for n in descendants(frame) if n.getRoleName() == "table" and n.name == "History")
    field = next(n for n in descendants(frame) if n.description == "Coordinate field")

    announced = []
    def listen(event):
        announced.append((event.type, event.source.name if event.source else ""))
    pyatspi.Registry.registerEventListener(listen, "object:text-changed", "object:property-change:accessible-name")

    def lines():
        return [n.name for n in descendants(history) if n.getRoleName() == "table cell"]
    def text(node):
        reader = node.queryText()
        return reader.getText(0, reader.characterCount)

    before = len(lines())
    for key in ["Latitude B", "Latitude A", "4", "5"]:
        by_name[key].queryAction().doAction(0)
    typed = wait_for(lambda: text(display) if text(display) == "45" else None, "the display to read 45")
    wait_for(lambda: any(name == "Display" and kind.startswith("object:text-changed") for kind, name in announced),
             "the display's change to be announced")
    wait_for(lambda: any(name.startswith("Coordinate field: Latitude B") for kind, name in announced),
             "the field indicator's change to be announced")
    by_name["Enter"].queryAction().doAction(0)
    newest = wait_for(lambda: lines()[-1] if len(lines()) > before else None, "a new history line")

    print("\ndisplay after 4 5: %r\nnewest history line: %r\nfield: %r" % (typed, newest, field.name))
    check(newest == "Latitude A: 45\u00b0  N", "newest history line %r" % newest)
    check(field.name == "Coordinate field: Latitude A", "field indicator reads %r" % field.name)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
