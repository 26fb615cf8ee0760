#!/usr/bin/python3
"""The Settings window as a screen reader meets it, over AT-SPI.

Starts the real Settings program on the pane under Xvfb, with Qt's AT-SPI bridge on, and works
the pane through pyatspi, the library Orca uses: it finds the controls by name in the
accessibility tree, toggles the player switch through its action, steps a slider through its
action and sets a typed value through its value interface. After each, the preference file is
read with plistlib (it must hold exactly that change), the reload notifications on the session
bus are counted (exactly one) and the change must have been announced as an event once. A
colour another program writes into the file is shown and announced too. Run it on a session
bus of its own (dbus-run-session).

Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb on this machine).
"""

import argparse
import math
import os
import plistlib
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
PREFS = "var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist"
BUNDLE = "var/jb/Library/PreferenceBundles/tolvplayerprefs.bundle"
ENTRIES = "var/jb/Library/PreferenceLoader/Preferences"
RELOAD = "com.qev.tolvplayerprefs/ReloadPrefs"
NOTIFY_PATH = "/platform/notify"
NOTIFY_INTERFACE = "platform.notify.Center"


class Failure(Exception):
    pass


def wait_for(condition, what, seconds=20.0):
    """Polls `condition` (running the GLib loop for the bus listener) until it holds."""
    from gi.repository import GLib

    deadline = time.monotonic() + seconds
    while True:
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"{what}: not within {seconds:.0f} s")
        time.sleep(0.02)


class ReloadCounter:
    """Counts the reload notifications on the session bus, settled by a sentinel of its own:
    a signal sent after the counted ones arrives after them."""

    def __init__(self):
        from gi.repository import Gio

        self._bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        self._count = 0
        self._sentinels = 0
        self._heard = set()
        self._bus.signal_subscribe(None, NOTIFY_INTERFACE, "Post", NOTIFY_PATH, None,
                                   Gio.DBusSignalFlags.NONE, self._on_post)

    def _on_post(self, _connection, _sender, _path, _interface, _member, parameters):
        name = parameters.unpack()[0]
        if name == RELOAD:
            self._count += 1
        else:
            self._heard.add(name)

    def settled(self):
        from gi.repository import GLib

        self._sentinels += 1
        sentinel = f"test.atspi/sentinel/{os.getpid()}/{self._sentinels}"
        self._bus.emit_signal(None, NOTIFY_PATH, NOTIFY_INTERFACE, "Post",
                              GLib.Variant("(s)", (sentinel,)))
        wait_for(lambda: sentinel in self._heard, "the session bus caught up", 10)
        return self._count

    def count(self):
        return self._count


class HeardEvents:
    """The accessibility events a screen reader hears: a switch's new state, a slider's new
    value, a colour row's new text, by the name and role of the control they come from."""

    TYPES = ("object:state-changed:checked", "object:property-change:accessible-value",
             "object:property-change:accessible-description")

    def __init__(self):
        import pyatspi

        self._heard = []
        pyatspi.Registry.registerEventListener(self._hear, *self.TYPES)

    def _hear(self, event):
        try:
            self._heard.append((event.type, event.source.name, event.source.getRole()))
        except Exception:  # a source gone meanwhile: nothing a reader would say
            pass

    def count(self, kind, node):
        source = (node.name, node.getRole())
        return sum(1 for event in self._heard if event[0].startswith(kind) and event[1:] == source)


def install_root(resources, module):
    """A device root laid out as `cmake --install` lays it out, in a temporary directory."""
    root = tempfile.mkdtemp(prefix="qev-atspi-")
    shutil.copytree(os.path.join(resources, "bundle"), os.path.join(root, BUNDLE))
    shutil.copytree(os.path.join(resources, "entry"), os.path.join(root, ENTRIES))
    os.symlink(os.path.abspath(module), os.path.join(root, BUNDLE, "tolvplayerprefs.so"))
    os.makedirs(os.path.dirname(os.path.join(root, PREFS)))
    return root


def start_xvfb():
    """Xvfb on a free display; the display number comes back once the server is ready."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        display = pipe.readline().strip()
    if not display:
        server.kill()
        raise Failure("Xvfb did not start")
    return server, ":" + display


def read_file(path):
    try:
        with open(path, "rb") as file:
            return plistlib.load(file)
    except FileNotFoundError:
        return {}


def write_file(path, entries):
    """As another program writes the file: a new file renamed over the old one."""
    with open(path + ".new", "wb") as file:
        plistlib.dump(entries, file)
    os.replace(path + ".new", path)


def find(root, name, role, what):
    import pyatspi

    def matches(node):
        return node is not None and node.getRole() == role and node.name in name

    return wait_for(lambda: pyatspi.findDescendant(root, matches), what)


def action_index(node, wanted):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == wanted:
            return action, i
    raise Failure(f"{node.name}: no action {wanted!r}")


def expect_one_change(counter, path, act, key, check, what):
    """Does `act`, waits for the file to change, then: only `key` changed, as `check` says,
    and exactly one reload notification came for it."""
    before = read_file(path)
    notified = counter.settled()
    act()
    after = wait_for(lambda: (lambda now: now if now != before else None)(read_file(path)),
                     f"{what}: the preference file changed")
    changed = {k for k in set(before) | set(after) if before.get(k) != after.get(k)}
    if changed != {key}:
        raise Failure(f"{what}: the file changed {sorted(changed)}, not just {key!r}")
    if not check(after[key]):
        raise Failure(f"{what}: {key} is {after[key]!r}")
    wait_for(lambda: counter.count() > notified, f"{what}: a reload notification came")
    if counter.settled() != notified + 1:
        raise Failure(f"{what}: {counter.settled() - notified} reload notifications, not one")
    print(f"ok: {what}: {key} = {after[key]!r}, one reload notification")


def run(root):
    import pyatspi

    counter = ReloadCounter()
    events = HeardEvents()
    checked, value_changed, described = HeardEvents.TYPES
    path = os.path.join(root, PREFS)
    app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                 if a is not None and a.name == "Settings"), None),
                   "Settings appeared on the accessibility bus")

    player = find(app, {"启用播放器", "Enable Player"}, pyatspi.ROLE_CHECK_BOX,
                  "the player switch is in the tree")
    if not player.getState().contains(pyatspi.STATE_CHECKED):
        raise Failure("the player switch started off")
    action, toggle = action_index(player, "toggle")
    expect_one_change(counter, path, lambda: action.doAction(toggle), "enabled",
                      lambda v: v is False, "toggle the player switch")
    wait_for(lambda: not player.getState().contains(pyatspi.STATE_CHECKED),
             "the switch reports its new state")
    wait_for(lambda: events.count(checked, player), "the new state was announced")

    volume = find(app, {"音量", "Volume"}, pyatspi.ROLE_SLIDER, "the volume slider is in the tree")
    value = volume.queryValue()
    start = value.currentValue
    action, increase = action_index(volume, "increase")
    expect_one_change(counter, path, lambda: action.doAction(increase), "volume",
                      lambda v: math.isclose(v, start + 0.01, abs_tol=1e-6),
                      "one step up of the volume slider")
    wait_for(lambda: events.count(value_changed, volume) == 1, "the new value was announced")

    def type_value():
        value.currentValue = 0.25

    expect_one_change(counter, path, type_value, "volume",
                      lambda v: math.isclose(v, 0.25, abs_tol=1e-6),
                      "a typed value through the slider's value interface")
    if not math.isclose(value.currentValue, 0.25, abs_tol=1e-6):
        raise Failure(f"the slider reports {value.currentValue}")
    wait_for(lambda: events.count(value_changed, volume) == 2, "the new value was announced")

    # Another program writes a colour: the row shows it and says so, and the pane posts nothing.
    colour = find(app, {"歌词颜色", "Lyrics Colour"}, pyatspi.ROLE_PUSH_BUTTON,
                  "the lyrics colour row is in the tree")
    if colour.description != "#5856D6":
        raise Failure(f"the lyrics colour row reads {colour.description!r}")
    notified = counter.settled()
    write_file(path, dict(read_file(path), lyricsColor="#112233"))
    wait_for(lambda: events.count(described, colour), "the row announced the colour written")
    if colour.description != "#112233":
        raise Failure(f"the lyrics colour row reads {colour.description!r}")
    if counter.settled() != notified:
        raise Failure("the pane announced another program's change as its own")
    print("ok: a colour written by another program: shown and announced, nothing posted")

    # Each change was announced once: by now a second announcement of any would have come.
    counter.settled()
    for kind, node, expected in ((checked, player, 1), (value_changed, volume, 2)):
        if events.count(kind, node) != expected:
            raise Failure(f"{node.name}: {events.count(kind, node)} {kind} events, not {expected}")
    print("ok: each change was announced once")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--settings", required=True, help="the Settings program")
    parser.add_argument("--module", required=True, help="the pane's built module")
    parser.add_argument("--resources", required=True, help="the source tree's resources/")
    args = parser.parse_args()

    if shutil.which("Xvfb") is None:
        print("SKIPPED: Xvfb is not installed; scripts/setup.sh installs it (xvfb)",
              file=sys.stderr)
        return SKIPPED
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        print("FAILED: no session bus; run under dbus-run-session", file=sys.stderr)
        return 1

    root = install_root(args.resources, args.module)
    server, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", LANG="zh_CN.UTF-8",
               QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    os.environ["DISPLAY"] = display
    # The accessibility bus up before the program starts, so its bridge finds it at once.
    import pyatspi
    pyatspi.Registry.getDesktop(0)
    program = subprocess.Popen([args.settings, "--root", root, "--open", "TOLVPlayer"], env=env)
    try:
        run(root)
        if program.poll() is not None:
            raise Failure(f"Settings exited with {program.returncode}")
        print("PASSED")
        return 0
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
        server.terminate()
        server.wait(10)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
