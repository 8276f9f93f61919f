"""Start-up under stress: a file manager opening the same disc eight times at once gets one
player on the screen, and the desktop ending the player (terminal closed, log-out) at any point
keeps its options, the skin in use included."""

import os
import signal
import subprocess
import time
import unittest

from harness import BIN_DIR, Player, run_flows, sample_dvd, wait_until


def main_windows(p):
    """Visible main windows of any process on the player's display."""
    found = []
    out = p.xdotool("search", "--all", "--onlyvisible", "--name", "", check=False)
    for wid in out.split():
        r = subprocess.run(["xprop", "-id", wid, "WM_WINDOW_ROLE"], env=p.env(),
                           capture_output=True, text=True)
        if r.stdout.strip().endswith('"FT_LumoraDVD_MainForm"'):
            found.append(wid)
    return found


class StartupStressFlow(unittest.TestCase):
    def test_eight_starts_at_once_show_one_player_that_ends_cleanly_on_hangup(self):
        disc = sample_dvd()
        with Player(start=False) as p:
            os.makedirs(os.path.join(p.home, "run"), mode=0o700, exist_ok=True)
            p.write_options()
            starts = [subprocess.Popen([os.path.join(BIN_DIR, "LumoraDVD"), disc], env=p.env(),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                      for _ in range(8)]
            wait_until(lambda: sum(s.poll() is not None for s in starts) == 7, 60,
                       "seven starts to hand over and end")
            ended = [s for s in starts if s.poll() is not None]
            self.assertEqual([s.returncode for s in ended], [255] * 7)
            player = next(s for s in starts if s.poll() is None)
            p.proc = player
            wait_until(lambda: len(main_windows(p)) == 1, 15, "the one main window")
            time.sleep(1.0)
            self.assertEqual(len(main_windows(p)), 1)
            main = p.window("FT_LumoraDVD_MainForm")

            # The disc's menu plays in that window (the sample disc draws its selected
            # button's frame in yellow).
            def menu_shows():
                main.refresh()
                return p.grab().count((255, 255, 0), main.rect, tolerance=60) > 500
            wait_until(menu_shows, 20, "the DVD menu")

            player.send_signal(signal.SIGHUP)  # the terminal it was started from closed
            self.assertEqual(p.wait_exit(15), 0)
            self.assertIn("Skin/Default/", p.option("CurrentSkinPath"))
            self.assertEqual([n for n in os.listdir(os.path.join(p.home, "run"))
                              if n.endswith(".sock")], [])

    def test_terminate_while_the_skin_error_box_shows_saves_the_fallback_skin(self):
        broken = "/nonexistent/Broken/"
        with Player(skin=None, options={"CurrentSkinPath": broken}, start=False) as p:
            p.start(wait_for=None)

            # The error box is the one window the player shows; no main window yet.
            def box():
                ids = p.xdotool("search", "--all", "--onlyvisible", "--pid", p.proc.pid, "",
                                check=False).split()
                return ids if ids and not main_windows(p) else None
            wait_until(box, 20, "the skin error box")
            p.proc.send_signal(signal.SIGTERM)
            self.assertEqual(p.wait_exit(15), 0)
            self.assertEqual(main_windows(p), [])
            self.assertIn("Skin/Default/", p.option("CurrentSkinPath"))


if __name__ == "__main__":
    run_flows()
