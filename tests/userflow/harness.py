"""User-flow harness: the real LumoraDVD under Xvfb, driven by real X input.

A flow starts the program in a private X server with a private program folder, finds its
windows by their X window role (each top-level window carries its instance name) and its
controls through the active skin's Skin.ini and bitmaps, sends real pointer and key events
with xdotool, and judges only what a person could see or keep: screen pixels, window
geometry, files in the program folder, recorded sound.

Needs python3, Xvfb, xdotool and ImageMagick's `import`. A flow calls `require_tools()`
first, which exits with code 77 (CTest's skip code) when any of them is missing.
"""

import configparser
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import wave

SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.environ.get("LUMORA_SOURCE_DIR", os.path.dirname(os.path.dirname(HERE)))
BIN_DIR = os.environ.get("LUMORA_BIN_DIR", os.path.join(SOURCE_DIR, "build", "bin"))
FIXTURE_DIR = os.environ.get("LUMORA_FIXTURE_DIR",
                             os.path.join(os.path.dirname(BIN_DIR), "fixtures"))
KEY = (255, 0, 255)  # the skins' see-through colour


def require_tools(*extra):
    missing = [t for t in ("Xvfb", "xdotool", "xprop", "import") + extra if shutil.which(t) is None]
    if missing:
        print("userflow: skipped, missing " + " ".join(missing))
        sys.exit(SKIP)


def run_flows():
    """unittest.main() for a flow file, with the skip code when tools are missing."""
    require_tools()
    unittest.main(verbosity=2)


def wait_until(fn, timeout=10.0, what="condition", interval=0.05):
    """Polls fn until it returns something truthy, which it returns; fails after timeout."""
    end = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = fn()
        except Exception as e:  # a window that is not there yet, a file half-written
            last = None
            err = e
        else:
            err = None
        if last:
            return last
        if time.monotonic() > end:
            raise AssertionError("timed out after %.1fs waiting for %s%s" %
                                 (timeout, what, (" (%s)" % err) if err else ""))
        time.sleep(interval)


# ---------------------------------------------------------------- pictures

class Image:
    """An RGB picture: a screen grab or a skin bitmap."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def row(self, y, x0=0, x1=None):
        x1 = self.width if x1 is None else x1
        return self.rgb[(y * self.width + x0) * 3:(y * self.width + x1) * 3]

    def crop(self, rect):
        x, y, w, h = clip_rect(rect, self.width, self.height)
        return Image(w, h, b"".join(self.row(yy, x, x + w) for yy in range(y, y + h)))

    def mean(self, rect=None):
        """Mean (r, g, b) over rect (x, y, w, h) or the whole picture."""
        img = self.crop(rect) if rect else self
        n = img.width * img.height
        if n == 0:
            return (0.0, 0.0, 0.0)
        data = img.rgb
        return tuple(sum(data[c::3]) / n for c in range(3))

    def count(self, colour, rect=None, tolerance=0):
        img = self.crop(rect) if rect else self
        d = img.rgb
        n = 0
        for i in range(0, len(d), 3):
            if (abs(d[i] - colour[0]) <= tolerance and abs(d[i + 1] - colour[1]) <= tolerance
                    and abs(d[i + 2] - colour[2]) <= tolerance):
                n += 1
        return n

    def difference(self, other, rect=None):
        """Mean absolute difference per channel between two pictures of the same size."""
        a = self.crop(rect) if rect else self
        b = other.crop(rect) if rect else other
        if (a.width, a.height) != (b.width, b.height) or not a.rgb:
            raise ValueError("pictures differ in size")
        return sum(abs(p - q) for p, q in zip(a.rgb, b.rgb)) / len(a.rgb)

    def find(self, needle, near=None, limit=None):
        """Top-left corners where needle's non-key pixels match exactly, nearest `near` first.

        The needle's longest opaque run in its first usable row is searched with bytes.find
        (fast), then every other opaque pixel is checked."""
        runs = []
        for ny in range(needle.height):
            x = 0
            while x < needle.width:
                while x < needle.width and needle.pixel(x, ny) == KEY:
                    x += 1
                start = x
                while x < needle.width and needle.pixel(x, ny) != KEY:
                    x += 1
                if x - start > 0:
                    # A probe of many colours finds few false candidates.
                    colours = len({needle.pixel(i, ny) for i in range(start, x)})
                    runs.append((min(colours, 16), x - start, ny, start))
        if not runs:
            return []
        runs.sort(reverse=True)
        _, length, ry, rx = runs[0]
        probe = needle.row(ry, rx, rx + length)
        checks = [(x, y, needle.pixel(x, y)) for y in range(needle.height)
                  for x in range(needle.width) if needle.pixel(x, y) != KEY]
        found = []
        for sy in range(self.height):
            line = self.row(sy)
            pos = line.find(probe)
            while pos >= 0:
                if pos % 3 == 0:
                    ox, oy = pos // 3 - rx, sy - ry
                    if (0 <= ox and 0 <= oy and ox + needle.width <= self.width
                            and oy + needle.height <= self.height
                            and all(self.pixel(ox + x, oy + y) == c for x, y, c in checks)):
                        found.append((ox, oy))
                pos = line.find(probe, pos + 1)
        if near is not None:
            found.sort(key=lambda p: (p[0] - near[0]) ** 2 + (p[1] - near[1]) ** 2)
        return found[:limit] if limit else found

    def save(self, path):
        """Writes a PNG (through ImageMagick) or, for a .ppm path, a PPM."""
        ppm = b"P6\n%d %d\n255\n" % (self.width, self.height) + bytes(self.rgb)
        if path.endswith(".ppm"):
            with open(path, "wb") as f:
                f.write(ppm)
            return
        subprocess.run(["convert", "ppm:-", path], input=ppm, check=True)


def clip_rect(rect, width, height):
    x, y, w, h = rect
    x0, y0 = max(0, x), max(0, y)
    x1, y1 = min(width, x + w), min(height, y + h)
    return x0, y0, max(0, x1 - x0), max(0, y1 - y0)


def parse_ppm(data):
    # P6 header: magic, width, height, maxval, each separated by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError("not an 8-bit PPM")
    w, h = int(fields[1]), int(fields[2])
    pos += 1
    return Image(w, h, data[pos:pos + w * h * 3])


def load_bitmap(path):
    """Any picture ImageMagick reads (the skins' BMP files), as an Image."""
    out = subprocess.run(["convert", path + "[0]", "-depth", "8", "ppm:-"],
                         capture_output=True, check=True).stdout
    return parse_ppm(out)


# ---------------------------------------------------------------- skins

class Skin:
    """A skin folder's Skin.ini, read the way the player reads it: sections and keys match
    without regard to case, records are comma-ended fields, '\\' in file names is '/'."""

    def __init__(self, folder):
        self.folder = folder.rstrip("/") + "/"
        self.ini = configparser.RawConfigParser(strict=False, interpolation=None)
        self.ini.optionxform = str.lower
        with open(self.folder + "Skin.ini", encoding="utf-8", errors="replace") as f:
            self.ini.read_string(f.read())
        self._bitmaps = {}

    def value(self, section, key, default=None):
        for s in self.ini.sections():
            if s.lower() == section.lower() and self.ini.has_option(s, key.lower()):
                return self.ini.get(s, key.lower()).strip().strip('"')
        return default

    def record(self, section, key):
        """The control record's fields (field 1 is index 0); [] for a value word or absence."""
        v = self.value(section, key)
        if v is None or v in ("Wrong", "Ignore", "Invisible", "Clear"):
            return []
        return [f.strip() for f in v.split(",")[:-1]]

    def number(self, section, key, field, default=0):
        rec = self.record(section, key)
        if len(rec) < field:
            return default
        digits = rec[field - 1].strip()
        sign = -1 if digits.startswith("-") else 1
        digits = digits.lstrip("+-")
        n = ""
        for ch in digits:
            if not ch.isdigit():
                break
            n += ch
        return sign * int(n) if n else default

    def bitmap(self, name):
        path = self.folder + name.replace("\\", "/")
        if path not in self._bitmaps:
            if not os.path.exists(path):
                folder, base = os.path.split(path)
                for entry in os.listdir(folder):
                    if entry.lower() == base.lower():
                        path = os.path.join(folder, entry)
                        break
            self._bitmaps[path] = load_bitmap(path)
        return self._bitmaps[path]


# ---------------------------------------------------------------- fixtures

def sample_dvd(name="sample-dvd"):
    """A sample disc from the build's fixtures (sample-dvd, nofp-dvd, deadfp-dvd, sample.iso),
    made on demand by scripts/make-sample-dvd.sh."""
    path = os.path.join(FIXTURE_DIR, name)
    if not os.path.exists(path):
        subprocess.run([os.path.join(SOURCE_DIR, "scripts", "make-sample-dvd.sh"), FIXTURE_DIR],
                       check=True)
    return path


def media_file(folder, name="clip.mp4", seconds=6, size="640x480", rate=25, tone=440):
    """A short test clip (moving test pattern, burnt-in frame number, a sine tone) in folder."""
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        subprocess.run(
            ["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
             "-f", "lavfi", "-i", "testsrc2=size=%s:rate=%d:duration=%d" % (size, rate, seconds),
             "-f", "lavfi", "-i", "sine=frequency=%d:duration=%d" % (tone, seconds),
             "-shortest", "-pix_fmt", "yuv420p", path], check=True)
    return path


def wav_rms(path, start=0.0, end=None):
    """Root-mean-square level (0..1) of a 16-bit WAV file between two times in seconds."""
    with wave.open(path, "rb") as w:
        rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
        if width != 2:
            raise ValueError("16-bit WAV expected")
        w.setpos(min(w.getnframes(), int(start * rate)))
        frames = w.getnframes() - w.tell() if end is None else int((end - start) * rate)
        data = w.readframes(max(0, frames))
    count = len(data) // 2
    if count == 0:
        return 0.0
    samples = struct.unpack("<%dh" % count, data[:count * 2])
    return (sum(s * s for s in samples) / count) ** 0.5 / 32768.0


# ---------------------------------------------------------------- the player

class Window:
    def __init__(self, player, wid, role):
        self.player, self.id, self.role = player, wid, role
        self.refresh()

    def refresh(self):
        out = self.player.xdotool("getwindowgeometry", "--shell", self.id)
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        self.x, self.y = int(g["X"]), int(g["Y"])
        self.w, self.h = int(g["WIDTH"]), int(g["HEIGHT"])
        return self

    @property
    def rect(self):
        return (self.x, self.y, self.w, self.h)

    def visible(self):
        return self.id in self.player.windows(self.role, visible=True)

    def grab(self):
        self.refresh()
        return self.player.grab().crop(self.rect)


class Player:
    """The real program in its own X server and program folder.

    args: the command line; env: extra environment (LUMORA_AUDIO defaults to null, LUMORA_TV to
    none); skin: the shipped skin to start with (written to Option.ini unless options says
    otherwise); options: extra GenOption keys; home: reuse a program folder (for restart
    round trips); wm: the name of a window manager to run (skips when it is not installed)."""

    def __init__(self, args=(), env=None, skin="Default", options=None, home=None,
                 screen=(1600, 1200), wm=None, start=True):
        self.args, self.extra_env, self.skin_name = list(args), dict(env or {}), skin
        self.options, self.screen, self.wm_name = dict(options or {}), screen, wm
        self._own_home = home is None
        self.home = home or tempfile.mkdtemp(prefix="lumora-flow-")
        self.xvfb = self.wm = self.proc = None
        self.display = None
        self._stderr_path = os.path.join(self.home, "player-stderr.txt")
        self.started = False
        self._start = start

    # -- life
    def __enter__(self):
        try:
            self.start_x()
            if self._start:
                self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start_x(self):
        if self.wm_name and shutil.which(self.wm_name) is None:
            print("userflow: skipped, window manager %s is missing" % self.wm_name)
            sys.exit(SKIP)
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % self.screen,
             "-nolisten", "tcp", "-noreset"], pass_fds=(w,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        if self.wm_name:
            self.wm = subprocess.Popen([self.wm_name], env=self.env(), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            # Windows mapped before the manager runs are adopted later, maybe mid-step; it is
            # in charge once it names itself on the root window.
            wait_until(self._wm_running, 20, "window manager %s to start" % self.wm_name)

    def _wm_running(self):
        if self.wm.poll() is not None:
            raise AssertionError("window manager %s exited (%s)" % (self.wm_name,
                                                                    self.wm.returncode))
        r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env(),
                           capture_output=True, text=True)
        return "window id #" in r.stdout

    def env(self):
        e = dict(os.environ)
        e.update({"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "LUMORA_HOME": self.home,
                  "LUMORA_AUDIO": "null", "LUMORA_TV": "none",
                  "LUMORA_RUNTIME_DIR": os.path.join(self.home, "run")})
        e.pop("WAYLAND_DISPLAY", None)
        e.update(self.extra_env)
        return e

    def write_options(self):
        path = os.path.join(self.home, "Option.ini")
        if os.path.exists(path) and not self.options:
            return
        lines = ["[GenOption]"]
        if self.skin_name:
            lines.append("CurrentSkinPath=%s/Skin/%s/" % (BIN_DIR, self.skin_name))
        lines += ["%s=%s" % kv for kv in self.options.items()]
        if not os.path.exists(path):
            with open(path, "w", newline="") as f:
                f.write("\r\n".join(lines) + "\r\n")

    def start(self, wait_for="FT_LumoraDVD_MainForm"):
        os.makedirs(os.path.join(self.home, "run"), mode=0o700, exist_ok=True)
        self.write_options()
        self._stderr = open(self._stderr_path, "ab")
        self.proc = subprocess.Popen([os.path.join(BIN_DIR, "LumoraDVD")] + self.args,
                                     env=self.env(), stdout=self._stderr, stderr=self._stderr,
                                     start_new_session=True)
        self.started = True
        if wait_for:
            self.window(wait_for)

    def stop(self, timeout=10):
        """Ends the program as a desktop would (SIGTERM), then the X server."""
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if getattr(self, "_stderr", None):
            self._stderr.close()
            self._stderr = None
        for p in (self.wm, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if self._own_home and not os.environ.get("LUMORA_KEEP_FLOW"):
            shutil.rmtree(self.home, ignore_errors=True)

    def wait_exit(self, timeout=10):
        return self.proc.wait(timeout)

    def stderr(self):
        try:
            with open(self._stderr_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    # -- X
    def xdotool(self, *args, check=True):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env(),
                           capture_output=True, text=True)
        if check and r.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (" ".join(map(str, args)),
                                                           r.stderr.strip()))
        return r.stdout

    def windows(self, role, visible=True):
        """Ids of the program's top-level windows with that role (X property WM_WINDOW_ROLE)."""
        if self.proc is None:
            return []
        args = ["search", "--all", "--pid", self.proc.pid] + (["--onlyvisible"] if visible
                                                              else []) + [""]
        found = []
        for wid in self.xdotool(*args, check=False).split():
            r = subprocess.run(["xprop", "-id", wid, "WM_WINDOW_ROLE"], env=self.env(),
                               capture_output=True, text=True)
            if r.stdout.strip().endswith('"%s"' % role):
                found.append(wid)
        return found

    def window(self, role, timeout=15, visible=True):
        """The top-level window whose role is the instance name, e.g. FT_LumoraDVD_MainForm."""
        def find():
            if self.proc is not None and self.proc.poll() is not None:
                raise AssertionError("the player exited (%s): %s" %
                                     (self.proc.returncode, self.stderr()[-2000:]))
            ids = self.windows(role, visible)
            return ids[0] if ids else None
        wid = wait_until(find, timeout, "window " + role)
        return Window(self, wid, role)

    def grab(self):
        """The whole screen as the X server shows it."""
        out = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth",
                              "8", "ppm:-"], capture_output=True, check=True).stdout
        return parse_ppm(out)

    def screenshot(self, path):
        self.grab().save(path)

    # -- input
    def move(self, x, y):
        # --sync waits for the pointer to move, which it never does when it is there already.
        out = self.xdotool("getmouselocation", "--shell", check=False)
        at = dict(line.split("=", 1) for line in out.split() if "=" in line)
        if (at.get("X"), at.get("Y")) == (str(int(x)), str(int(y))):
            return
        self.xdotool("mousemove", "--sync", int(x), int(y))

    def click(self, x, y, button=1, double=False):
        self.move(x, y)
        time.sleep(0.05)
        self.xdotool("click", "--repeat", 2 if double else 1, "--delay", 80, button)

    def drag(self, start, end, button=1, steps=12, hold=0.05):
        self.move(*start)
        self.xdotool("mousedown", button)
        time.sleep(hold)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.xdotool("mousemove", x, y)
            time.sleep(0.02)
        time.sleep(hold)
        self.xdotool("mouseup", button)

    def drop_files(self, paths, at, source_at=None, timeout=10):
        """Drags paths (files, or URLs) from a stand-in file manager window onto the screen point
        `at` with real pointer input, so the player receives an XDND drop. Returns what the
        source saw: "dropped" or "refused"."""
        sx, sy = source_at or (self.screen[0] - 70, self.screen[1] - 70)
        src = subprocess.Popen([os.path.join(BIN_DIR, "lumora-dropsource"), str(sx), str(sy)] +
                               [str(p) for p in paths], env=self.env(), stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
        try:
            wait_until(lambda: self.xdotool("search", "--onlyvisible", "--pid", src.pid, "",
                                            check=False).split(), timeout, "the drag source")
            time.sleep(0.2)
            self.drag((sx + 30, sy + 30), at, steps=20, hold=0.2)
            out, _ = src.communicate(timeout=timeout)
            return out.strip()
        finally:
            if src.poll() is None:
                src.kill()
                src.wait()

    def key(self, *keys, window=None):
        args = ["key", "--delay", "60"] + (["--window", window.id] if window else [])
        self.xdotool(*(args + list(keys)))

    def type(self, text):
        self.xdotool("type", "--delay", "30", text)

    def focus(self, window):
        self.xdotool("windowactivate", "--sync", window.id, check=False)
        self.xdotool("windowfocus", "--sync", window.id, check=False)

    # -- skins
    def skin(self, name=None):
        return Skin(os.path.join(BIN_DIR, "Skin", name or self.skin_name))

    def find_control(self, section, key, skin=None, via=None, picture=1, timeout=5,
                     window=None):
        """Screen rectangle (x, y, w, h) of a skinned control, found by its own picture.

        The record's picture (field `picture`, 1 = normal) is looked for in the grab of the
        window whose instance name is `section` (or `window`, for a frame that lives inside
        another window, such as the docked control bar), nearest to where the record places
        it. For a control whose picture cannot be seen as it is (an animation strip), name a
        visible sibling in the same parent as `via`: the control is then placed at its
        record's offset from that sibling."""
        sk = skin or self.skin()
        win = self.window(window or section)
        anchor_key = via or key
        rec = sk.record(section, anchor_key)
        if not rec:
            raise AssertionError("%s has no record for %s" % (section, anchor_key))
        pic = sk.bitmap(rec[picture - 1])
        left, top = sk.number(section, anchor_key, 6), sk.number(section, anchor_key, 5)

        def locate():
            win.refresh()
            img = self.grab().crop(win.rect)
            hits = img.find(pic, near=(left, top), limit=1)
            return hits[0] if hits else None
        # The pointer may hover the control and show its mouse-over picture.
        self.move(self.screen[0] - 1, self.screen[1] - 1)
        hx, hy = wait_until(locate, timeout, "%s.%s on screen" % (section, anchor_key))
        if via is None:
            return (win.x + hx, win.y + hy, pic.width, pic.height)
        dx = sk.number(section, key, 6) - left
        dy = sk.number(section, key, 5) - top
        w, h = sk.number(section, key, 7), sk.number(section, key, 8)
        return (win.x + hx + dx, win.y + hy + dy, w, h)

    def click_control(self, section, key, button=1, **kw):
        x, y, w, h = self.find_control(section, key, **kw)
        self.click(x + w // 2, y + h // 2, button=button)

    # -- what a user keeps
    def option(self, key, section="GenOption"):
        ini = configparser.RawConfigParser(strict=False, interpolation=None)
        ini.optionxform = str.lower
        with open(os.path.join(self.home, "Option.ini"), encoding="utf-8",
                  errors="replace") as f:
            ini.read_string(f.read())
        for s in ini.sections():
            if s.lower() == section.lower():
                return ini.get(s, key.lower(), fallback=None)
        return None


MPRIS_DEST = "org.mpris.MediaPlayer2.LumoraDVD"
MPRIS_PLAYER = "org.mpris.MediaPlayer2.Player"


class MprisBus:
    """A private session bus, and the player's MPRIS service on it as the desktop sees it.
    Give the player `env={"DBUS_SESSION_BUS_ADDRESS": bus.address}`."""

    def __enter__(self):
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address"],
            stdout=subprocess.PIPE, text=True)
        self.address = self.daemon.stdout.readline().strip()
        return self

    def __exit__(self, *exc):
        self.daemon.terminate()
        self.daemon.wait(5)
        self.daemon.stdout.close()

    def send(self, *args):
        """dbus-send's reply to a call on the player's object, or None when it failed."""
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address)
        r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=" + MPRIS_DEST,
                            "/org/mpris/MediaPlayer2"] + list(args), env=env,
                           capture_output=True, text=True, timeout=10)
        return r.stdout if r.returncode == 0 else None

    def call(self, method):
        return self.send(MPRIS_PLAYER + "." + method)

    def prop(self, name):
        """The reply to reading a Player property ("" when it could not be read)."""
        return self.send("org.freedesktop.DBus.Properties.Get", "string:" + MPRIS_PLAYER,
                         "string:" + name) or ""
