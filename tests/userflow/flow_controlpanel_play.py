"""A person drives the player from the floating control panel: plays the disc in the drive,
moves to chapter 2 and French subtitles, fast forwards, opens a file through the open menu,
drags the position bar, mutes and un-mutes, and sets the volume the player keeps."""

import os
import shutil
import struct
import tempfile
import time
import unittest

from harness import Player, media_file, run_flows, sample_dvd, wait_until

PANEL = "FT_LumoraDVD_OperationForm"
MAIN = "FT_LumoraDVD_MainForm"
SHOTS = os.environ.get("LUMORA_FLOW_SHOTS")


def wav_level(path, start_byte, end_byte=None):
    """RMS level (0..1) of the samples a WAV file holds between two byte offsets of its data,
    while the file is still being written (the header's sizes are not trusted)."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(b"data")
    if at < 0 or len(data) < 36:
        return None
    fmt, channels = struct.unpack_from("<HH", data, 20)
    bits = struct.unpack_from("<H", data, 34)[0]
    body = data[at + 8:]
    width = bits // 8
    end = len(body) if end_byte is None else min(end_byte, len(body))
    start = max(0, start_byte)
    start -= start % (width * channels)
    end -= end % (width * channels)
    if end - start < width * channels * 100:
        return None
    n = (end - start) // width
    if fmt == 3 and width == 4:
        samples = struct.unpack_from("<%df" % n, body, start)
    elif width == 2:
        samples = [s / 32768.0 for s in struct.unpack_from("<%dh" % n, body, start)]
    else:
        raise ValueError("unexpected WAV format %d/%d" % (fmt, bits))
    return (sum(s * s for s in samples) / n) ** 0.5


def wav_bytes_per_second(path):
    with open(path, "rb") as f:
        head = f.read(44)
    return struct.unpack_from("<I", head, 28)[0]


def wav_data_size(path):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return 0
    at = data.find(b"data")
    return 0 if at < 0 else len(data) - at - 8


class ControlPanelFlow(unittest.TestCase):
    def setUp(self):
        # A drive double: the kernel lists sr0, whose device node is the sample disc's image.
        self.fake = tempfile.mkdtemp(prefix="lumora-drive-")
        os.makedirs(os.path.join(self.fake, "block", "sr0"))
        os.makedirs(os.path.join(self.fake, "dev"))
        os.symlink(sample_dvd("sample.iso"), os.path.join(self.fake, "dev", "sr0"))
        self.answers = os.path.join(self.fake, "answers")
        self.wav = os.path.join(self.fake, "sound.wav")
        self.clip = media_file(self.fake, "walk.mp4", seconds=30, size="320x240")

    def tearDown(self):
        shutil.rmtree(self.fake, ignore_errors=True)

    # -- what the panel shows
    def digits(self, p, panel, names):
        """The digits the panel shows in the named digit controls, read from the screen."""
        skin = p.skin()
        img = p.grab()
        out = ""
        for name in names:
            rec = skin.record(PANEL, name)
            top, left = skin.number(PANEL, name, 5), skin.number(PANEL, name, 6)
            faces = [skin.bitmap(rec[0] + "%d.bmp" % d) for d in range(10)]
            w, h = faces[0].width, faces[0].height
            shown = img.crop((panel.x + left, panel.y + top, w, h))
            out += str(min(range(10), key=lambda d: shown.difference(faces[d])))
        return out

    def seconds(self, p, panel):
        t = self.digits(p, panel, ["DI_TimeHour10", "DI_TimeHour1", "DI_TimeMin10", "DI_TimeMin1",
                                   "DI_TimeSec10", "DI_TimeSec1"])
        return int(t[0:2]) * 3600 + int(t[2:4]) * 60 + int(t[4:6])

    def title_chapter(self, p, panel):
        d = self.digits(p, panel, ["DI_Title10", "DI_Title1", "DI_Chapter10", "DI_Chapter1"])
        return int(d[:2]), int(d[2:])

    def shows(self, p, key, picture=1):
        """Whether the control shows the given picture of its record (1 normal, 4 disabled)."""
        try:
            p.find_control(PANEL, key, picture=picture, timeout=1)
            return True
        except AssertionError:
            return False

    def shot(self, p, name):
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            p.screenshot(os.path.join(SHOTS, name + ".png"))

    def menu_pick(self, p, role, keys):
        """Opens nothing itself: waits for the popup `role`, then chooses with the keyboard."""
        menu = p.window(role)
        self.shot(p, role)
        p.key(*keys)
        return menu

    def test_disc_menus_rates_file_seek_mute_and_volume(self):
        env = {"LUMORA_SYSFS_BLOCK": os.path.join(self.fake, "block"),
               "LUMORA_DEV_DIR": os.path.join(self.fake, "dev"),
               "LUMORA_DIALOG_ANSWERS": self.answers,
               "LUMORA_AUDIO": "pcm:" + self.wav, "SDL_AUDIODRIVER": "dummy", "LANG": "en_US.UTF-8"}
        with Player(env=env) as p:
            main = p.window(MAIN)
            panel = p.window(PANEL)
            skin = p.skin()
            self.assertEqual(self.seconds(p, panel), 0)
            self.assertTrue(self.shows(p, "skImageButton_Stop", picture=4))  # nothing plays

            # The play button the skin shows is the animated one.
            self.assertEqual(skin.number(PANEL, "skImageButton_Play", 9), 0)
            x, y, _, _ = p.find_control(PANEL, "Dynamic_Play", via="skImageButton_Open")
            p.click(x + 20, y + 20)
            # The disc starts: its menu shows, and the transport wakes up.
            wait_until(lambda: self.shows(p, "skImageButton_Stop"), 20, "Stop enabled")
            main.refresh()

            def yellow_button():
                g = p.grab().crop(main.rect)
                pts = [(x, y) for y in range(0, g.height, 2) for x in range(0, g.width, 2)
                       if g.pixel(x, y)[0] > 200 and g.pixel(x, y)[1] > 200
                       and g.pixel(x, y)[2] < 80]
                return pts if len(pts) > 20 else None
            pts = wait_until(yellow_button, 20, "the disc menu's highlighted button")
            self.shot(p, "disc-menu")
            # The highlighted button is "Title 1": clicking it plays title 1.
            cx = sum(x for x, _ in pts) // len(pts)
            cy = sum(y for _, y in pts) // len(pts)
            p.click(main.x + cx, main.y + cy)
            wait_until(lambda: self.title_chapter(p, panel) == (1, 1), 20, "title 1 chapter 1")

            # Chapter 2 with the next-chapter button.
            p.click_control(PANEL, "skImageButton_NextChapter")
            wait_until(lambda: self.title_chapter(p, panel) == (1, 2), 10, "chapter 2")
            self.assertGreaterEqual(self.seconds(p, panel), 4)

            # French subtitles from the subtitle button: the last entry of its menu.
            p.click_control(PANEL, "skImageButton_SubPicture")
            self.menu_pick(p, "PopupMenu_Subpicture", ["End", "Return"])
            # Its menu now marks French; the picture carries text at its foot during a cue.
            p.click_control(PANEL, "skImageButton_SubPicture")
            p.window("PopupMenu_Subpicture")
            self.shot(p, "subtitle-menu-french")
            p.key("Escape")

            # Back to chapter 1, then fast forward twice: the time runs three times as fast.
            p.click_control(PANEL, "skImageButton_PreviousChapter")
            wait_until(lambda: self.title_chapter(p, panel) == (1, 1), 10, "chapter 1 again")
            p.click_control(PANEL, "skImageButton_FastForward")
            p.click_control(PANEL, "skImageButton_FastForward")
            t0, w0 = self.seconds(p, panel), time.monotonic()
            time.sleep(1.5)
            t1, w1 = self.seconds(p, panel), time.monotonic()
            self.assertGreaterEqual(t1 - t0, 2.0 * (w1 - w0) - 1, (t0, t1))
            p.click(x + 20, y + 20)
            t2, w2 = self.seconds(p, panel), time.monotonic()
            time.sleep(2.0)
            t3, w3 = self.seconds(p, panel), time.monotonic()
            self.assertLessEqual(t3 - t2, (w3 - w2) + 1.2, (t2, t3))

            # A media file through the open menu's dialog.
            with open(self.answers, "w") as f:
                f.write(self.clip + "\n")
            p.click_control(PANEL, "skImageButton_Open")
            # Drive entry, separator, then "Open File...": Home, Down selects it.
            self.menu_pick(p, "PopupMenu_Disc", ["Home", "Down", "Return"])
            wait_until(lambda: os.path.exists(self.answers + ".log"), 10, "the open dialog")
            with open(self.answers + ".log") as f:
                self.assertIn("Load File to Play List", f.read())
            wait_until(lambda: wav_data_size(self.wav) > 100000, 20, "the file's sound")
            wait_until(lambda: self.seconds(p, panel) >= 1, 10, "the file's time")
            self.assertLess(self.seconds(p, panel), 10)

            # Drag the position bar's thumb to the middle of its track.
            bx, by, bw, bh = p.find_control(PANEL, "ProgressBar")
            track = skin.bitmap(skin.record(PANEL, "ProgressBar")[3])
            tx = panel.x + skin.number(PANEL, "ProgressBar", 6)
            p.drag((bx + bw // 2, by + bh // 2), (tx + track.width // 2, by + bh // 2))
            wait_until(lambda: 13 <= self.seconds(p, panel) <= 19, 10, "the middle of the file")
            self.shot(p, "after-seek")

            # Mute: the sound goes silent; un-mute: it comes back at the same level.
            def level_after(action, settle=0.4, span=1.0):
                action()
                time.sleep(settle)
                start = wav_data_size(self.wav)
                rate = wav_bytes_per_second(self.wav)
                wait_until(lambda: wav_data_size(self.wav) > start + span * rate, 10,
                           "sound to be written")
                return wav_level(self.wav, start)
            before = level_after(lambda: None)
            self.assertGreater(before, 0.02)
            muted = level_after(lambda: p.click_control(PANEL, "skImageButton_Mute"))
            self.assertTrue(self.shows(p, "skImageButton_DeMute"))
            self.assertLess(muted, before * 0.05)
            back = level_after(lambda: p.click_control(PANEL, "skImageButton_DeMute"))
            self.assertAlmostEqual(back / before, 1.0, delta=0.15)
            # Two steps down the volume: 3 dB quieter (the level's square root of two).
            quieter = level_after(lambda: (p.click_control(PANEL, "skImageButton_VolumeDown"),
                                           p.click_control(PANEL, "skImageButton_VolumeDown")))
            self.assertAlmostEqual(quieter / before, 10 ** (-3 / 20), delta=0.08)
            self.shot(p, "end")
        self.assertEqual(p.option("l_CurrentVolume"), "64")
        self.assertEqual(p.option("b_MuteState"), "0")


if __name__ == "__main__":
    run_flows()
