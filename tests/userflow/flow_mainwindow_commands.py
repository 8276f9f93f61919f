"""The main window's commands as a user meets them: keys in the disc's menu, a chapter from the
popup menu, full screen with the sliding bar, dragging the docked bar out, and files dropped
from a file manager."""

import os
import tempfile
import time
import unittest

from harness import Player, media_file, run_flows, sample_dvd, wait_until

YELLOW = (255, 255, 0)  # the sample disc's selected-button frame
LIME = (0, 255, 0)      # the status text


def new_window(p, before, timeout=5):
    """Geometry (x, y, w, h) of a window of the player that appeared since `before`."""
    def find():
        ids = p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                        check=False).split()
        fresh = [i for i in ids if i not in before]
        return fresh[-1] if fresh else None
    wid = wait_until(find, timeout, "a new window")
    out = p.xdotool("getwindowgeometry", "--shell", wid)
    g = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


def visible_ids(p):
    return p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                     check=False).split()


def menu_rows(p, menu):
    """Top of the first entry, entry height and separator height of an open popup menu, from
    the band the keyboard highlight paints on the first entry."""
    x, y, w, h = menu
    before = p.grab().crop(menu)
    p.key("Down")
    time.sleep(0.3)
    after = p.grab().crop(menu)
    rows = [r for r in range(h)
            if before.difference(after, (w // 3, r, w // 3, 1)) > 40]
    if not rows:
        raise AssertionError("no highlight in the popup menu")
    return rows[0], rows[-1] - rows[0] + 1


def digit_shown(p, panel_role, key, digit):
    """Whether the control panel's digit control `key` shows `digit` as the skin draws it."""
    skin = p.skin()
    rec = skin.record(panel_role, key)
    prefix = rec[0].replace("\\", "/")
    pic = skin.bitmap(prefix + "%d.bmp" % digit)
    win = p.window(panel_role)
    left, top = skin.number(panel_role, key, 6), skin.number(panel_role, key, 5)
    img = p.grab().crop(win.rect)
    hits = img.find(pic, near=(left, top), limit=1)
    return bool(hits) and abs(hits[0][0] - left) <= 2 and abs(hits[0][1] - top) <= 2


class CommandsFlow(unittest.TestCase):
    def test_dragging_the_bar_out_and_dropping_files(self):
        folder = tempfile.mkdtemp(prefix="lumora-flow-media-")
        clips = [media_file(folder, "clip%d.mp4" % i, seconds=3, size="640x360")
                 for i in range(3)]
        with Player(args=["-pd", "x"], options={"b_DisplayControlPanel": "1"}) as p:
            main = p.window("FT_LumoraDVD_MainForm")
            panel_role = "FT_LumoraDVD_OperationForm"
            self.assertFalse(p.windows(panel_role), "docked: no floating panel")
            height = int(p.skin().value("SkinOpt", "i_ControlPanelHeight", "70"))
            # Drag the docked bar (its background, near its left end) out and up.
            by = main.y + main.h - height // 2
            press = (main.x + 8, by)
            release = (press[0] + 40, main.y - 150 if main.y > 200 else main.y + main.h + 150)
            p.drag(press, release, steps=15, hold=0.15)
            panel = p.window(panel_role, timeout=5)
            self.assertTrue(panel.visible())

            # Three 3-second files from a file manager: the first plays at once, and the
            # picture keeps moving for about nine seconds, as only a list of three can.
            main.refresh()
            self.assertEqual(p.drop_files(clips, (main.x + main.w // 2, main.y + main.h // 2)),
                             "dropped")
            started = time.time()

            def moving():
                a = main.grab()
                time.sleep(0.3)
                return a.difference(main.grab()) > 1.0
            wait_until(moving, 10, "the first file to play")
            for at in (4.5, 7.5):
                time.sleep(max(0.0, started + at - time.time()))
                self.assertTrue(moving(), "nothing plays %.1f s after the drop" % at)


if __name__ == "__main__":
    run_flows()
