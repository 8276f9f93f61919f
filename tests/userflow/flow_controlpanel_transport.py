"""The floating control panel as a user drives it: a disc put into the drive and started with the
panel's animated Play button, title 1 from the disc's menu, the French subtitle from the panel's
subtitle button, chapter 2, fast forward twice and back to Play, the disc's own menu from the DVD
menu button; then a media file opened through the open menu, the position bar dragged to the
middle, mute and un-mute, and a quieter volume that Option.ini keeps.

After each step the flow reads what a user can read: the panel's digits and bars as the skin draws
them, the picture, the desktop's media widget (the player's MPRIS service on a private session
bus: playing or paused, rate, position, volume) and the recorded sound."""

import os
import re
import shutil
import signal
import struct
import tempfile
import time
import unittest

from harness import SKIP, MprisBus, Player, media_file, run_flows, sample_dvd, wait_until

PANEL = "FT_LumoraDVD_OperationForm"
MAIN = "FT_LumoraDVD_MainForm"
SHOTS = os.environ.get("LUMORA_FLOW_SHOTS")
# Subtitle line width over picture width: the sample disc's French lines reach beyond this, its
# English ones stay below.
FRENCH_WIDER_THAN = 0.51
# Long enough for the sound checks after the middle, however slow the machine.
CLIP_SECONDS = 60


def shot(p, name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        p.screenshot(os.path.join(SHOTS, name + ".png"))


class MediaWidget(MprisBus):
    """What the desktop's media widget reads from the player, over a private session bus."""

    def status(self):
        m = re.search(r'string "(\w+)"', self.prop("PlaybackStatus"))
        return m.group(1) if m else None

    def number(self, name):
        m = re.search(r"(?:double|int64|int32) (-?[\d.e+-]+)", self.prop(name))
        return float(m.group(1)) if m else None

    def position(self):
        us = self.number("Position")
        return None if us is None else us / 1e6

    def metadata(self, key):
        m = re.search(r'"%s"\s+variant\s+(?:int32|string) "?([^"\n]*)' % re.escape(key),
                      self.prop("Metadata"))
        return m.group(1) if m else None


class Recording:
    """The WAV file the media engine writes as it plays, read while it grows."""

    def __init__(self, path):
        self.path = path

    def _layout(self):
        with open(self.path, "rb") as f:
            head = f.read(4096)
        fmt = head.index(b"fmt ")
        tag, channels, rate, _, block, bits = struct.unpack("<HHIIHH", head[fmt + 8:fmt + 24])
        data = head.index(b"data") + 8
        return data, channels, rate, block, bits

    def mark(self):
        """Seconds of sound written so far."""
        data, _, rate, block, _ = self._layout()
        return max(0, os.path.getsize(self.path) - data) / block / rate

    def rms(self, start, end):
        data, channels, rate, block, bits = self._layout()
        with open(self.path, "rb") as f:
            f.seek(data + int(start * rate) * block)
            raw = f.read(int((end - start) * rate) * block)
        n = len(raw) // (bits // 8)
        if n == 0:
            return 0.0
        if bits == 32:
            samples = struct.unpack("<%df" % n, raw[:n * 4])
        else:
            samples = [s / 32768.0 for s in struct.unpack("<%dh" % n, raw[:n * 2])]
        return (sum(s * s for s in samples) / n) ** 0.5

    def level_over(self, seconds):
        """Level of the next `seconds` of sound, skipping what the output had queued already."""
        start = self.mark() + 1.0
        wait_until(lambda: self.mark() >= start + seconds, seconds + 15, "more sound")
        return self.rms(start, start + seconds)


class Panel:
    """Reading and working the floating control panel through its skin. The panel is found once
    by its Open button; every other control sits at its Skin.ini offset from there."""

    def __init__(self, p):
        self.p, self.skin = p, p.skin()
        x, y, _, _ = p.find_control(PANEL, "skImageButton_Open")
        self.origin = (x - self.skin.number(PANEL, "skImageButton_Open", 6),
                       y - self.skin.number(PANEL, "skImageButton_Open", 5))

    def rect(self, key):
        sk = self.skin
        return (self.origin[0] + sk.number(PANEL, key, 6), self.origin[1] + sk.number(PANEL, key, 5),
                sk.number(PANEL, key, 7), sk.number(PANEL, key, 8))

    def click(self, key, button=1):
        x, y, w, h = self.rect(key)
        if key == "Dynamic_Play":  # an animation strip of square frames
            h = w = self.skin.bitmap(self.skin.record(PANEL, key)[0]).height
        self.p.click(x + w // 2, y + h // 2, button=button)

    def shows(self, key, img=None):
        """Whether the control's normal picture is drawn where the skin puts it."""
        pic = self.skin.bitmap(self.skin.record(PANEL, key)[0])
        x, y, _, _ = self.rect(key)
        if img is None:
            # Under the pointer a button shows its mouse-over picture.
            self.p.move(self.p.screen[0] - 1, self.p.screen[1] - 1)
            img = self.p.grab()
        return bool(img.crop((x - 2, y - 2, pic.width + 4, pic.height + 4)).find(pic, limit=1))

    def digit(self, img, key):
        prefix = self.skin.record(PANEL, key)[0].replace("\\", "/")
        x, y, _, _ = self.rect(key)
        best = None
        for d in range(10):
            pic = self.skin.bitmap(prefix + "%d.bmp" % d)
            diff = img.crop((x, y, pic.width, pic.height)).difference(pic)
            if best is None or diff < best[0]:
                best = (diff, d)
        return best[1] if best[0] < 2.0 else None

    def number(self, *keys):
        img = self.p.grab()
        digits = [self.digit(img, k) for k in keys]
        return None if None in digits else int("".join(map(str, digits)))

    def seconds(self):
        keys = ("DI_TimeHour10", "DI_TimeHour1", "DI_TimeMin10", "DI_TimeMin1", "DI_TimeSec10",
                "DI_TimeSec1")
        n = self.number(*keys)
        return None if n is None else n // 10000 * 3600 + n // 100 % 100 * 60 + n % 100

    def title(self):
        return self.number("DI_Title10", "DI_Title1")

    def chapter(self):
        return self.number("DI_Chapter10", "DI_Chapter1")

    def _track(self, key):
        """Screen left and middle row of a horizontal bar's track, the first pixel of its fill,
        the pixels its value spans, its thumb's length and its fill's colours."""
        rec = self.skin.record(PANEL, key)
        thumb, track, head = (self.skin.bitmap(rec[i]) for i in (0, 3, 14))
        fill = self.skin.bitmap(rec[13])
        inset = self.skin.number(PANEL, key, 7)
        x, y, _, _ = self.rect(key)
        colours = {fill.pixel(i, j) for i in range(fill.width) for j in range(fill.height)}
        return x, y + track.height // 2, inset, track.width - 2 * inset - head.width, \
            thumb.width, colours

    def bar(self, key):
        """A horizontal bar's value 0..100, read from the length of its fill."""
        x, row, inset, span, _, colours = self._track(key)
        self.p.move(self.p.screen[0] - 1, self.p.screen[1] - 1)
        img = self.p.grab()
        filled = [i for i in range(inset, inset + span + 1) if img.pixel(x + i, row) in colours]
        return 100.0 * len(filled) / span

    def track_point(self, key, fraction):
        """Where a press on the track sets the bar to `fraction` of its range."""
        x, row, inset, span, thumb, _ = self._track(key)
        return (x + inset + int(span * fraction) + thumb // 2, row)


def shown_windows(p):
    return set(p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                         check=False).split())


def open_menu(p, panel, key):
    """Clicks a panel button and waits for its popup menu to show."""
    before = shown_windows(p)
    panel.click(key)
    wait_until(lambda: shown_windows(p) - before, 10, "the menu of " + key)


def choose(p, downs):
    """In the popup menu on show: `downs` presses of Down, then Return; waits for it to go."""
    before = shown_windows(p)
    p.key(*(["Down"] * downs + ["Return"]))
    wait_until(lambda: len(shown_windows(p)) < len(before), 10, "the menu to close")


def subtitle_width(p, main):
    """Width of the subtitle line as a share of the picture's width (0 when none is shown).

    The disc burns a white "frame N time T" line into the lower picture; a subtitle is the
    white text below it."""
    main.refresh()
    img = main.grab()
    runs, current = [], None
    for y in range(int(img.height * 0.6), int(img.height * 0.97)):
        xs = [x for x in range(0, img.width, 2) if min(img.pixel(x, y)) > 200]
        if xs:
            if current is None or y - current[1] > 2:
                current = [y, y, xs[0], xs[-1]]
                runs.append(current)
            current[1] = y
            current[2], current[3] = min(current[2], xs[0]), max(current[3], xs[-1])
    if len(runs) < 2:
        return 0.0
    return (runs[-1][3] - runs[-1][2]) / img.width


class ControlPanelFlow(unittest.TestCase):
    def test_disc_then_file_from_the_panel(self):
        for tool in ("dbus-daemon", "dbus-send", "ffmpeg"):
            if shutil.which(tool) is None:
                raise SystemExit(SKIP)
        work = tempfile.mkdtemp(prefix="lumora-flow-panel-")
        # A drive the kernel reports, empty at start.
        os.makedirs(os.path.join(work, "sys", "sr0"))
        os.makedirs(os.path.join(work, "dev"))
        clip = media_file(work, "tone.mp4", seconds=CLIP_SECONDS, size="320x240", tone=440)
        answers = os.path.join(work, "answers")
        wav = os.path.join(work, "sound.wav")
        env = {"LUMORA_SYSFS_BLOCK": os.path.join(work, "sys"),
               "LUMORA_DEV_DIR": os.path.join(work, "dev"),
               "LUMORA_DIALOG_ANSWERS": answers, "LUMORA_AUDIO": "pcm:" + wav}
        try:
            with MediaWidget() as bus:
                env["DBUS_SESSION_BUS_ADDRESS"] = bus.address
                with Player(env=env) as p:
                    self.disc_steps(p, bus, work)
                    self.file_steps(p, bus, clip, answers, Recording(wav))
        finally:
            shutil.rmtree(work, ignore_errors=True)

    def disc_steps(self, p, bus, work):
        main = p.window(MAIN)
        wait_until(lambda: bus.status() == "Stopped", 20, "the player on the bus, stopped")
        panel = Panel(p)
        self.assertEqual(panel.seconds(), 0)

        # The disc goes into the drive; the panel's animated Play button starts it. (The still
        # Play button under it is hidden in this skin.)
        os.symlink(sample_dvd("sample.iso"), os.path.join(work, "dev", "sr0"))
        panel.click("Dynamic_Play")
        wait_until(lambda: bus.status() == "Playing", 20, "the disc to play")

        # Its menu: title 1 is the highlighted (yellow) button of a still picture; a click on it
        # plays the title.
        def highlighted():
            main.refresh()
            img = main.grab()
            time.sleep(0.3)
            if img.difference(main.grab()) > 0.5:
                return None  # a moving picture is no menu
            for yy in range(0, img.height, 4):
                for xx in range(0, img.width, 4):
                    r, g, b = img.pixel(xx, yy)
                    if r > 200 and g > 200 and b < 80:
                        return (main.x + xx + 12, main.y + yy + 12)
            return None
        p.click(*wait_until(highlighted, 20, "the disc menu's highlighted button"))
        wait_until(lambda: panel.title() == 1 and panel.chapter() == 1, 15, "title 01 chapter 01")
        shot(p, "1-title1")

        # Next chapter: chapter 2 (4 to 8 s of the 12 s title) on the digits, the position bar
        # and the media widget.
        panel.click("skImageButton_NextChapter")
        wait_until(lambda: panel.chapter() == 2, 10, "chapter 02")
        self.assertEqual(bus.metadata("xesam:trackNumber"), "2")
        shown = wait_until(lambda: (panel.seconds() or 0) >= 4 and panel.seconds(), 10,
                           "the time digits at chapter 2")
        self.assertLessEqual(abs(shown - bus.position()), 1.5)
        bar = panel.bar("ProgressBar")
        self.assertTrue(30 <= bar <= 75, "position bar at %.0f%%" % bar)

        # The subtitle button's menu ("Disable Subtitle", a separator, English, French) turns
        # on French, whose lines are longer than the English ones.
        open_menu(p, panel, "skImageButton_SubPicture")
        choose(p, 3)
        wait_until(lambda: subtitle_width(p, main) > FRENCH_WIDER_THAN, 10,
                   "the longer French subtitle line")
        shot(p, "2-french")

        # The DVD menu button's "Title Menu": the disc's menu again, and title 1 from the start.
        open_menu(p, panel, "skImageButton_Menu")
        choose(p, 2)
        p.move(p.screen[0] - 1, p.screen[1] - 1)
        p.click(*wait_until(highlighted, 15, "the disc's menu"))
        wait_until(lambda: panel.title() == 1 and panel.chapter() == 1, 15, "title 1 again")

        # Fast forward twice, then Play: 2X, 3X, normal speed again, still playing.
        for rate in (2.0, 3.0):
            panel.click("skImageButton_FastForward")
            wait_until(lambda: bus.number("Rate") == rate, 10, "rate %g" % rate)
        before = bus.position()
        panel.click("Dynamic_Play")
        wait_until(lambda: bus.number("Rate") == 1.0, 10, "normal speed")
        self.assertEqual(bus.status(), "Playing")
        self.assertGreaterEqual(bus.position(), before)
        shown = panel.seconds()
        self.assertLessEqual(abs(shown - bus.position()), 1.5)

    def file_steps(self, p, bus, clip, answers, sound):
        panel = Panel(p)
        with open(answers, "w") as f:
            f.write(clip + "\n")
        # The open menu: the drive, a separator, "Open File...".
        open_menu(p, panel, "skImageButton_Open")
        choose(p, 2)
        wait_until(lambda: bus.metadata("xesam:title") == "tone.mp4", 20, "the file to open")
        with open(answers + ".log") as f:
            self.assertEqual(f.read().splitlines(), ["Load File to Play List"])
        wait_until(lambda: bus.status() == "Playing" and bus.position() > 0.5, 15,
                   "the file to play")

        # The position bar dragged to its middle: the engine, the digits and the bar follow.
        start = panel.bar("ProgressBar")
        self.assertLess(start, 30)
        p.drag(panel.track_point("ProgressBar", start / 100), panel.track_point("ProgressBar", 0.5),
               steps=10, hold=0.15)
        low, high = CLIP_SECONDS * 0.43, CLIP_SECONDS * 0.62
        wait_until(lambda: low <= bus.position() <= high, 10, "the middle of the file")
        wait_until(lambda: low <= (panel.seconds() or 0) <= high + 2, 5, "the digits at the middle")
        value = panel.bar("ProgressBar")
        self.assertTrue(40 <= value <= 70, "position bar at %.0f%%" % value)
        shot(p, "3-file-middle")

        # Mute silences the sound; un-mute brings back the same level.
        loud = sound.level_over(1.0)
        self.assertGreater(loud, 0.002, "nothing heard before mute")
        panel.click("skImageButton_Mute")
        wait_until(lambda: panel.shows("skImageButton_DeMute"), 5, "the sound-on button")
        self.assertEqual(bus.number("Volume"), 0.0)
        self.assertLess(sound.level_over(1.0), loud / 50, "still heard while muted")
        panel.click("skImageButton_DeMute")
        wait_until(lambda: panel.shows("skImageButton_Mute"), 5, "the mute button")
        again = sound.level_over(1.0)
        self.assertAlmostEqual(again / loud, 1.0, delta=0.15)

        # A click low on the volume bar: quieter sound, and the volume the bar shows.
        volume = panel.bar("VolumeBar")
        p.click(*panel.track_point("VolumeBar", 0.2))
        wait_until(lambda: (bus.number("Volume") or 1) < volume / 100 - 0.2, 5,
                   "the volume to drop")
        chosen = round(bus.number("Volume") * 100)
        self.assertLessEqual(abs(panel.bar("VolumeBar") - chosen), 4)
        self.assertLess(sound.level_over(1.0), again * 0.8, "not quieter")

        # The desktop ends the player (as at log-out): Option.ini keeps that volume.
        p.proc.send_signal(signal.SIGTERM)
        self.assertEqual(p.wait_exit(20), 0)
        self.assertEqual(int(p.option("l_CurrentVolume")), chosen)


if __name__ == "__main__":
    run_flows()
