#!/usr/bin/python3
"""The main window and the show as a blind user hears them: the Orca screen reader on a
private X server (with openbox) and session bus, LumenShow driven by keys alone, and what
Orca speaks read from its debug log, where every utterance is written before it goes to
the speech server (none is started: no sound device is needed).

Usage: dbus-run-session -- orca_test.py LUMENSHOW_BINARY
Prints what it hears at each step; exits 1 at the first thing a blind user would not hear.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*?)' ?\{'established'")


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def write_bmp(path, width, height, rgb):
    row = bytes((rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16)) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


class Orca:
    """What Orca has spoken so far, read from its log as it grows."""

    def __init__(self, log):
        self.log = log

    def spoken(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return UTTERANCE.findall(f.read())
        except FileNotFoundError:
            return []

    def until(self, what, since, seconds=20):
        """Waits until an utterance since `since` contains `what`; returns those utterances."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            heard = self.spoken()[since:]
            if any(what in u for u in heard):
                return heard
            time.sleep(0.1)
        fail("Orca never said %r; it said %s" % (what, self.spoken()[since:]))

    def settled(self, since, wanted=(), quiet=0.6, seconds=10):
        """The utterances since `since`, once each of `wanted` is among them (on a busy
        machine Orca may pause between two) and nothing new has been said for `quiet` seconds."""
        end = time.monotonic() + seconds
        heard, changed = self.spoken()[since:], time.monotonic()
        while time.monotonic() < end:
            time.sleep(0.1)
            now = self.spoken()[since:]
            if now != heard:
                heard, changed = now, time.monotonic()
            elif (time.monotonic() - changed >= quiet and heard
                  and all(any(w in u for u in heard) for w in wanted)):
                break
        return heard


def main():
    binary = sys.argv[1]
    work = tempfile.mkdtemp(prefix="lumen-orca-")
    home, pictures, runtime = (os.path.join(work, d) for d in ("home", "pictures", "run"))
    for folder in (home, pictures, runtime):
        os.makedirs(folder, mode=0o700)
    for name, colour in (("a.bmp", 0xFF0000), ("b.bmp", 0x00FF00), ("c.bmp", 0x0000FF)):
        write_bmp(os.path.join(pictures, name), 320, 240, colour)
    # Orca keeps its settings under HOME: a private one, so the user's are neither read nor
    # written (the session bus was started with the caller's environment; Orca's is its own).
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"), XDG_CACHE_HOME=os.path.join(work, "cache"))
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)

    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x720x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    env["DISPLAY"] = ":" + os.read(read_fd, 16).decode().strip()
    others = []
    program = None
    try:
        others.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        log = os.path.join(work, "orca.log")
        # SPEECHD_CMD: no speech server is started; Orca logs each utterance all the same.
        others.append(subprocess.Popen(["/usr/bin/python3", os.path.join(HERE, "run_orca.py"), "--debug-file=" + log],
                                       env=dict(env, SPEECHD_CMD="/bin/false"), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL))
        orca = Orca(log)
        orca.until("Screen reader on", 0, seconds=30)

        # Qt's bridge warns a great deal on stderr; kept apart, as the program's own record.
        program = subprocess.Popen([binary], env=dict(env, LUMENSHOW_HOME=home, SDL_AUDIODRIVER="dummy",
                                                      ASAN_OPTIONS="detect_leaks=0"),
                                   stderr=open(os.path.join(work, "lumenshow.log"), "w"))
        orca.until("ﾌｫﾙﾀﾞの選択 push button", 0, seconds=30)
        print("ok  the window opens at ﾌｫﾙﾀﾞの選択")

        def key(*keys):
            since = len(orca.spoken())
            subprocess.run(["xdotool", "key", "--delay", "100", *keys], env=env, check=True)
            return since

        def hears(keys, *expected, once=()):
            """Each key in turn; then every expected utterance said, each of `once` exactly once."""
            since = key(*keys.split())
            heard = orca.settled(since, expected + tuple(once))
            for text in expected:
                if not any(text in u for u in heard):
                    fail("after %s: no %r in %s" % (keys, text, heard))
            for text in once:
                if heard.count(text) != 1:
                    fail("after %s: %r said %d times: %s" % (keys, text, heard.count(text), heard))
            print("ok  %-10s %s" % (keys, " | ".join(heard)))
            return heard

        # The folder, typed into the dialog as a user would.
        since = key("space")
        orca.until("dialog", since)
        subprocess.run(["xdotool", "type", "--delay", "20", pictures + "/"], env=env, check=True)
        for _ in range(3):
            key("Return")
            time.sleep(1)
            if subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "フォルダを選択"], env=env,
                              capture_output=True).returncode != 0:
                break
        orca.until("pictures、3枚。ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ を押せます", since)
        print("ok  the folder, its count and the start button announced")

        # The Tab walk: each control's name once, with its group.
        hears("Tab", "詳細", "radio button")
        hears("Tab", "詳細 tree")
        hears("Tab", "画像表示順", "selected radio button", once=("ｼｰｹﾝｼｬﾙ.",))
        hears("Down", "selected radio button", once=("ｼｬﾌﾙ.",))
        hears("Up", once=("ｼｰｹﾝｼｬﾙ.",))
        hears("Tab", "めくる速さ scroll bar 100")
        hears("Tab", "余白の色 push button")
        hears("Tab", "自動時のｲﾝﾀｰﾊﾞﾙ scroll bar 1")
        hears("Tab", "ＢＧＭ", once=("なし.",))
        hears("Up", once=("音楽CD.",))
        hears("Tab", "曲目をﾘﾋﾟｰﾄ")
        hears("Down", "1")
        hears("shift+Tab Tab", "曲目をﾘﾋﾟｰﾄ editable combo box")  # a track chosen, the box keeps its name
        hears("Tab", "背景", once=("透明.",))
        hears("Down", once=("色指定.",))
        hears("Up", once=("透明.",))
        hears("Tab", "画像転換処理方法", once=("手動.",))
        link = hears("Tab", "LumenShow の使い方 link")
        if any("/" in u for u in link):
            fail("the link reads out a path: %s" % link)
        hears("Tab", "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ push button")

        # The show: each picture's name as it comes to stand (a right-turn show starts at its
        # last picture).
        since = key("space")
        orca.until("c.bmp image", since)
        hears("Right", "a.bmp image")
        hears("Right", "b.bmp image")
        since = key("Escape")
        orca.until("ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ push button", since)
        print("ok  the show speaks c.bmp, a.bmp, b.bmp, and hands back to the start button")

        hears("Tab", "終了 push button")
        key("space")
        if program.wait(20) != 0:
            fail("LumenShow ended with status %d" % program.returncode)
        arrows = [u for u in orca.spoken() if "⇒" in u]
        if arrows:
            fail("an arrow was read out: %s" % arrows)
        with open(os.path.join(home, "LumenShow.ini"), "rb") as f:
            saved = f.read().decode("cp932")
        for line in ("BGM区分= 1", "BGMﾘﾋﾟｰﾄ= 1"):
            if line not in saved:
                fail("the settings lack %r:\n%s" % (line, saved))
        print("ok  ended by 終了; the settings keep what was set by keys")
    finally:
        if program is not None and program.poll() is None:
            program.kill()
        for other in reversed(others):
            other.terminate()
            try:
                other.wait(5)
            except subprocess.TimeoutExpired:
                other.kill()
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
