"""A film closed half-way goes on where it was: play a clip, let it run a few seconds, quit
through the main window's Exit button, start the player on the same clip again and read the
control panel's time digits."""

import os
import tempfile
import unittest

from harness import KEY, Player, media_file, run_flows, wait_until

PANEL = "FT_LumoraDVD_OperationForm"
DIGITS = ("DI_TimeHour10", "DI_TimeHour1", "DI_TimeMin10", "DI_TimeMin1",
          "DI_TimeSec10", "DI_TimeSec1")


def read_time(p, skin):
    """The seconds the control panel's time digits show, or None while they cannot be read."""
    panel = p.window(PANEL)
    shot = p.grab()
    values = []
    for key in DIGITS:
        folder = skin.record(PANEL, key)[0]
        top, left = skin.number(PANEL, key, 5), skin.number(PANEL, key, 6)
        best, best_score = None, None
        for n in range(10):
            face = skin.bitmap("%s%d.bmp" % (folder, n))
            seen = shot.crop((panel.x + left, panel.y + top, face.width, face.height))
            if (seen.width, seen.height) != (face.width, face.height):
                return None
            score = sum(1 for y in range(face.height) for x in range(face.width)
                        if face.pixel(x, y) != KEY and face.pixel(x, y) != seen.pixel(x, y))
            if best_score is None or score < best_score:
                best, best_score = n, score
        if best_score:  # no digit face matches exactly: covered or mid-redraw
            return None
        values.append(best)
    h, m, s = values[0] * 10 + values[1], values[2] * 10 + values[3], values[4] * 10 + values[5]
    return h * 3600 + m * 60 + s


class ResumeFlow(unittest.TestCase):
    def test_a_clip_closed_half_way_goes_on_where_it_was(self):
        with tempfile.TemporaryDirectory(prefix="lumora-resume-") as home:
            clip = media_file(home, name="film.mp4", seconds=60, size="320x240")
            with Player(args=[clip], home=home) as p:
                skin = p.skin()
                # The first digits are read where the skin puts them.
                wait_until(lambda: read_time(p, skin) is not None, 20, "readable time digits")
                shown = wait_until(lambda: (read_time(p, skin) or 0) >= 8 and read_time(p, skin),
                                   60, "eight seconds of playing")
                p.click_control(PANEL, "skImageButton_Exit")
                self.assertEqual(p.wait_exit(15), 0)
            self.assertTrue(os.path.exists(os.path.join(home, "Resume.lst")))

            with Player(args=[clip], home=home) as p:
                skin = p.skin()
                # The first time the digits move off zero they show the place left, not the
                # film's first second.
                first = wait_until(lambda: read_time(p, skin), 30, "the time digits moving")
                self.assertGreaterEqual(first, shown)
                self.assertLess(first, 50)


if __name__ == "__main__":
    run_flows()
