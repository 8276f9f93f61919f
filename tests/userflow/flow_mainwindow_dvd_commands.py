"""The main window's commands on the sample DVD as a user meets them: arrow keys and Enter in
the disc's menu, a chapter chosen from the popup menu, and full screen by double click with the
sliding bar and Escape."""

import time
import unittest

from harness import Player, run_flows, sample_dvd, wait_until

YELLOW = (255, 255, 0)  # the sample disc's selected-button frame
PANEL = "FT_LumoraDVD_OperationForm"
MAIN = "FT_LumoraDVD_MainForm"


def visible_ids(p):
    return p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                     check=False).split()


def geometry(p, wid):
    out = p.xdotool("getwindowgeometry", "--shell", wid)
    g = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


def new_window(p, before, timeout=5):
    """Geometry of a window of the player that appeared since `before` (ids), or None."""
    def find():
        fresh = [i for i in visible_ids(p) if i not in before]
        return fresh[-1] if fresh else None
    try:
        return geometry(p, wait_until(find, timeout, "a new window"))
    except AssertionError:
        return None


def yellow_centre(p, rect):
    """Mean height (relative to rect) of the selected button's yellow frame, or None."""
    img = p.grab().crop(rect)
    total = n = 0
    for y in range(0, img.height, 2):
        row = img.row(y)
        for i in range(0, len(row), 6):
            if row[i] > 200 and row[i + 1] > 200 and row[i + 2] < 80:
                total += y
                n += 1
    return total / n if n > 200 else None


def digit_shown(p, key, digit):
    """Whether the control panel's digit control `key` shows `digit` as the skin draws it."""
    skin = p.skin()
    pic = skin.bitmap(skin.record(PANEL, key)[0].replace("\\", "/") + "%d.bmp" % digit)
    win = p.window(PANEL)
    left, top = skin.number(PANEL, key, 6), skin.number(PANEL, key, 5)
    hits = p.grab().crop(win.rect).find(pic, near=(left, top), limit=1)
    return bool(hits) and abs(hits[0][0] - left) <= 2 and abs(hits[0][1] - top) <= 2


def highlight_band(before, after, width):
    """Rows where the keyboard highlight changed a menu's middle third."""
    return [r for r in range(before.height)
            if before.difference(after, (width // 3, r, width // 3, 1)) > 40]


class DvdCommandsFlow(unittest.TestCase):
    def start_in_menu(self, p):
        main = p.window(MAIN)
        p.window(PANEL)
        wait_until(lambda: yellow_centre(p, main.refresh().rect) is not None, 30,
                   "the disc's menu with its first button selected")
        # The keys go to the main window; the pointer rests on the picture beside the disc's
        # buttons, where moving it selects none of them.
        p.focus(main)
        p.move(main.x + main.w // 12, main.y + main.h * 2 // 3)
        return main

    def test_arrows_and_enter_in_the_disc_menu_start_the_chosen_title(self):
        with Player(args=[sample_dvd()]) as p:
            main = self.start_in_menu(p)
            first = yellow_centre(p, main.rect)
            p.key("Down")
            wait_until(lambda: (yellow_centre(p, main.rect) or first) > first + main.h // 10,
                       10, "the highlight to move to the second button")
            second = yellow_centre(p, main.rect)
            p.key("Down")
            wait_until(lambda: (yellow_centre(p, main.rect) or second) > second + main.h // 10,
                       10, "the highlight to move to the third button")
            self.assertFalse(digit_shown(p, "DI_Title1", 3), "no title is playing yet")
            p.key("Return")
            # Title 3 plays: the panel's title digit says so.
            wait_until(lambda: digit_shown(p, "DI_Title1", 3), 20, "title 3 in the panel")

    def test_a_chapter_chosen_from_the_popup_menu_plays(self):
        with Player(args=[sample_dvd()]) as p:
            main = self.start_in_menu(p)
            p.key("Return")  # title 1, the one with three chapters
            wait_until(lambda: digit_shown(p, "DI_Title1", 1), 20, "title 1 in the panel")
            wait_until(lambda: digit_shown(p, "DI_Chapter1", 1), 10, "chapter 1 in the panel")
            main.refresh()
            before = visible_ids(p)
            p.click(main.x + main.w // 12, main.y + main.h * 2 // 3, button=3)
            menu = new_window(p, before)
            self.assertIsNotNone(menu, "no popup menu on the right button")
            mx, my, mw, mh = menu
            # Walk the menu with the keys: the Chapter submenu is the one with three rows.
            idle = p.grab().crop(menu)
            p.key("Down")
            time.sleep(0.3)
            band = highlight_band(idle, p.grab().crop(menu), mw)
            self.assertTrue(band, "no highlight in the popup menu")
            row = band[-1] - band[0] + 1
            chapters = None
            for _ in range(20):
                shown = visible_ids(p)
                p.key("Right")
                sub = new_window(p, shown, timeout=1.5)
                if sub:
                    rows = round((sub[3] - 8) / row)
                    if rows == 3:
                        chapters = sub
                        break
                    p.key("Left")
                    wait_until(lambda: len(visible_ids(p)) == len(shown), 5, "the submenu to close")
                p.key("Down")
                time.sleep(0.15)
            self.assertIsNotNone(chapters, "no three-row Chapter submenu in the popup menu")
            sx, sy, sw, sh = chapters
            # Click "Chapter 3", the last row.
            p.click(sx + sw // 2, sy + sh * 5 // 6)
            wait_until(lambda: digit_shown(p, "DI_Chapter1", 3), 15, "chapter 3 in the panel")
            self.assertTrue(digit_shown(p, "DI_Title1", 1), "the title stays")

    def test_full_screen_by_double_click_shows_the_bar_at_the_bottom_and_escape_leaves(self):
        with Player(args=[sample_dvd()], options={"b_DisplayControlPanel": "1"}) as p:
            main = p.window(MAIN)
            wait_until(lambda: yellow_centre(p, main.refresh().rect) is not None, 30,
                       "the disc's menu")
            home = main.rect
            # Away from the disc's buttons, so the double click is not a button press.
            p.click(main.x + main.w // 8, main.y + main.h // 2, double=True)
            full = p.window("FT_LumoraDVD_FullScreenForm")
            sw, sh = p.screen
            wait_until(lambda: full.refresh().rect == (0, 0, sw, sh), 10,
                       "the full-screen window to cover the screen")
            skin = p.skin()
            section = "FT_LumoraDVD_ControlFrame"
            play = skin.bitmap(skin.record(section, "skImageButton_Play")[0].replace("\\", "/"))
            bar_h = int(skin.value("SkinOpt", "i_ControlPanelHeight", "70"))
            strip = (0, sh - bar_h, sw, bar_h)

            def bar_play_button():
                return p.grab().crop(strip).find(play, limit=1)
            p.move(sw // 2, sh // 3)
            time.sleep(0.5)
            self.assertFalse(bar_play_button(), "the bar shows before the pointer comes down")
            p.move(sw // 2, sh - 3)
            wait_until(bar_play_button, 10, "the bar to slide in at the bottom")
            p.move(sw // 2, sh // 3)
            wait_until(lambda: not bar_play_button(), 10, "the bar to go when the pointer leaves")
            p.key("Escape")
            wait_until(lambda: not full.visible(), 10, "full screen to end")
            wait_until(lambda: main.refresh().rect == home, 10, "the main window back in place")


if __name__ == "__main__":
    run_flows()
