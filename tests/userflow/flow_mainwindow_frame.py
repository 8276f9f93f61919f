"""The main window under the mouse: dragged by its title strip, sized by its grip, its control
bar dragged out and back in, maximised and restored, minimised and brought back, with and
without a window manager. After each step the window's place and size, its cut corners and the
DVD picture in its video area are checked on the screen."""

import os
import shutil
import subprocess
import time
import unittest

from harness import KEY, Player, run_flows, sample_dvd, wait_until

CAPTION = "Lumora DVD Player Main Window"


def xprop(p, wid, prop):
    r = subprocess.run(["xprop", "-id", wid, prop], env=p.env(), capture_output=True, text=True)
    return r.stdout.strip()


def wm_close(p, win):
    """The window manager's own close on win (what its title-bar button or Alt+F4 does),
    asked for directly so no keyboard focus is involved."""
    subprocess.run(["wmctrl", "-i", "-c", hex(int(win.id))], env=p.env(), check=True)


def stacked_above(p, upper, lower):
    """Whether the window manager stacks upper above lower (bottom to top list)."""
    out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], env=p.env(),
                         capture_output=True, text=True).stdout
    ids = [int(i, 16) for i in out.split("#")[-1].replace(",", " ").split()]
    return ids.index(int(upper.id)) > ids.index(int(lower.id))


def settled(p, win):
    """Waits until win has kept its place and size for a second (the window manager has
    finished placing it)."""
    seen = {"rect": None, "since": 0.0}

    def still():
        r, now = win.refresh().rect, time.monotonic()
        if r != seen["rect"]:
            seen["rect"], seen["since"] = r, now
        return now - seen["since"] >= 1.0
    wait_until(still, 20, "window %s in place" % win.role, interval=0.1)


def dark(px):
    return max(px) <= 12


def yellow(px):
    return px[0] > 200 and px[1] > 200 and px[2] < 90


def menu_picture(img, win):
    """The DVD menu picture's rectangle on the screen, worked out from the highlighted first
    button, whose yellow frame spans x 200..519, y 140..219 of the 720 x 576 picture."""
    x0, y0, w, h = win
    x0, y0 = max(0, x0), max(0, y0)
    x1, y1 = min(img.width, x0 + w), min(img.height, y0 + h)
    xs, ys = [], []
    for y in range(y0, y1, 2):
        row = img.row(y, x0, x1)
        for i in range(0, len(row), 6):
            if row[i] > 200 and row[i + 1] > 200 and row[i + 2] < 90:
                xs.append(x0 + i // 3)
                ys.append(y)
    if len(xs) < 50:
        return None

    def any_yellow(xr, yr):
        return any(yellow(img.pixel(x, y)) for x in xr for y in yr
                   if 0 <= x < img.width and 0 <= y < img.height)
    # The coarse box, made exact a pixel at a time.
    bx0, bx1, by0, by1 = min(xs), max(xs), min(ys), max(ys)
    rows, cols = range(by0, by1 + 1), range(bx0, bx1 + 1)
    while any_yellow([bx0 - 1], rows):
        bx0 -= 1
    while any_yellow([bx1 + 1], rows):
        bx1 += 1
    while any_yellow(cols, [by0 - 1]):
        by0 -= 1
    while any_yellow(cols, [by1 + 1]):
        by1 += 1
    pw = (bx1 - bx0 + 1) * 720 / 320
    ph = (by1 - by0 + 1) * 576 / 80
    return (round(bx0 - 200 * pw / 720), round(by0 - 140 * ph / 576), round(pw), round(ph))


def bars(img, pic):
    """Widths of the black bars left, right, above and below the picture, each ending at the
    lit window frame; None when a side ends in something else."""
    px, py, pw, ph = pic
    my, mx = py + ph // 2, px + pw // 2

    def run(x, y, dx, dy):
        n = 0
        while 0 <= x < img.width and 0 <= y < img.height and dark(img.pixel(x, y)):
            x, y, n = x + dx, y + dy, n + 1
        return n if 0 <= x < img.width and 0 <= y < img.height else None
    # Step off the picture's own edge (scaling blurs a pixel or two) before counting.
    return (run(px - 4, my, -1, 0), run(px + pw + 3, my, 1, 0),
            run(mx, py - 4, 0, -1), run(mx, py + ph + 3, 0, 1))


def menu_fitted(p):
    """The main window once the disc's menu shows: a still 4:3 picture the window is fitted to
    (768 x 576 shown). Until then the window is still being placed and sized."""
    main = p.window("FT_LumoraDVD_MainForm")

    def fitted():
        r = menu_picture(p.grab(), main.refresh().rect)
        return r if r and abs(r[2] - 768) <= 3 and abs(r[3] - 576) <= 3 else None
    wait_until(fitted, 30, "the menu picture at its own size")
    return main


def control_rects(sk, section):
    """Where the skin puts each control of a window or frame (its background aside), as
    (left, top, width, height) with the largest of its pictures' sizes."""
    rects = []
    for key in sk.ini.options(next(s for s in sk.ini.sections() if s.lower() == section.lower())):
        rec = sk.record(section, key)
        if key == "image_background" or len(rec) < 6:
            continue
        left, top = sk.number(section, key, 6), sk.number(section, key, 5)
        w, h = sk.number(section, key, 7), sk.number(section, key, 8)
        for name in (rec[0], rec[3] if len(rec) > 3 else ""):
            if name and not name.lower().endswith(".bmp"):
                name += "0.bmp"  # a digit strip: Digits\Bar -> Digits\Bar0.bmp
            try:
                bmp = sk.bitmap(name) if name else None
            except Exception:
                bmp = None
            if bmp:
                w, h = max(w, bmp.width), max(h, bmp.height)
        rects.append((left, top, w, h))
    return rects


def background_spot(p, sk, section, origin):
    """A screen point of a window or frame where nothing but its background picture shows,
    as far from its controls as it gets: a press there reaches the window itself."""
    bg = sk.bitmap(sk.record(section, "Image_Background")[0])
    mask_name = sk.value(section, "MaskBmp", "No")
    mask = sk.bitmap(mask_name) if mask_name.lower() != "no" else None
    rects = control_rects(sk, section)
    img = p.grab()
    ox, oy = origin
    r, edge = 5, 15  # the window's rim is for its frame, not a handle
    best, best_d = None, -1
    for y in range(edge, bg.height - edge, 3):
        for x in range(edge, bg.width - edge, 3):
            d = min([max(rl - x, x - (rl + rw), rt - y, y - (rt + rh)) for rl, rt, rw, rh in rects]
                    or [99])
            if d <= best_d:
                continue
            block = [(x + i, y + j) for i in range(-r, r + 1) for j in range(-r, r + 1)]
            if all(bg.pixel(bx, by) != KEY and (mask is None or mask.pixel(bx, by) != KEY)
                   and img.pixel(ox + bx, oy + by) == bg.pixel(bx, by) for bx, by in block):
                best, best_d = (ox + x, oy + y), d
    if best is None:
        raise AssertionError("no bare background in %s" % section)
    return best


def bar_origin(p, sk):
    """The docked control bar's top-left corner on the screen, from one of its buttons."""
    section = "FT_LumoraDVD_ControlFrame"
    for key in ("skImageButton_VolumeUp", "skImageButton_VolumeDown", "skImageButton_Mute"):
        try:
            x, y, _, _ = p.find_control(section, key, skin=sk, window="FT_LumoraDVD_MainForm")
        except AssertionError:
            continue
        return x - sk.number(section, key, 6), y - sk.number(section, key, 5)
    raise AssertionError("the control bar is not in the main window")


def wait_rect(win, rect, what, timeout=10):
    """Waits for win to have exactly rect; the failure names where it is instead."""
    try:
        wait_until(lambda: win.refresh().rect == tuple(rect), timeout, what)
    except AssertionError as e:
        raise AssertionError("%s: %s is at %s, not %s" % (e, win.role, win.rect, tuple(rect)))


class FrameFlow(unittest.TestCase):
    skin_name = "Aqua"

    def start(self, p):
        return menu_fitted(p), p.skin()

    def assert_picture_fills(self, p, main):
        """Keep Aspect Ratio: the 4:3 picture touches two opposite sides of the video area,
        with black bars of equal width on the other two, or fills it exactly."""
        def placed():
            img = p.grab()
            pic = menu_picture(img, main.refresh().rect)
            if not pic or abs(pic[2] / pic[3] - 4 / 3) > 0.03:
                return None
            b = bars(img, pic)
            if None in b:
                return None
            left, right, top, bottom = b
            across = left <= 3 and right <= 3 and abs(top - bottom) <= 3
            down = top <= 3 and bottom <= 3 and abs(left - right) <= 3
            return pic if across or down else None
        return wait_until(placed, 10, "the picture to fill the video area in proportion")

    def assert_corners_cut(self, p, main, sk, docked=True):
        """Every key-coloured pixel of the corner pictures shows the desktop behind."""
        img = p.grab()
        background = img.pixel(0, p.screen[1] - 1)
        bar = int(sk.value("SkinOpt", "i_ControlPanelHeight", "70"))
        # (picture, right side, distance of its bottom from the window's foot or None at the top)
        corners = [("CLT.bmp", 0, None), ("CRT.bmp", 1, None)]
        if docked:
            corners += [("CCL.bmp", 0, 0), ("CCR.bmp", 1, 0)]
            unused = [("CLB.bmp", 0, bar), ("CRB.bmp", 1, bar)]
        else:
            corners += [("CLB.bmp", 0, 0), ("CRB.bmp", 1, 0)]
            unused = []

        def keyed(name, right, foot):
            bmp = sk.bitmap(name)
            ox = main.x + (main.w - bmp.width if right else 0)
            oy = main.y + (0 if foot is None else main.h - foot - bmp.height)
            return [((x, y), (ox + x, oy + y)) for y in range(bmp.height)
                    for x in range(bmp.width) if bmp.pixel(x, y) == KEY]
        checked = 0
        for name, right, foot in corners:
            if not os.path.exists(os.path.join(sk.folder, name)):
                continue
            for (x, y), at in keyed(name, right, foot):
                self.assertEqual(img.pixel(*at), background,
                                 "%s pixel %d,%d is not cut" % (name, x, y))
                checked += 1
        self.assertGreater(checked, 0, "the skin cuts no corner")
        # The picture frame's own foot corners are cut only while nothing is docked below it.
        for name, right, foot in unused:
            if os.path.exists(os.path.join(sk.folder, name)):
                self.assertTrue(any(img.pixel(*at) != background
                                    for _, at in keyed(name, right, foot)),
                                "%s is cut while the bar is docked" % name)
        # Inside the corners the window is drawn.
        self.assertNotEqual(img.pixel(main.x + main.w // 2, main.y + 3), background)

    def test_drag_resize_and_click_a_menu_button_without_a_window_manager(self):
        with Player(args=[sample_dvd()], skin=self.skin_name,
                    options={"b_DisplayControlPanel": 1}) as p:
            main, sk = self.start(p)
            fitted_w = main.w
            # The title is exactly the caption, and the window carries an icon.
            self.assertEqual(xprop(p, main.id, "WM_NAME"), 'WM_NAME(STRING) = "%s"' % CAPTION)
            self.assertIn("_NET_WM_ICON(CARDINAL)", xprop(p, main.id, "_NET_WM_ICON"))
            self.assert_corners_cut(p, main, sk)

            # Dragged by the title picture, the window follows the pointer exactly.
            tx, ty, tw, th = p.find_control("FT_LumoraDVD_MainForm", "Image_Top_InCenter")
            x0, y0 = main.x, main.y
            p.drag((tx + tw // 2, ty + th // 2), (tx + tw // 2 - 150, ty + th // 2 + 60))
            wait_until(lambda: main.refresh().x == x0 - 150 and main.y == y0 + 60, 10,
                       "the window moved by the drag")
            self.assert_corners_cut(p, main, sk)
            self.assert_picture_fills(p, main)

            # Dragged by its right edge to the screen's left side, 20 pixels of it stay on the
            # screen, and that edge drags it back.
            edge = 2
            mid = main.y + main.h // 2
            p.drag((main.x + main.w - edge, mid), (0, mid))
            wait_until(lambda: main.refresh().x == 20 - main.w, 10, "20 pixels left on screen")
            p.drag((20 - edge, mid), (20 - edge + main.w + 30, mid))
            wait_until(lambda: main.refresh().x == 50, 10, "the window dragged back")

            # The grip sizes the window; the corners and the picture follow.
            gx, gy, gw, gh = p.find_control("FT_LumoraDVD_MainForm", "skImageButton_Resizer")
            w0, h0 = main.w, main.h
            p.drag((gx + gw // 2, gy + gh // 2), (gx + gw // 2 - 100, gy + gh // 2 + 90))
            wait_until(lambda: main.refresh().w == w0 - 100 and main.h == h0 + 90, 10,
                       "the window sized by the grip")
            self.assert_corners_cut(p, main, sk)
            pic = self.assert_picture_fills(p, main)

            # The skin's minimum holds however far the grip goes.
            gx, gy, gw, gh = p.find_control("FT_LumoraDVD_MainForm", "skImageButton_Resizer")
            p.drag((gx + gw // 2, gy + gh // 2), (0, gy + gh // 2))
            min_w = int(sk.value("SkinOpt", "i_MainWindowMinWidth"))
            wait_until(lambda: main.refresh().w == min_w, 10, "the minimum width")
            self.assert_corners_cut(p, main, sk)
            self.assert_picture_fills(p, main)

            self.undock_and_dock_by_mouse(p, main, sk)
            pic = self.assert_picture_fills(p, main)
            self.click_title_3(p, main, pic, fitted_w)

    def undock_and_dock_by_mouse(self, p, main, sk):
        """The docked bar dragged out by its background becomes the floating panel where the
        drag left it, and the window loses the bar's height; the panel dragged onto the
        window's foot docks again and the window gets that height back."""
        role = "FT_LumoraDVD_OperationForm"
        bar = int(sk.value("SkinOpt", "i_ControlPanelHeight", "70"))
        pw = int(sk.value(role, "DefaultWidth"))
        ph = int(sk.value(role, "DefaultHeight"))
        self.assertFalse(p.windows(role), "docked: no floating panel")
        before = main.refresh().rect

        # The floating panel takes the place of the outline the drag carries, which starts
        # centred on the bar's strip; this one is to end beside the window.
        press = background_spot(p, sk, "FT_LumoraDVD_ControlFrame", bar_origin(p, sk))
        outline = (main.x + (main.w - pw) // 2, main.y + main.h - bar)
        target = (min(main.x + main.w + 40, p.screen[0] - pw - 20), main.y + 30)
        release = (press[0] + target[0] - outline[0], press[1] + target[1] - outline[1])
        p.drag(press, release, steps=15, hold=0.15)
        panel = p.window(role, timeout=10)
        wait_rect(main, before[:3] + (before[3] - bar,), "the window shorter by the bar")
        self.assertEqual(panel.refresh().rect, target + (pw, ph))
        sw, sh = p.screen
        self.assertTrue(10 <= panel.x and panel.x + panel.w <= sw - 10 and
                        10 <= panel.y and panel.y + panel.h <= sh - 10,
                        "panel %s not wholly on the screen" % (panel.rect,))
        p.find_control(role, "skImageButton_VolumeUp", skin=sk)  # drawn, not an empty frame
        self.assert_corners_cut(p, main, sk, docked=False)
        self.assert_picture_fills(p, main)

        # Dragged by its background until its top meets the window's foot, it docks.
        press = background_spot(p, sk, role, (panel.x, panel.y))
        target = (main.x + (main.w - pw) // 2, main.y + main.h)
        p.drag(press, (press[0] + target[0] - panel.x, press[1] + target[1] - panel.y),
               steps=15, hold=0.15)
        wait_rect(main, before, "the window taller by the bar again")
        wait_until(lambda: not panel.visible(), 10, "the floating panel gone")
        bar_origin(p, sk)  # the bar is back in the window
        self.assert_corners_cut(p, main, sk, docked=True)

    def click_title_3(self, p, main, pic, fitted_w):
        """A click on the menu's "Title 3" button (720 x 576 picture: x 200..520, y 380..460)
        starts that title. It is the only 4:3 title, so the window refits to the width it had
        for the 4:3 menu; a click landing on another button would start a 16:9 title and a
        wider window. Its bright test pattern replaces the dark menu."""
        cx = pic[0] + pic[2] * 360 // 720
        cy = pic[1] + pic[3] * 420 // 576
        p.click(cx, cy)

        def title_started():
            main.refresh()
            if abs(main.w - fitted_w) > 2:
                return False
            x, y, w, h = main.rect
            return sum(p.grab().mean((x + w // 4, y + h // 4, w // 2, h // 3))) / 3 > 80
        wait_until(title_started, 20, "title 3 in place of the menu")

    def test_maximise_restore_minimise_and_exit_without_a_window_manager(self):
        with Player(args=[sample_dvd()], skin=self.skin_name,
                    options={"b_DisplayControlPanel": 1}) as p:
            main, sk = self.start(p)
            before = main.rect
            p.click_control("FT_LumoraDVD_MainForm", "skImageButton_Max")
            wait_until(lambda: main.refresh().rect == (0, 0) + p.screen, 10, "the maximised layout")
            self.assert_picture_fills(p, main)
            # No drag while maximised.
            p.drag((main.w // 2, 8), (main.w // 2 + 200, 208))
            time.sleep(0.3)
            self.assertEqual(main.refresh().rect, (0, 0) + p.screen)
            p.click_control("FT_LumoraDVD_MainForm", "skImageButton_Restore")
            wait_until(lambda: main.refresh().rect == before, 10, "the window restored")
            self.assert_corners_cut(p, main, sk)
            self.assert_picture_fills(p, main)

            # With nothing to iconify it, Min takes the window off the screen until the player
            # is started again.
            p.click_control("FT_LumoraDVD_MainForm", "skImageButton_Min")
            wait_until(lambda: not main.visible(), 10, "the window gone")
            subprocess.run([p.proc.args[0], sample_dvd()], env=p.env(), timeout=20)
            wait_until(main.visible, 10, "the window back after a second start")

            # Exit closes the player promptly and keeps its options.
            x, y, w, h = p.find_control("FT_LumoraDVD_MainForm", "skImageButton_Exit")
            os.remove(os.path.join(p.home, "Option.ini"))
            p.click(x + w // 2, y + h // 2)
            self.assertEqual(p.wait_exit(10), 0)
            self.assertIn("Skin/%s/" % self.skin_name, p.option("CurrentSkinPath"))


class WindowManagerFlow(unittest.TestCase):
    def test_under_a_window_manager(self):
        if shutil.which("wmctrl") is None:
            self.skipTest("wmctrl is missing")
        with Player(args=[sample_dvd()], skin="Graphite", wm="openbox",
                    options={"b_DisplayControlPanel": 0}) as p:
            main = menu_fitted(p)
            settled(p, main)
            panel = p.window("FT_LumoraDVD_OperationForm")
            self.assertEqual(xprop(p, main.id, "WM_NAME"), 'WM_NAME(STRING) = "%s"' % CAPTION)
            # Only the main window belongs in a task bar: the panel is a utility window that
            # belongs to it.
            owner = xprop(p, panel.id, "WM_TRANSIENT_FOR").split("#")[-1].strip()
            self.assertEqual(int(owner, 16), int(main.id))
            self.assertIn("_NET_WM_WINDOW_TYPE_UTILITY", xprop(p, panel.id, "_NET_WM_WINDOW_TYPE"))
            self.assertNotIn("_NET_WM_STATE_ABOVE", xprop(p, panel.id, "_NET_WM_STATE"))
            # It stays above its window, at start and when the window is clicked.
            wait_until(lambda: stacked_above(p, panel, main), 10, "the panel above the window")
            tx, ty, tw, th = p.find_control("FT_LumoraDVD_MainForm", "Image_Top_InCenter")
            p.click(tx + tw // 2, ty + th // 2)
            wait_until(lambda: stacked_above(p, panel, main), 10,
                       "the panel above the clicked window")

            # The window manager moves the window the way the frame drag asks. Once it read
            # (0, 0) here while the window stood centred, so the start is taken once it holds.
            settled(p, main)
            tx, ty, tw, th = p.find_control("FT_LumoraDVD_MainForm", "Image_Top_InCenter")
            x0, y0 = main.refresh().x, main.y
            p.drag((tx + tw // 2, ty + th // 2), (tx + tw // 2 + 80, ty + th // 2 + 40))
            try:
                wait_until(lambda: main.refresh().x == x0 + 80 and main.y == y0 + 40, 10,
                           "the window moved under the window manager")
            except AssertionError as e:
                raise AssertionError("%s: from %s to %s, not %s" %
                                     (e, (x0, y0), (main.x, main.y), (x0 + 80, y0 + 40)))

            # Minimised by the window manager, the panel goes with it and comes back with it.
            p.click_control("FT_LumoraDVD_MainForm", "skImageButton_Min")
            wait_until(lambda: not main.visible() and not panel.visible(), 10, "both minimised")
            p.xdotool("windowactivate", main.id, check=False)
            wait_until(lambda: main.visible() and panel.visible(), 10, "both restored")

            # The window manager's close on the floating panel docks the bar instead of losing it.
            h0 = main.refresh().h
            bar = int(p.skin().value("SkinOpt", "i_ControlPanelHeight"))
            wm_close(p, panel)
            wait_until(lambda: main.refresh().h == h0 + bar, 10, "the bar docked")
            self.assertFalse(panel.visible())

            # Closing the main window ends the player within 300 ms, options saved.
            os.remove(os.path.join(p.home, "Option.ini"))
            t0 = time.monotonic()
            wm_close(p, main)
            self.assertEqual(p.wait_exit(10), 0)
            elapsed = time.monotonic() - t0
            self.assertEqual(p.option("b_DisplayControlPanel"), "1")
            print("main window closed -> process ended: %.0f ms" % (elapsed * 1000))


if __name__ == "__main__":
    run_flows()
