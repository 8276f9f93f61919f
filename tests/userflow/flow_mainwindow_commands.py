"""The main window's commands as a user meets them: dragging the docked bar out, and files
dropped from a file manager. The disc's menu, the popup and full screen are in
flow_mainwindow_dvd_commands.py."""

import tempfile
import time
import unittest

from harness import Player, media_file, run_flows, wait_until


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
