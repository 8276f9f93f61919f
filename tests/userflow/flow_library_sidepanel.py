"""The side panel as a user works it: three files added to the play list through its own
menu and open dialog play in random order with repeat; a bookmark set on the sample DVD in
chapter 2 brings the disc back to that place after a stop; a snapshot is taken and saved."""

import os
import struct
import subprocess
import time
import unittest

from flow_mainwindow_frame import menu_picture
from harness import Player, run_flows, sample_dvd, wait_until

COLOURS = {"a_red": (230, 20, 20), "b_green": (20, 200, 20), "c_blue": (20, 20, 230)}
CLIP_SECONDS = 2


def solid_clip(folder, name, rgb):
    path = os.path.join(folder, name + ".mp4")
    subprocess.run(
        ["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
         "color=c=0x%02x%02x%02x:size=320x240:rate=25:duration=%d" % (rgb + (CLIP_SECONDS,)),
         "-f", "lavfi", "-i", "sine=frequency=440:duration=%d" % CLIP_SECONDS, "-shortest",
         "-pix_fmt", "yuv420p", path], check=True)
    return path


def shuffle_order(randoms, n):
    """The play list's shuffle: the process-wide generator, never seeded."""
    p = list(range(n))
    order = []
    for i in range(n):
        b = next(randoms) % (n - i)
        order.append(p[b])
        p[b] = p[n - i - 1]
    return order


def generator():
    state = 1
    while True:
        state = (state * 22695477 + 1) % (1 << 64)
        yield (state >> 32) & 0x7FFFFFFF


def nearest(rgb):
    best = min(COLOURS, key=lambda k: sum((a - b) ** 2 for a, b in zip(COLOURS[k], rgb)))
    return best if sum((a - b) ** 2 for a, b in zip(COLOURS[best], rgb)) < 3 * 70 ** 2 else None


def visible_windows(p):
    return p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                     check=False).split()


def collapse(seq):
    out = []
    for s in seq:
        if s and (not out or out[-1] != s):
            out.append(s)
    return out


class SidePanelFlow(unittest.TestCase):
    def open_page(self, p, button):
        p.click_control("FT_LumoraDVD_MainForm", button)
        return p.window("FT_LumoraDVD_SubForm")

    def test_play_list_random_with_repeat(self):
        with Player() as p:
            clips = sorted(solid_clip(p.home, n, rgb) for n, rgb in COLOURS.items())
            main = p.window("FT_LumoraDVD_MainForm")
            side = self.open_page(p, "skImageButton_PlayList")
            # The panel docks at the main window's left edge.
            main.refresh()
            self.assertEqual(side.x + side.w, main.x)
            self.assertEqual(side.y, main.y)

            # Add Files from the add button's menu, in the open dialog.
            x, y, w, h = p.find_control("FT_LumoraDVD_SubForm", "skImageButton_AddFile")
            before = set(visible_windows(p))
            p.click(x + w // 2, y + h // 2)
            wait_until(lambda: set(visible_windows(p)) - before, 10, "the add menu")
            p.click(x + w // 2 + 20, y + h // 2 + 12)  # "Add Files", the menu's first entry
            dialog = wait_until(lambda: p.xdotool("search", "--name", "Load File to Play List",
                                                  check=False).split(), 10, "the open dialog")
            p.xdotool("windowfocus", "--sync", dialog[0], check=False)
            time.sleep(0.5)
            p.type(" ".join('"%s"' % c for c in clips))
            p.key("Return")
            wait_until(lambda: not p.xdotool("search", "--name", "Load File to Play List",
                                             check=False).split(), 10, "the dialog to close")

            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_Random")
            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_Repeat")
            p.find_control("FT_LumoraDVD_SubForm", "skImageButton_DeRandom")
            p.find_control("FT_LumoraDVD_SubForm", "skImageButton_DeRepeat")
            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_Play")

            # Watch the picture: which clip plays, for two rounds and a bit.
            seen = []
            end = time.monotonic() + (CLIP_SECONDS + 0.6) * 8
            while time.monotonic() < end:
                main.refresh()
                centre = (main.x + main.w // 2 - 10, main.y + main.h // 2 - 10, 20, 20)
                seen.append(nearest(p.grab().mean(centre)))
                time.sleep(0.15)
            p.screenshot(os.path.join(os.path.dirname(p.home), "flow-playlist.png"))

            # The first entry plays first (it was selected); then the shuffle, repeated.
            randoms = generator()
            order = []
            for n in (1, 2, 3):  # each added entry rebuilds the shuffle
                order = shuffle_order(randoms, n)
            names = sorted(COLOURS)
            expected = collapse([names[0]] + [names[i] for i in order] * 3)
            observed = collapse(seen)
            self.assertGreaterEqual(len(observed), 6, observed)
            self.assertEqual(observed, expected[:len(observed)])

    def test_dvd_bookmark_and_snapshot(self):
        with Player(args=[sample_dvd()]) as p:
            main = p.window("FT_LumoraDVD_MainForm")
            panel = p.window("FT_LumoraDVD_OperationForm")
            # Title 1 from the disc's menu (its first button, y 140..220 of the 720 x 576
            # picture), then on into chapter 2 (0:04), held still by Pause.
            pic = wait_until(lambda: menu_picture(p.grab(), main.refresh().rect), 30,
                             "the disc's menu")
            p.click(pic[0] + pic[2] // 2, pic[1] + pic[3] * 180 // 576)

            def title_plays():
                x, y, w, h = main.refresh().rect
                return sum(p.grab().mean((x + w // 4, y + h // 4, w // 2, h // 3))) / 3 > 80
            wait_until(title_plays, 20, "title 1 in place of the menu")
            p.click_control("FT_LumoraDVD_OperationForm", "skImageButton_NextChapter")
            time.sleep(1.0)
            p.click_control("FT_LumoraDVD_OperationForm", "skImageButton_Pause")
            time.sleep(0.5)

            side = self.open_page(p, "skImageButton_Bookmark")
            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_AddBookmark")
            bmk = os.path.join(p.home, "Bookmark", "DVD_DISC.bmk")
            wait_until(lambda: os.path.exists(bmk), 10, "the disc's bookmark file")
            at_mark = panel.grab()
            picture = main.grab()

            # A snapshot of the same picture, saved from the snapshot page's save button.
            self.open_page(p, "skImageButton_Snapshoot")
            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_Snapshoot_One")
            time.sleep(0.8)
            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_SaveSnapshoot")
            folder = os.path.join(p.home, "Snapshot")
            saved = wait_until(lambda: [f for f in os.listdir(folder) if f.startswith("Snapshot-")],
                               10, "a saved snapshot")
            with open(os.path.join(folder, saved[0]), "rb") as f:
                head = f.read(26)
            self.assertEqual(head[:2], b"BM")
            width, height = struct.unpack("<ii", head[18:26])
            # A 16:9 PAL title is kept at the size it is shown at.
            self.assertEqual((width, abs(height)), (1024, 576))

            p.click_control("FT_LumoraDVD_OperationForm", "skImageButton_Stop")
            time.sleep(1.0)
            stopped = panel.grab()
            self.assertGreater(at_mark.difference(stopped), 0.05)

            # Choose the bookmark: its row, then the page's play button.
            side = self.open_page(p, "skImageButton_Bookmark")
            p.click(side.x + side.w // 2, side.y + 41 + 25)
            p.click_control("FT_LumoraDVD_SubForm", "skImageButton_PlayBookmark")
            time.sleep(0.6)
            p.click_control("FT_LumoraDVD_OperationForm", "skImageButton_Pause")
            time.sleep(0.5)
            back = panel.grab()
            p.screenshot(os.path.join(os.path.dirname(p.home), "flow-bookmark.png"))
            # Title, chapter and time read as they did when the bookmark was set (the time a
            # second on at most), and the picture is that place's picture.
            self.assertLess(at_mark.difference(back), at_mark.difference(stopped) / 2)
            main.refresh()
            self.assertLess(picture.difference(main.grab()), 12)


if __name__ == "__main__":
    run_flows()
