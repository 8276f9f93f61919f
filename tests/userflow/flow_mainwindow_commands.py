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
    def test_disc_menu_keys_popup_chapter_and_full_screen(self):
        with Player(args=[sample_dvd()]) as p:
            main = p.window("FT_LumoraDVD_MainForm")
            panel_role = "FT_LumoraDVD_OperationForm"
            p.window(panel_role)

            def menu_shows():
                main.refresh()
                return p.grab().count(YELLOW, main.rect, tolerance=60) > 500
            wait_until(menu_shows, 20, "the disc's menu")

            # Arrow keys and Enter in the disc's menu: the second button plays title 2.
            p.focus(main)
            p.move(main.x + main.w // 2, main.y + 5)
            p.key("Down")
            time.sleep(0.5)
            p.key("Return")
            wait_until(lambda: digit_shown(p, panel_role, "DI_Title1", 2), 15, "title 2")
            wait_until(lambda: not menu_shows(), 5, "the menu to go")

            # The popup menu: Chapter, then "Chapter 2".
            main.refresh()
            cx, cy = main.x + main.w // 2, main.y + main.h // 2
            before = visible_ids(p)
            p.click(cx, cy, button=3)
            menu = new_window(p, before)
            top, item = menu_rows(p, menu)
            # Entries above Chapter: Play ... Repeat (6), a separator, Title.
            sep = (menu[3] - 2 * top - 17 * item) / 4.0
            chapter_y = menu[1] + top + 7 * item + sep + item // 2
            before = visible_ids(p)
            p.move(menu[0] + menu[2] // 2, int(chapter_y))
            sub = new_window(p, before)
            p.click(sub[0] + sub[2] // 2, sub[1] + top + item + item // 2)
            wait_until(lambda: digit_shown(p, panel_role, "DI_Chapter1", 2), 10, "chapter 2")
            # The status text says so, in lime over the picture.
            main.refresh()
            self.assertGreater(p.grab().count(LIME, main.rect), 30)

            # Full screen by double click; the bar slides in at the bottom edge; Escape leaves.
            geometry = (main.x, main.y, main.w, main.h)
            p.click(cx, cy, double=True)
            full = p.window("FT_LumoraDVD_FullScreenForm")
            self.assertEqual((full.x, full.y, full.w, full.h), (0, 0) + p.screen)
            strip = (0, p.screen[1] - 20, p.screen[0], 20)
            p.move(p.screen[0] // 2, p.screen[1] // 2)
            time.sleep(0.3)
            dark = p.grab().mean(strip)
            p.move(p.screen[0] // 2, p.screen[1] - 3)
            p.move(p.screen[0] // 2, p.screen[1] - 2)
            wait_until(lambda: sum(p.grab().mean(strip)) > sum(dark) + 30, 5, "the bar to show")
            bar_shot = os.environ.get("LUMORA_FLOW_SHOTS")
            if bar_shot:
                p.screenshot(os.path.join(bar_shot, "fullscreen-bar.png"))
            p.key("Escape")
            wait_until(lambda: not full.visible(), 5, "full screen to end")
            main.refresh()
            self.assertEqual((main.x, main.y, main.w, main.h), geometry)

    def test_dragging_the_bar_out_and_dropping_files(self):
        folder = tempfile.mkdtemp(prefix="lumora-flow-media-")
        sizes = ["640x480", "800x400", "600x600"]
        clips = [media_file(folder, "clip%d.mp4" % i, seconds=3, size=s)
                 for i, s in enumerate(sizes)]
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

            # Three files from a file manager: the first plays, then the others in order.
            main.refresh()
            shapes = []

            def shape():
                main.refresh()
                return round(main.w / float(main.h), 1)
            start_shape = shape()
            self.assertEqual(p.drop_files(clips, (main.x + main.w // 2, main.y + main.h // 2)),
                             "dropped")

            def moving():
                a = main.grab()
                time.sleep(0.3)
                return a.difference(main.grab()) > 1.0
            wait_until(moving, 10, "the first file to play")
            for _ in range(3):
                s = shape()
                if not shapes or shapes[-1] != s:
                    shapes.append(s)
            deadline = time.time() + 20
            while time.time() < deadline and len(set(shapes)) < 3:
                s = shape()
                if s != shapes[-1]:
                    shapes.append(s)
                time.sleep(0.2)
            # Each clip has its own proportions, and the window fits each in turn.
            self.assertGreaterEqual(len(set(shapes)), 3, "shapes seen: %s (start %s)" %
                                    (shapes, start_shape))


if __name__ == "__main__":
    run_flows()
