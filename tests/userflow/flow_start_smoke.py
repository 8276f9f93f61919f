"""The player starts on the sample DVD, shows its windows as the skin draws them, plays the
disc's menu, and keeps its options when the desktop ends it."""

import unittest

from harness import Player, run_flows, sample_dvd, wait_until


class StartFlow(unittest.TestCase):
    def test_dvd_start_shows_the_skin_and_the_menu_then_saves_on_terminate(self):
        with Player(args=[sample_dvd()]) as p:
            main = p.window("FT_LumoraDVD_MainForm")
            panel = p.window("FT_LumoraDVD_OperationForm")
            skin = p.skin()
            # The control panel is exactly as large as its skin says.
            self.assertEqual((panel.w, panel.h),
                             (int(skin.value("FT_LumoraDVD_OperationForm", "DefaultWidth")),
                              int(skin.value("FT_LumoraDVD_OperationForm", "DefaultHeight"))))
            # Buttons are where the skin puts them and look as the skin draws them.
            x, y, w, h = p.find_control("FT_LumoraDVD_OperationForm", "skImageButton_Stop")
            self.assertTrue(panel.x <= x and x + w <= panel.x + panel.w)
            x, y, w, h = p.find_control("FT_LumoraDVD_MainForm", "skImageButton_Exit")
            main.refresh()
            self.assertTrue(main.x <= x and x + w <= main.x + main.w)
            # The disc's menu shows in the video area with its first button highlighted
            # (the sample disc draws the selected button's frame in yellow).
            def playing():
                main.refresh()
                return p.grab().count((255, 255, 0), main.rect, tolerance=60) > 500
            wait_until(playing, 20, "the DVD picture")
        self.assertEqual(p.proc.returncode, 0)

    def test_terminate_keeps_the_skin_in_use(self):
        with Player(skin="Aqua") as p:
            p.window("FT_LumoraDVD_MainForm")
            p.proc.terminate()
            self.assertEqual(p.wait_exit(10), 0)
            self.assertIn("Skin/Aqua/", p.option("CurrentSkinPath"))


if __name__ == "__main__":
    run_flows()
