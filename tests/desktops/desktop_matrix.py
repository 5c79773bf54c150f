#!/usr/bin/python3
"""The show on the desktops people use, each run headless as the user would meet it.

    desktop_matrix.py LUMENSHOW TOOLS STACK

STACK is one row of the matrix (see STACKS at the end). Each starts its compositor or
X server with display numbers and socket names picked at run time, types keys through the
compositor itself (what a keyboard does), and reads the composed picture the user sees:
where the page stands, what lies around it, that Right turns and Esc ends the show.
TOOLS holds the helpers built with the tests (kwin_keys). A stack that cannot start fails.
"""
import os, signal, subprocess, sys, tempfile, time, shutil
import numpy as np

LUMENSHOW, TOOLS, STACK = sys.argv[1], sys.argv[2], sys.argv[3]

WALL = (0x3C, 0x8C, 0x8C)     # the desktop behind the show
MARGIN = (255, 255, 255)      # the page's margins (余白の色)
FIRST = (40, 60, 230)         # the first picture, blue
SECOND = (30, 180, 40)        # the second, green
BACK = (160, 32, 96)          # the background colour (背景色)
BLACK = (0, 0, 0)


def colorref(rgb):
    return rgb[2] << 16 | rgb[1] << 8 | rgb[0]


def round_half_even(x):
    return int(round(x))  # Python's round() takes halves to the even neighbour


def fail(message):
    raise AssertionError(message)


def wait_until(what, predicate, within=20.0, step=0.1):
    end = time.monotonic() + within
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    fail(f"timed out waiting for {what}")


def write_bmp(path, width, height, rgb):
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + b"\0" * ((4 - width * 3 % 4) % 4)
    pixels = row * height
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little") + \
        (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + b"\0" * 24
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def remove_x_locks_of(pid):
    """The X display numbers a process claimed: mutter keeps its lock files and sockets
    when it is ended by a signal."""
    for name in os.listdir("/tmp"):
        if name.startswith(".X") and name.endswith("-lock"):
            try:
                with open(os.path.join("/tmp", name)) as f:
                    owner = int(f.read().strip() or 0)
            except (OSError, ValueError):
                continue
            if owner == pid:
                number = name[2:-5]
                for path in (os.path.join("/tmp", name), f"/tmp/.X11-unix/X{number}"):
                    if os.path.exists(path):
                        os.remove(path)


def free_display():
    """An X display number nobody uses now (its lock and socket both absent)."""
    for n in range(200, 600):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return n
    fail("no free X display number")


class Session:
    """Private folders and processes of one run; everything ends with it."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="lumenshow-desktop-")
        os.chmod(self.root, 0o755)
        self.runtime = self.folder("runtime", 0o700)
        self.home = self.folder("home")
        self.pictures = self.folder("pictures")
        self.processes = []
        self.cleanups = []
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS",
                                 "QT_SCALE_FACTOR", "XAUTHORITY")}
        self.env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=self.home + "/.config",
                        XDG_CACHE_HOME=self.home + "/.cache")
        write_bmp(self.pictures + "/p0.bmp", 640, 480, FIRST)
        write_bmp(self.pictures + "/p1.bmp", 640, 480, SECOND)

    def folder(self, name, mode=0o755):
        path = os.path.join(self.root, name)
        os.makedirs(path, mode=mode)
        os.chmod(path, mode)
        return path

    def start(self, argv, env=None, log=None, **kw):
        out = open(os.path.join(self.root, (log or os.path.basename(argv[0])) + ".log"), "ab")
        p = subprocess.Popen(argv, env=env or self.env, stdout=out, stderr=subprocess.STDOUT,
                             start_new_session=True, **kw)
        self.processes.append(p)
        return p

    def run(self, argv, env=None, **kw):
        return subprocess.run(argv, env=env or self.env, check=True, timeout=30, **kw)

    def session_bus(self):
        p = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.processes.append(p)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = p.stdout.readline().decode().strip()
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = self.env["DBUS_SESSION_BUS_ADDRESS"]

    def close(self):
        for p in reversed(self.processes):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for p in reversed(self.processes):
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        for cleanup in self.cleanups:
            cleanup()
        shutil.rmtree(self.root, ignore_errors=True)


def load_png(path):
    size = subprocess.check_output(["identify", "-format", "%w %h", path + "[0]"]).split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.check_output(["convert", path + "[0]", "-alpha", "off", "-depth", "8", "rgb:-"])
    return np.frombuffer(raw, np.uint8).reshape(h, w, 3).astype(int)


# ---- stacks: each sets up the desktop, gives the client environment, keys and pictures ----

def free_area(shot, width, height):
    """The desktop's area below its top bar (what a maximised window gets); None until the
    bar is drawn (the shells draw it a moment after the background)."""
    bar = 0
    while bar < height - 1 and not near(colour_at(shot, width // 4, bar), WALL):
        bar += 1
    return (0, bar, width, height - bar) if 8 <= bar < height - 1 else None


def start_wallpaper(s, width, height):
    """A plain desktop of a known colour: an X11 window covering the screen."""
    colour = "#%02x%02x%02x" % WALL
    s.start(["xmessage", "-geometry", f"{width}x{height}+0+0", "-bg", colour, "-fg", colour, "-name", "wallpaper",
             " "], log="wallpaper")


class X11:
    """Xvfb with a window manager, a panel and a compositor as asked; keys by XTEST (the X
    server's own input)."""
    composited_default = False

    def __init__(self, s, size="1280x720", wm=True, panel=True, compositor=False, monitors=None, scale=None):
        self.s, self.scale = s, scale or 1
        self.composited = compositor
        r, w = os.pipe()
        s.start(["Xvfb", "-displayfd", str(w), "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(w,))
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):  # the whole line: a closed pipe would make Xvfb give up
            chunk = os.read(r, 16)
            if not chunk:
                fail("Xvfb did not start")
            number += chunk
        os.close(r)
        self.display = ":" + number.decode().strip()
        s.env["DISPLAY"] = self.display
        self.width, self.height = map(int, size.split("x"))
        self.outputs = [(0, 0, self.width, self.height)]
        if monitors:
            for i, (name, geometry) in enumerate(monitors):
                s.run(["xrandr", "--setmonitor", name, geometry, "screen" if i == 0 else "none"])
            self.outputs = [self.parse_monitor(g) for _, g in monitors]
        # A desktop of a known colour, which picom paints too.
        start_wallpaper(s, self.width, self.height)
        wait_until("the desktop", lambda: self.window("wallpaper"))
        if wm:
            s.start(["openbox"])
            wait_until("openbox", lambda: subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=s.env,
                                                         capture_output=True).stdout.count(b"window id") > 0)
        if panel:
            s.start(["tint2"])
            wait_until("the panel", lambda: self.window("tint2"))
        if compositor:
            s.start(["picom", "--backend", "xrender"])
            time.sleep(1)
        self.client = {"QT_QPA_PLATFORM": "xcb"}
        if scale:
            self.client["QT_SCALE_FACTOR"] = str(scale)

    def run(self, argv, **kw):
        """A command on this X server (whatever display the session's clients use)."""
        return subprocess.run(argv, env=dict(self.s.env, DISPLAY=self.display), **kw)

    @staticmethod
    def parse_monitor(geometry):  # 1920/508x1080/286+0+0
        size, x, y = geometry.split("+")
        w, h = size.split("x")
        return int(x), int(y), int(w.split("/")[0]), int(h.split("/")[0])

    def window(self, name, by="--name"):
        r = self.run(["xdotool", "search", "--onlyvisible", by, name], capture_output=True, text=True)
        return r.stdout.split()[-1] if r.returncode == 0 and r.stdout.split() else None

    def keys(self, *names):
        for name in names:
            self.run(["xdotool", "key", name], check=True)

    def click(self, x, y):
        self.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)

    def pointer(self, x, y):
        self.run(["xdotool", "mousemove", str(x), str(y)], check=True)

    def shot(self, window="-root"):
        # The root's picture is the composed one: picom draws into the overlay window.
        path = os.path.join(self.s.root, "shot.png")
        xwd = self.run(["xwd", *(["-root"] if window == "-root" else ["-id", window]), "-silent"],
                       capture_output=True, check=True).stdout
        subprocess.run(["convert", "xwd:-", path], input=xwd, check=True)
        return load_png(path)

    def steal_focus(self):
        """Another program's window takes the keyboard (a messenger's prompt)."""
        self.s.start(["xmessage", "-geometry", "+20+20", "-name", "intruder", "a message"], log="intruder")
        intruder = wait_until("the intruder's window", lambda: self.window("intruder"))
        self.run(["xdotool", "windowfocus", intruder], check=True)  # as a program that takes the focus itself
        wait_until("the intruder's focus", lambda: self.run(["xdotool", "getwindowfocus", "getwindowname"],
                                                           capture_output=True, text=True).stdout.strip() == "intruder",
                   within=10)


class KWin:
    """KDE Plasma's compositor, headless, with Xwayland; keys through its fake-input
    protocol, pictures through its ScreenShot2 D-Bus interface."""

    def __init__(self, s, xwayland):
        self.s, self.scale, self.composited = s, 1, True
        self.width, self.height = 1280, 720
        self.outputs = [(0, 0, self.width, self.height)]
        s.session_bus()
        # The packaged binary carries a file capability a container refuses; a copy has none.
        kwin = os.path.join(s.root, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        # The X display's sockets are made here and handed over, as kwin_wayland_wrapper does.
        n, listeners = self.claim_display()
        xauth = os.path.join(s.runtime, "xauth")
        open(xauth, "a").close()
        self.socket = f"lumenshow-kwin-{os.getpid()}"
        env = dict(s.env, KWIN_WAYLAND_NO_PERMISSION_CHECKS="1", KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1")
        s.start([kwin, "--virtual", "--width", str(self.width), "--height", str(self.height), "--socket", self.socket,
                 "--xwayland", "--xwayland-fd", str(listeners[0].fileno()), "--xwayland-fd",
                 str(listeners[1].fileno()), "--xwayland-display", f":{n}", "--xwayland-xauthority", xauth],
                env=env, log="kwin", pass_fds=[u.fileno() for u in listeners])
        for u in listeners:
            u.close()
        s.env.update(WAYLAND_DISPLAY=self.socket, DISPLAY=f":{n}", XAUTHORITY=xauth)
        wait_until("KWin", lambda: os.path.exists(os.path.join(s.runtime, self.socket)))
        # No Plasma shell: a wallpaper of our own.
        start_wallpaper(s, self.width, self.height)
        wait_until("the wallpaper", self.wallpaper_shown, within=30, step=0.5)
        self.client = {"QT_QPA_PLATFORM": "wayland" if not xwayland else "xcb"}

    def wallpaper_shown(self):
        import dbus
        try:  # KWin answers on the bus a moment after its socket is there
            return near(colour_at(self.shot(), self.width // 2, self.height // 2), WALL)
        except dbus.exceptions.DBusException:
            return False

    def claim_display(self):
        """A free X display number with its lock and sockets, the next one when another run
        took the first between the look and the claim."""
        import socket
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        for _ in range(20):
            n = free_display()
            lock, path = f"/tmp/.X{n}-lock", f"/tmp/.X11-unix/X{n}"
            try:
                with open(lock, "x") as f:
                    f.write(f"{os.getpid():10d}\n")
            except FileExistsError:
                continue
            self.s.cleanups.append(lambda: [os.path.exists(p) and os.remove(p) for p in (lock, path)])
            try:
                listeners = []
                for address in (path, "\0" + path):
                    u = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                    listeners.append(u)
                    u.bind(address)
                    u.listen(1)
                return n, listeners
            except OSError:
                for u in listeners:
                    u.close()
        fail("no X display number could be claimed")

    def keys(self, *names):
        self.s.run([os.path.join(TOOLS, "kwin_keys"), *names])

    def shot(self):
        import dbus
        bus = dbus.bus.BusConnection(self.s.env["DBUS_SESSION_BUS_ADDRESS"])
        screenshot = dbus.Interface(bus.get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                                    "org.kde.KWin.ScreenShot2")
        r, w = os.pipe()
        meta = screenshot.CaptureArea(0, 0, self.width, self.height, {"native-resolution": True},
                                      dbus.types.UnixFd(w))
        os.close(w)
        data = b""
        while chunk := os.read(r, 1 << 20):
            data += chunk
        os.close(r)
        bus.close()
        width, height, stride = int(meta["width"]), int(meta["height"]), int(meta["stride"])
        rows = np.frombuffer(data, np.uint8)[:height * stride].reshape(height, stride)[:, :width * 4]
        return rows.reshape(height, width, 4)[:, :, 2::-1].astype(int)  # BGRA bytes


class Sway:
    """sway (wlroots), headless; keys from a virtual keyboard
    (wtype), pictures from grim. `outputs`: (name, mode, x, scale) each; the pointer's and
    the keyboard's focus is on `focus`."""

    def __init__(self, s, outputs, focus=None):
        self.s, self.composited = s, True
        runtime = s.folder("sway-runtime", 0o700)
        as_root = os.geteuid() == 0  # sway refuses to run as root: then it runs as nobody
        if as_root:
            os.chown(runtime, 65534, 65534)
        config = os.path.join(s.root, "sway.conf")
        with open(config, "w") as f:
            f.write("xwayland disable\ndefault_border none\n")
            for name, mode, x, scale in outputs:
                f.write(f"output {name} resolution {mode} position {x} 0 scale {scale} bg #%02x%02x%02x solid_color\n"
                        % WALL)
            f.write("bar {\n  position top\n  status_command true\n  colors {\n    background #e0a000\n  }\n}\n")
        os.chmod(config, 0o644)
        env = dict(s.env, XDG_RUNTIME_DIR=runtime, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_LIBINPUT_NO_DEVICES="1", WLR_HEADLESS_OUTPUTS=str(len(outputs)))
        become = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"] if as_root else []
        s.start(become + ["sway", "-c", config], env=env, log="sway")
        sockets = wait_until("sway", lambda: [n for n in os.listdir(runtime) if n.startswith("wayland-") and
                                              not n.endswith(".lock")] and
                             [n for n in os.listdir(runtime) if n.startswith("sway-ipc")])
        wayland = [n for n in os.listdir(runtime) if n.startswith("wayland-") and not n.endswith(".lock")][0]
        s.env.update(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=wayland, SWAYSOCK=os.path.join(runtime, sockets[0]))
        # A keyboard that stays, as a real one does (each wtype's own lives only while it runs).
        s.start(["wtype", "-s", "3600000"], log="keyboard")
        time.sleep(0.5)
        if focus:
            s.run(["swaymsg", "focus", "output", focus], stdout=subprocess.DEVNULL)
        # Device pixels, as grim takes them at the largest scale.
        self.scale = max(scale for *_, scale in outputs)
        self.outputs = []
        for name, mode, x, scale in outputs:
            w, h = map(int, mode.split("x"))
            self.outputs.append((x * self.scale, 0, w * self.scale // scale, h * self.scale // scale))
        self.client = {"QT_QPA_PLATFORM": "wayland"}

    def keys(self, *names):
        for name in names:
            self.s.run(["wtype", "-k", name])

    def shot(self):
        path = os.path.join(self.s.root, "shot.png")
        self.s.run(["grim", path])
        return load_png(path)


class Gnome:
    """GNOME Shell (mutter), headless on a virtual monitor, with or without Xwayland; keys
    through mutter's remote-desktop D-Bus interface, pictures from gnome-screenshot."""

    def __init__(self, s, xwayland):
        self.s, self.scale, self.composited = s, 1, True
        self.width, self.height = 1280, 720
        self.outputs = [(0, 0, self.width, self.height)]
        s.session_bus()
        # A plain desktop of our colour, no banners over it (the shell announces that it
        # cannot lock the screen) and no animations to wait out, set in the private session
        # before the shell reads them.
        for schema, key, value in (("background", "picture-options", "none"),
                                   ("background", "primary-color", "#%02x%02x%02x" % WALL),
                                   ("notifications", "show-banners", "false"),
                                   ("interface", "enable-animations", "false")):
            s.run(["gsettings", "set", "org.gnome.desktop." + schema, key, value])
        self.socket = f"lumenshow-gnome-{os.getpid()}"
        argv = ["gnome-shell", "--headless", "--wayland", "--virtual-monitor", f"{self.width}x{self.height}",
                "--wayland-display", self.socket]
        env = dict(s.env)
        if xwayland:
            n = free_display()
            env.update(LD_PRELOAD=os.path.join(TOOLS, "mutter_display.so"), LUMENSHOW_XWAYLAND_DISPLAY=str(n))
            s.env["DISPLAY"] = f":{n}"
        else:
            argv.append("--no-x11")
        shell = s.start(argv, env=env, log="gnome-shell")
        s.cleanups.append(lambda: remove_x_locks_of(shell.pid))
        s.env["WAYLAND_DISPLAY"] = self.socket
        import dbus
        self.bus = dbus.bus.BusConnection(s.env["DBUS_SESSION_BUS_ADDRESS"])
        wait_until("GNOME Shell", lambda: self.bus.name_has_owner("org.gnome.Shell"), within=60, step=0.5)
        # It opens the overview once its start-up is over: out of it, and staying out.
        wait_until("the desktop", lambda: self.leave_overview() and time.sleep(1.5) is None and self.leave_overview(),
                   within=40, step=0.5)
        if xwayland:  # mutter starts Xwayland when the first X client comes; its cookie is its own
            wait_until("Xwayland's cookie", lambda: [n for n in os.listdir(s.runtime) if n.startswith(".mutter-Xwayland")])
            cookie = [n for n in os.listdir(s.runtime) if n.startswith(".mutter-Xwaylandauth")][0]
            s.env["XAUTHORITY"] = os.path.join(s.runtime, cookie)
        # The top bar is the shell's own: the free area below it is what a maximised window gets.
        self.free = wait_until("the desktop below the top bar", lambda: free_area(self.shot(), self.width, self.height))
        remote = dbus.Interface(self.bus.get_object("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop"),
                                "org.gnome.Mutter.RemoteDesktop")
        self.keyboard = dbus.Interface(self.bus.get_object("org.gnome.Mutter.RemoteDesktop", remote.CreateSession()),
                                       "org.gnome.Mutter.RemoteDesktop.Session")
        self.keyboard.Start()
        self.client = {"QT_QPA_PLATFORM": "xcb" if xwayland else "wayland"}

    def leave_overview(self):
        """GNOME starts headless in the Activities overview, which hides the desktop."""
        import dbus
        shell = dbus.Interface(self.bus.get_object("org.gnome.Shell", "/org/gnome/Shell"),
                               "org.freedesktop.DBus.Properties")
        try:
            shell.Set("org.gnome.Shell", "OverviewActive", False)
            return not shell.Get("org.gnome.Shell", "OverviewActive")
        except dbus.exceptions.DBusException:
            return False

    def keys(self, *names):
        import dbus
        symbols = {"Right": 0xFF53, "Left": 0xFF51, "Escape": 0xFF1B}
        for name in names:
            for pressed in (True, False):
                self.keyboard.NotifyKeyboardKeysym(dbus.UInt32(symbols[name]), pressed)
                time.sleep(0.03)

    def shot(self):
        path = os.path.join(self.s.root, "shot.png")
        self.s.run(["gnome-screenshot", "-f", path], stderr=subprocess.DEVNULL)
        return load_png(path)


class Weston:
    """Weston with its desktop shell, in a window of a private X server (its headless
    backend has no input): keys typed into that window become Weston's keyboard input."""

    def __init__(self, s):
        self.s, self.scale, self.composited = s, 1, True
        self.width, self.height = 1280, 720
        self.outputs = [(0, 0, self.width, self.height)]
        self.x = X11(s, size=f"{self.width}x{self.height}", wm=False, panel=False)
        config = os.path.join(s.root, "weston.ini")
        with open(config, "w") as f:
            f.write("[core]\nidle-time=0\n[shell]\npanel-position=top\nlocking=false\n"
                    "background-color=0xff%02x%02x%02x\n" % WALL)
        self.socket = f"lumenshow-weston-{os.getpid()}"
        s.start(["weston", "--backend=x11-backend.so", f"--width={self.width}", f"--height={self.height}",
                 f"--socket={self.socket}", f"--config={config}"], log="weston")
        self.window = wait_until("Weston", lambda: self.x.window("Weston Compositor", by="--class"))
        self.x.run(["xdotool", "windowfocus", self.window], check=True)
        # Weston draws its pointer where the X server's is (the middle, at first): aside.
        self.x.pointer(self.width - 1, self.height // 2)
        s.env.pop("DISPLAY")  # the show is Weston's client, not the X server's
        s.env["WAYLAND_DISPLAY"] = self.socket
        self.free = wait_until("Weston's desktop", lambda: free_area(self.shot(), self.width, self.height), within=30,
                               step=0.5)
        self.client = {"QT_QPA_PLATFORM": "wayland"}

    def keys(self, *names):
        self.x.keys(*names)

    def shot(self):
        return self.x.shot(self.window)


# ---- the show and what the user sees ----

class Show:
    def __init__(self, s, desk, output, background=None, ini_extra=""):
        self.s, self.desk, self.output = s, desk, output
        body = "[Section]\r\n右左区分=1\r\n余白の色=%d\r\n" % colorref(MARGIN)
        body += "背景区分=1\r\n背景色=%d\r\n" % colorref(background) if background else "背景区分=0\r\n"
        with open(s.home + "/LumenShow.ini", "wb") as f:
            f.write((body + ini_extra).encode("cp932"))
        env = dict(s.env, LUMENSHOW_HOME=s.home, SDL_AUDIODRIVER="dummy", LUMENSHOW_TRACE="1",
                   ASAN_OPTIONS="detect_leaks=0", **desk.client)
        self.process = s.start([LUMENSHOW, "slideshow", s.pictures], env=env, log="lumenshow")

    def page(self, shot):
        """The page's box (margins and picture) in the picture, or None: the runs of page
        colours through the middle of the output, where the page must stand."""
        mask = (np.abs(shot - MARGIN).max(axis=2) <= 8) | (np.abs(shot - FIRST).max(axis=2) <= 8) | \
               (np.abs(shot - SECOND).max(axis=2) <= 8)
        ox, oy, ow, oh = self.output
        cx, cy = ox + ow // 2, oy + oh // 2
        if not mask[cy, cx]:
            return None

        def run(line, at):
            start, end = at, at
            while start > 0 and line[start - 1]:
                start -= 1
            while end + 1 < len(line) and line[end + 1]:
                end += 1
            return start, end + 1 - start
        x, w = run(mask[cy, :], cx)
        y, h = run(mask[:, cx], cy)
        return x, y, w, h

    def wait_page(self):
        return wait_until("the page", lambda: self.page(self.desk.shot()) if self.process.poll() is None
                          else fail(f"the show ended with status {self.process.returncode}"), within=30, step=0.3)

    def end(self):
        started = time.monotonic()
        self.desk.keys("Escape")
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            fail("Esc did not end the show")
        return time.monotonic() - started


def colour_at(shot, x, y):
    return tuple(int(v) for v in shot[y, x])


def near(a, b, tolerance=8):
    return max(abs(p - q) for p, q in zip(a, b)) <= tolerance


def expected_page(output, scale):
    """Where the page must stand on this output: the show's window (1.5 x the height, at
    most the width) centred, the page centred in it, all in device pixels."""
    x, y, w, h = output
    pw, ph = round_half_even(900 * scale), round_half_even(2 / 3 * round_half_even(900 * scale))
    iw = min(round_half_even(1.5 * h), w)
    return x + (w - iw) // 2 + round_half_even((iw - pw) / 2), y + round_half_even((h - ph) / 2), pw, ph


def check_show(s, desk, output, surround, background=None, focus=False):
    """One show on the desk: the page where it belongs, `surround` beside it and over the
    panel, Right turns, (focus) a click takes the keys back, Esc ends it promptly."""
    show = Show(s, desk, output, background)
    box = show.wait_page()
    want = expected_page(output, desk.scale)
    time.sleep(1.5)  # the window manager's last move, the compositor's last frame and its focus
    shot = desk.shot()
    box = show.page(shot)
    if box != want:
        fail(f"the page stands at {box}, not at {want}")
    x, y, w, h = box
    centre = (x + w // 2, y + h // 2)
    if not near(colour_at(shot, *centre), FIRST):
        fail(f"the first picture is not in the middle of the page: {colour_at(shot, *centre)}")
    ox, oy, ow, oh = output
    points = {"left of the page": (x - 10, centre[1])}
    if surround != WALL:  # the show covers the output, panels included (else they show through)
        # (Top right: Weston draws its pointer at the top left.)
        points.update({"the output's top corner": (ox + ow - 3, oy + 3),
                       "the output's bottom edge": (ox + ow // 2, oy + oh - 3)})
    for where, (px, py) in points.items():
        if px < ox:
            continue
        if not near(colour_at(shot, px, py), surround):
            fail(f"{where} ({px}, {py}) is {colour_at(shot, px, py)}, not {surround}")
    if focus:
        desk.steal_focus()
        desk.click(x + 30, y + h - 30)  # on the page, away from the intruder
        time.sleep(0.5)
    desk.keys("Right")
    time.sleep(0.3)
    wait_until("the turn to the second picture", lambda: near(colour_at(desk.shot(), *centre), SECOND),
               within=10, step=0.3)
    seconds = show.end()
    if seconds > 1.5:
        fail(f"the program took {seconds:.1f} s to end after Esc")
    print(f"  page at {box}, surround {surround}, turned, ended {seconds:.2f} s after Esc")


def check_own_title_bar(s, desk):
    """Where the desktop draws no title bars (GNOME, Weston), the main window draws its own
    (minimise and close; Qt's would offer to maximise a window of fixed size)."""
    main = s.start([LUMENSHOW], env=dict(s.env, LUMENSHOW_HOME=s.home, SDL_AUDIODRIVER="dummy",
                                         ASAN_OPTIONS="detect_leaks=0", **desk.client), log="main-window")
    caption = (0x00, 0x54, 0xE3)
    wait_until("the main window's own title bar",
               lambda: (np.abs(desk.shot() - caption).max(axis=2) <= 8).sum(axis=1).max() >= 560, within=30, step=0.5)
    main.terminate()
    main.wait(10)
    print("  the main window draws its own title bar")


def x11_case(**desk_options):
    def run(s):
        desk = X11(s, **desk_options)
        out = desk.outputs[0]
        see_through = WALL if desk.composited else BLACK
        check_show(s, desk, out, see_through)
        check_show(s, desk, out, BACK, background=BACK, focus=True)
    return run


def x11_two_monitors(s):
    # The primary monitor is the right one; the pointer on the left one.
    desk = X11(s, size="3200x1080", monitors=[("*M2", "1280/338x1024/270+1920+0"), ("M1", "1920/508x1080/286+0+0")])
    desk.pointer(400, 400)
    check_show(s, desk, desk.outputs[1], BACK, background=BACK)  # `slideshow` opens where the pointer is
    # The main window opens centred on the primary monitor (and its shows with it).
    main = s.start([LUMENSHOW], env=dict(s.env, LUMENSHOW_HOME=s.home, SDL_AUDIODRIVER="dummy",
                                         ASAN_OPTIONS="detect_leaks=0", **desk.client), log="main-window")
    window = wait_until("the main window", lambda: desk.window("^LumenShow$"))
    time.sleep(0.5)
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=s.env, capture_output=True,
                              text=True).stdout
    g = dict(line.split("=") for line in geometry.split())
    x, w = int(g["X"]), int(g["WIDTH"])
    px, _, pw, _ = desk.outputs[0]
    if abs(x + w // 2 - (px + pw // 2)) > 8:
        fail(f"the main window stands at x {x} (width {w}), not centred on the primary monitor at {px}..{px + pw}")
    main.terminate()
    print(f"  main window at x {x}, width {w}")


def kwin_case(xwayland):
    def run(s):
        desk = KWin(s, xwayland)
        check_show(s, desk, desk.outputs[0], WALL)
        check_show(s, desk, desk.outputs[0], BACK, background=BACK)
    return run


def sway_case(outputs, on=0, focus=None):
    def run(s):
        desk = Sway(s, outputs, focus)
        check_show(s, desk, desk.outputs[on], WALL)
        check_show(s, desk, desk.outputs[on], BACK, background=BACK)
    return run


def gnome_case(xwayland):
    def run(s):
        desk = Gnome(s, xwayland)
        # No overlay layer here: a see-through show fills the free area beside the top bar
        # natively (the top bar stays), and the whole screen through Xwayland.
        see_through = desk.outputs[0] if xwayland else desk.free
        check_show(s, desk, see_through, WALL)
        check_show(s, desk, desk.outputs[0], BACK, background=BACK)
        if not xwayland:
            check_own_title_bar(s, desk)
    return run


def weston_case(s):
    desk = Weston(s)
    check_show(s, desk, desk.free, WALL)  # as on GNOME: the free area below the panel
    check_show(s, desk, desk.outputs[0], BACK, background=BACK)
    check_own_title_bar(s, desk)


STACKS = {
    "x11-openbox-tint2": x11_case(compositor=False),
    "x11-openbox-tint2-picom": x11_case(compositor=True),
    "x11-bare": x11_case(wm=False, panel=False),
    "x11-two-monitors": x11_two_monitors,
    "x11-scale-1.5": x11_case(size="3840x2160", compositor=True, scale=1.5),
    "sway": sway_case([("HEADLESS-1", "1280x720", 0, 1)]),
    # The show opens on the output with the focus, not on the first one.
    "sway-two-outputs": sway_case([("HEADLESS-1", "1280x720", 0, 1), ("HEADLESS-2", "1280x1024", 1280, 1)], on=1,
                                  focus="HEADLESS-2"),
    "sway-scale-2": sway_case([("HEADLESS-1", "2560x1440", 0, 2)]),
    "gnome-wayland": gnome_case(xwayland=False),
    "gnome-xwayland": gnome_case(xwayland=True),
    "weston": weston_case,
    "kwin-wayland": kwin_case(xwayland=False),
    "kwin-xwayland": kwin_case(xwayland=True),
}

if __name__ == "__main__":
    session = Session()
    try:
        STACKS[STACK](session)
        print(f"{STACK}: passed")
    except Exception as error:
        print(f"{STACK}: FAILED: {error}")
        keep = os.environ.get("LUMEN_DESKTOP_SHOTS")  # a folder to keep the last picture in
        if keep and os.path.exists(os.path.join(session.root, "shot.png")):
            shutil.copy(os.path.join(session.root, "shot.png"), os.path.join(keep, STACK + ".png"))
        for name in sorted(os.listdir(session.root)):
            if name.endswith(".log"):
                print(f"--- {name}\n" + open(os.path.join(session.root, name), errors="replace").read()[-3000:])
        sys.exit(1)
    finally:
        session.close()
