"""The settings dialog as a user meets it: opened from the video area's popup menu while the
sample DVD plays, the brightness previewed on the picture and undone by Cancel, another skin
chosen for every window, and TV channels scanned, one marked as a favourite and tuned from the
side panel. The dialog is the desktop's own kind of window, so it is worked with the keyboard
the way its tab order offers; everything is judged by what the screen shows."""

import os
import time
import unittest

from harness import BIN_DIR, Player, run_flows, sample_dvd, wait_until

SHOTS = os.environ.get("LUMORA_FLOW_SHOTS")


class SettingsFlow(unittest.TestCase):
    def shot(self, p, name):
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            p.screenshot(os.path.join(SHOTS, name + ".png"))

    def open_setup(self, p, main):
        """Right click in the video area, then the popup's entry above "Exit": "Setup..."."""
        main.refresh()
        before = set(p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                               check=False).split())
        p.click(main.x + main.w // 2, main.y + main.h // 2, button=3)
        # The keys go to the popup only once it is up.
        wait_until(lambda: set(p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid,
                                         "", check=False).split()) - before, 10, "the popup menu")
        time.sleep(0.2)
        p.key("Up", "Up", "Return")
        dialog = p.window("FT_LumoraDVD_SetupForm")
        time.sleep(0.5)
        p.focus(dialog)
        return dialog

    def visible_video(self, main, dialog):
        """The part of the video area beside the dialog: the picture a user still sees."""
        main.refresh()
        dialog.refresh()
        top = main.y + main.h // 4
        height = main.h // 2
        left = main.x + 30
        right = min(main.x + main.w - 30, dialog.x - 10) if dialog.x > left else main.x + main.w - 30
        if dialog.x <= left:  # the dialog covers the left part: use the right of it
            left = dialog.x + dialog.w + 10
        self.assertGreater(right - left, 60, "no part of the video is left uncovered")
        return (left, top, right - left, height)

    def window_looks(self, p, roles):
        looks = {}
        for role in roles:
            w = p.window(role)
            looks[role] = (w.rect, w.grab())
        return looks

    def wait_for_box(self, p, known):
        """A message box: a visible top-level window none of the known ones."""
        def find():
            ids = p.xdotool("search", "--onlyvisible", "--name", ".", check=False).split()
            fresh = [i for i in ids if i not in known]
            for i in fresh:
                name = p.xdotool("getwindowname", i, check=False).strip()
                # The desktop shows the box's caption, perhaps followed by the program's name.
                if name == "LumoraDVD" or name.startswith("LumoraDVD "):
                    return i
            return None
        return wait_until(find, 20, "a message box")

    def test_preview_cancel_skin_and_tv_favourite(self):
        with Player(args=[sample_dvd()], env={"LUMORA_TV": "sim:2,5,9"}) as p:
            main = p.window("FT_LumoraDVD_MainForm")

            # The disc waits in its still menu: the DVD plays, and nothing moves on its own,
            # so the picture before, during and after the preview can be compared.
            wait_until(lambda: p.grab().count((255, 255, 0), main.refresh().rect,
                                              tolerance=60) > 500, 30, "the disc's menu")

            # 1. The dialog opens from the popup menu; moving the brightness slider (Tab from the
            # page tabs to it, End for its top) brightens the picture at once.
            dialog = self.open_setup(p, main)
            area = self.visible_video(main, dialog)
            before = p.grab()
            self.shot(p, "1-dialog-open")
            p.key("Tab", "End")
            base = sum(before.mean(area))
            wait_until(lambda: sum(p.grab().mean(area)) > base + 120, 10,
                       "the picture to brighten")
            self.shot(p, "2-brightened")

            # 2. Cancel (Escape) gives the picture back as it was.
            p.key("Escape")
            wait_until(lambda: not dialog.visible(), 10, "the dialog to close")
            wait_until(lambda: abs(sum(p.grab().mean(area)) - base) < 25, 10,
                       "the picture to return")

            # 3. Another shipped skin, chosen on the skin page and confirmed with OK, reskins
            # every window.
            roles = ["FT_LumoraDVD_MainForm", "FT_LumoraDVD_OperationForm"]
            if p.xdotool("search", "--onlyvisible", "--role", "FT_LumoraDVD_SubForm",
                         check=False).split():
                roles.append("FT_LumoraDVD_SubForm")
            old = self.window_looks(p, roles)
            dialog = self.open_setup(p, main)
            p.key("ctrl+Tab", "Tab", "Down")
            time.sleep(0.5)
            self.shot(p, "3-skin-chosen")
            p.key("Return")
            wait_until(lambda: not dialog.visible(), 10, "the dialog to close")

            def reskinned():
                new = self.window_looks(p, roles)
                for role in roles:
                    (r0, g0), (r1, g1) = old[role], new[role]
                    if r0[2:] == r1[2:] and g0.difference(g1) < 8:
                        return None
                return new
            wait_until(reskinned, 20, "every window to show the other skin")
            self.shot(p, "4-new-skin")

            # 4. TV: scan (the DVD stops, TV starts), mark channel 5 as a favourite, OK, and
            # tune it from the side panel's favourites.
            main = p.window("FT_LumoraDVD_MainForm")
            dialog = self.open_setup(p, main)
            known = p.xdotool("search", "--onlyvisible", "--name", ".", check=False).split()
            p.key("ctrl+Tab", "ctrl+Tab", "Tab", "Tab", "space")
            box = self.wait_for_box(p, known)
            self.shot(p, "5-scan-finished")
            p.xdotool("windowfocus", "--sync", box, check=False)
            p.key("Return")
            wait_until(lambda: box not in p.xdotool("search", "--onlyvisible", "--name", ".",
                                                   check=False).split(), 10, "the box to close")
            # Without a window manager the keyboard goes back to the dialog by hand.
            p.focus(dialog)
            area = self.visible_video(main, dialog)
            # Back on the list: the second row is channel 5, which tunes at once.
            shown = p.grab()
            p.key("shift+Tab", "Home", "Down")
            # The channels' pictures differ clearly; the moving pattern within one does not.
            five = wait_until(lambda: (lambda g: g if g.difference(shown, area) > 30 else None)(
                p.grab()), 15, "channel 5 to be tuned from the list")
            time.sleep(0.5)
            five = p.grab()
            p.key("Tab", "Tab", "Tab", "space")
            time.sleep(0.3)
            self.shot(p, "6-favourite")
            # Channel 9 next, so that tuning from the side panel has to change the picture.
            p.key("shift+Tab", "shift+Tab", "shift+Tab", "Down")
            nine = wait_until(lambda: (lambda g: g if g.difference(five, area) > 30 else None)(
                p.grab()), 15, "channel 9 to be tuned from the list")
            p.key("Return")
            wait_until(lambda: not dialog.visible(), 10, "the dialog to close")
            with open(os.path.join(p.home, "TVChannel.ini"), encoding="utf-8") as f:
                stored = f.read()
            self.assertIn("Count=3", stored)
            self.assertIn("ChannelFavorite2=Y", stored)

            self.tune_favourite_from_side_panel(p, main)

            def shows_five():
                now = p.grab()
                return now.difference(five, area) * 2 < now.difference(nine, area)
            wait_until(shows_five, 15, "channel 5's picture")
            self.shot(p, "8-tuned-from-side-panel")

    def steady(self, p, window):
        """The window's picture once two grabs a moment apart agree."""
        last = [window.grab()]

        def settled():
            time.sleep(0.3)
            now = window.grab()
            same = now.rgb == last[0].rgb
            last[0] = now
            return now if same else None
        return wait_until(settled, 15, "the window to settle")

    def skin_shown(self, p):
        """The shipped skin whose TV button the main window shows."""
        folder = os.path.join(BIN_DIR, "Skin")
        for name in sorted(os.listdir(folder)):
            if name == "Default" or not os.path.isdir(os.path.join(folder, name)):
                continue
            try:
                p.find_control("FT_LumoraDVD_MainForm", "skImageButton_TV", skin=p.skin(name),
                               timeout=1)
                return p.skin(name)
            except AssertionError:
                continue
        self.fail("the main window shows none of the other shipped skins")

    def tune_favourite_from_side_panel(self, p, main):
        """The side panel's TV page, its favourites view, and a double click on its only row."""
        skin = self.skin_shown(p)
        # The main window's TV button shows the side panel on its TV page.
        p.click_control("FT_LumoraDVD_MainForm", "skImageButton_TV", skin=skin)
        side = p.window("FT_LumoraDVD_SubForm")
        every = self.steady(p, side)
        fx, fy, fw, fh = p.find_control("FT_LumoraDVD_SubForm", "skImageButton_TVFavorit",
                                        skin=skin)
        p.click(fx + fw // 2, fy + fh // 2)
        p.move(p.screen[0] - 1, p.screen[1] - 1)
        below = fy + fh - side.y
        wait_until(lambda: side.grab().difference(every, (0, below, side.w, side.h - below)) > 0,
                   10, "the favourites view")
        favourites = self.steady(p, side)
        self.shot(p, "7-favourites-view")
        # The rows lie below the view buttons, where the two views differ: three channels
        # became the one favourite.
        changed = [y for y in range(below, min(every.height, favourites.height))
                   if every.row(y) != favourites.row(y)]
        self.assertTrue(changed, "the favourites view shows the same as all channels")
        top = changed[0]
        a, b = every.row(top), favourites.row(top)
        left = next(i for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3]) // 3
        p.click(side.x + left + 4, side.y + top + 5, double=True)


if __name__ == "__main__":
    run_flows()
