"""Every menu of the control panel opens where the user clicks, with every shipped skin, and
the panel and its menus are kept as screenshots (LUMORA_FLOW_SHOTS names the folder)."""

import os
import shutil
import tempfile
import unittest

from harness import Player, run_flows, sample_dvd, wait_until

PANEL = "FT_LumoraDVD_OperationForm"
SKINS = ("Default", "Aqua", "Graphite")


class ControlPanelMenusFlow(unittest.TestCase):
    def setUp(self):
        self.fake = tempfile.mkdtemp(prefix="lumora-drive-")
        os.makedirs(os.path.join(self.fake, "block", "sr0"))
        os.makedirs(os.path.join(self.fake, "block", "sr1"))
        os.makedirs(os.path.join(self.fake, "dev"))
        os.symlink(sample_dvd("sample.iso"), os.path.join(self.fake, "dev", "sr0"))
        self.shots = os.environ.get("LUMORA_FLOW_SHOTS") or os.path.join(self.fake, "shots")

    def tearDown(self):
        shutil.rmtree(self.fake, ignore_errors=True)

    def popup(self, p, button, role, name, mouse=1):
        """Clicks a panel button, waits for its menu and keeps a picture of it."""
        x, y, w, h = p.find_control(PANEL, button)
        p.click(x + w // 2, y + h // 2, button=mouse)
        menu = p.window(role)
        # The menu opens at the pointer.
        self.assertLess(abs(menu.x - (x + w // 2)) + abs(menu.y - (y + h // 2)), 60,
                        (role, menu.rect, (x, y)))
        self.assertGreater(menu.h, 10)
        p.screenshot(os.path.join(self.shots, "%s-%s.png" % (self.skin, name)))
        p.key("Escape")
        wait_until(lambda: not menu.visible(), 5, role + " to close")
        return menu

    def test_menus_with_every_skin(self):
        os.makedirs(self.shots, exist_ok=True)
        env = {"LUMORA_SYSFS_BLOCK": os.path.join(self.fake, "block"),
               "LUMORA_DEV_DIR": os.path.join(self.fake, "dev"), "LANG": "en_US.UTF-8"}
        for skin in SKINS:
            self.skin = skin
            with self.subTest(skin=skin), Player(env=env, skin=skin) as p:
                panel = p.window(PANEL)
                sk = p.skin()
                self.assertEqual((panel.w, panel.h),
                                 (int(sk.value(PANEL, "DefaultWidth")),
                                  int(sk.value(PANEL, "DefaultHeight"))))
                p.screenshot(os.path.join(self.shots, "%s-panel.png" % skin))
                # Two drives (one empty, one with the disc), a separator and the three entries.
                disc = self.popup(p, "skImageButton_Open", "PopupMenu_Disc", "open-menu")
                # A right click on eject always gives the drive menu.
                self.popup(p, "skImageButton_Eject", "PopupMenu_Driver", "eject-menu", mouse=3)
                # While nothing plays the DVD and rate buttons open nothing.
                p.click_control(PANEL, "skImageButton_PlaybackRate")
                self.assertFalse(p.xdotool("search", "--onlyvisible", "--role",
                                           "PopupMenu_Playbackrate", check=False).split())
                # Play the disc from the open menu's drive entry (the first entry).
                p.click_control(PANEL, "skImageButton_Open")
                p.window("PopupMenu_Disc")
                p.key("Home", "Return")
                wait_until(lambda: self._enabled(p, "skImageButton_Menu"), 20, "DVD controls")
                self.popup(p, "skImageButton_Menu", "PopupMenu_Menu", "dvd-menu")
                self.popup(p, "skImageButton_SubPicture", "PopupMenu_Subpicture", "subtitle-menu")
                self.popup(p, "skImageButton_Language", "PopupMenu_Language", "audio-menu")
                self.popup(p, "skImageButton_PlaybackRate", "PopupMenu_Playbackrate", "rate-menu")
                p.screenshot(os.path.join(self.shots, "%s-panel-playing.png" % skin))
                self.assertGreater(disc.h, 0)

    def _enabled(self, p, key):
        try:
            p.find_control(PANEL, key, timeout=0.5)
            return True
        except AssertionError:
            return False


if __name__ == "__main__":
    run_flows()
