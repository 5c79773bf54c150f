#!/usr/bin/python3
"""The main window and the show as a screen reader meets them: over the AT-SPI bus,
through libatspi (the library Orca reads with), on a private X server and session bus.

Usage: dbus-run-session -- screen_reader_test.py LUMENSHOW_BINARY
Prints what it checks; exits 1 at the first thing a screen reader would not find.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

warnings.simplefilter("ignore", DeprecationWarning)  # libatspi's *_iface accessors


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, probe, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def write_bmp(path, width, height, rgb):
    row = bytes((rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16)) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def states(node):
    return {s.value_nick for s in node.get_state_set().get_states()}


def walk(node):
    yield node
    if node.get_role_name() in ("list", "tree", "combo box"):
        return  # their items are not controls of the window
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def actions(node):
    act = node.get_action_iface()
    return [act.get_action_name(i) for i in range(act.get_n_actions())] if act else []


def press(node):
    act = node.get_action_iface()
    names = actions(node)
    if "Press" not in names:
        fail(node.get_name() + " has no press action")
    act.do_action(names.index("Press"))


def main():
    binary = sys.argv[1]
    work = tempfile.mkdtemp(prefix="lumen-a11y-")
    home, pictures = os.path.join(work, "home"), os.path.join(work, "pictures")
    os.makedirs(home)
    os.makedirs(pictures)
    for name, colour in (("a.bmp", 0xFF0000), ("b.bmp", 0x00FF00), ("c.bmp", 0x0000FF)):
        write_bmp(os.path.join(pictures, name), 320, 240, colour)

    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x720x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    display = ":" + os.read(read_fd, 16).decode().strip()
    program = None
    try:
        # What a screen reader does when it starts: it switches accessibility on for the
        # session, and applications started afterwards join the accessibility bus.
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                      GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
                      None, Gio.DBusCallFlags.NONE, 5000, None)
        env = dict(os.environ, DISPLAY=display, LUMENSHOW_HOME=home, SDL_AUDIODRIVER="dummy",
                   XDG_CACHE_HOME=os.path.join(work, "cache"), ASAN_OPTIONS="detect_leaks=0")
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        program = subprocess.Popen([binary], env=env)

        def application():
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app is not None and app.get_process_id() == program.pid:
                    return app
            return None

        app = wait_for("LumenShow on the accessibility bus", application)
        main_window = wait_for("the main window", lambda: next(
            (w for w in walk(app) if w.get_role_name() == "frame" and w.get_name() == "LumenShow"), None))

        def control(role, name):
            return next((n for n in walk(main_window) if n.get_role_name() == role and n.get_name() == name), None)

        def expect(role, name, has=(), lacks=(), acts=()):
            node = control(role, name)
            if node is None:
                fail("no %s named %r" % (role, name))
            missing = [s for s in has if s not in states(node)] + [s for s in lacks if s in states(node)]
            if missing:
                fail("%s %r: states %s (checked for %s, against %s)" % (role, name, sorted(states(node)), has, lacks))
            if any(a not in actions(node) for a in acts):
                fail("%s %r: actions %s" % (role, name, actions(node)))
            print("ok  %s %r" % (role, name))
            return node

        expect("push button", "ﾌｫﾙﾀﾞの選択", has=("enabled", "focusable"), acts=("Press",))
        expect("push button", "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ", lacks=("enabled",))
        expect("push button", "終了", has=("enabled",), acts=("Press",))
        expect("push button", "ﾌｧｲﾙの選択", lacks=("enabled",))
        expect("push button", "余白の色", acts=("Press",))
        expect("push button", "背景色", lacks=("showing",))
        expect("combo box", "BGMﾘﾋﾟｰﾄ", lacks=("enabled",))
        expect("link", "LumenShow の使い方", has=("focusable",), acts=("Press",))
        chosen = {"ｼｰｹﾝｼｬﾙ", "なし", "透明", "手動", "右めくり"}
        for name in ("ｼｰｹﾝｼｬﾙ", "ｼｬﾌﾙ", "なし", "音楽CD", "MP3、WAV", "透明", "色指定　⇒", "手動", "自動　⇒",
                     "右めくり", "左めくり"):
            node = expect("radio button", name, has=("checked",) if name in chosen else (),
                          lacks=() if name in chosen else ("checked",), acts=("Press",))
            labels = [r.get_target(0).get_name() for r in node.get_relation_set()
                      if r.get_relation_type() == Atspi.RelationType.LABELLED_BY]
            if name not in labels:
                fail("radio button %r is not labelled by its label: %s" % (name, labels))
        for name, value, low, high in (("めくる速さ", 100, 50, 100), ("自動時のｲﾝﾀｰﾊﾞﾙ", 1, 0, 10)):
            bar = expect("scroll bar", name, has=("focusable",))
            v = bar.get_value_iface()
            got = (v.get_current_value(), v.get_minimum_value(), v.get_maximum_value(), v.get_minimum_increment())
            if got != (value, low, high, 1):
                fail("scroll bar %r: value, range and step %s" % (name, got))

        # Operated through the bus: a value set, a mark pressed.
        control("scroll bar", "めくる速さ").get_value_iface().set_current_value(77)
        wait_for("the speed label to read 77", lambda: control("label", "77"))
        press(control("radio button", "音楽CD"))
        wait_for("音楽CD checked", lambda: "checked" in states(control("radio button", "音楽CD")))
        wait_for("the track box enabled", lambda: "enabled" in states(control("combo box", "BGMﾘﾋﾟｰﾄ")))
        print("ok  a value set and a mark pressed through the bus")

        # The folder dialog opens from a press; the path is typed as a user would.
        press(control("push button", "ﾌｫﾙﾀﾞの選択"))
        xdo = dict(os.environ, DISPLAY=display)
        title = "フォルダを選択してください"
        wait_for("the folder dialog", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", title], env=xdo, capture_output=True).returncode == 0)
        # Keys to the newest window of that name, focused first, as a user's typing goes.
        def keys_to(name, *keys):
            subprocess.run(["sh", "-c", "xdotool windowfocus --sync $(xdotool search --onlyvisible --name \"$0\" "
                            "| tail -1) && xdotool \"$@\"", name, *keys], env=xdo, check=True)

        keys_to(title, "sleep", "0.5", "type", "--delay", "20", pictures)
        for _ in range(3):
            keys_to(title, "key", "Return")
            time.sleep(1)
            if subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=xdo,
                              capture_output=True).returncode != 0:
                break
        wait_for("the start button enabled", lambda: "enabled" in states(control("push button", "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ")))

        # The show: a frame named LumenShow whose description is the picture on its page.
        press(control("push button", "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ"))

        def show_window():
            for i in range(app.get_child_count()):
                w = app.get_child_at_index(i)
                if w is not None and w.get_role_name() == "frame" and w.get_name() == "LumenShow" \
                        and w.get_description():
                    return w
            return None

        show = wait_for("the show window", show_window)
        first = show.get_description()
        if first != "c.bmp":  # a right-turn show starts at its last picture
            fail("the show's first page is announced as %r" % first)
        keys_to("^LumenShow$", "key", "Right")  # the newest window of that name is the show's
        wait_for("the turned page's name", lambda: show.get_description() == "a.bmp")
        print("ok  the show announces c.bmp, then a.bmp after Right")
        keys_to("^LumenShow$", "key", "Escape")
        wait_for("the show to end", lambda: show_window() is None)

        press(control("push button", "終了"))
        if program.wait(20) != 0:
            fail("LumenShow ended with status %d" % program.returncode)
        with open(os.path.join(home, "LumenShow.ini"), "rb") as f:
            saved = f.read().decode("cp932")
        for line in ("めくる速さ= 77", "BGM区分= 1"):
            if line not in saved:
                fail("the settings lack %r:\n%s" % (line, saved))
        print("ok  ended by 終了; the settings keep what was set through the bus")
    finally:
        if program is not None and program.poll() is None:
            program.kill()
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
