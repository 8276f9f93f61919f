"""The desktop's media keys and media widget drive the player over a private session bus:
PlayPause pauses the film and Next moves to the next chapter, as the user then sees."""

import os
import re
import shutil
import time
import unittest

from harness import SKIP, MprisBus, Player, run_flows, sample_dvd, wait_until

def status(bus):
    out = bus.prop("PlaybackStatus") or ""
    m = re.search(r'string "(\w+)"', out)
    return m.group(1) if m else None


def chapter(bus):
    out = bus.prop("Metadata") or ""
    m = re.search(r'"xesam:trackNumber"\s+variant\s+int32 (\d+)', out)
    return int(m.group(1)) if m else None


class MprisFlow(unittest.TestCase):
    def test_playpause_and_next_from_the_desktop(self):
        if shutil.which("dbus-daemon") is None or shutil.which("dbus-send") is None:
            raise SystemExit(SKIP)
        with MprisBus() as bus, Player(args=[sample_dvd()],
                                        env={"DBUS_SESSION_BUS_ADDRESS": bus.address}) as p:
            main = p.window("FT_LumoraDVD_MainForm")
            wait_until(lambda: status(bus) == "Playing", 20, "the player on the bus")

            # Start title 1 from the disc's menu: click its highlighted (yellow) button.
            def highlighted():
                main.refresh()
                img = p.grab().crop(main.rect)
                for y in range(0, img.height, 4):
                    for x in range(0, img.width, 4):
                        r, g, b = img.pixel(x, y)
                        if r > 200 and g > 200 and b < 80:
                            return (main.x + x + 12, main.y + y + 12)
                return None
            x, y = wait_until(highlighted, 20, "the menu's highlighted button")
            p.click(x, y)
            wait_until(lambda: chapter(bus) == 1, 20, "title 1, chapter 1")

            bus.call("PlayPause")
            wait_until(lambda: status(bus) == "Paused", 10, "paused")
            # Paused means the picture stands still.
            first = p.grab().crop(main.rect)
            time.sleep(0.6)
            self.assertLess(first.difference(p.grab().crop(main.rect)), 0.5)

            bus.call("PlayPause")
            wait_until(lambda: status(bus) == "Playing", 10, "playing again")
            bus.call("Next")
            wait_until(lambda: chapter(bus) == 2, 10, "chapter 2")


if __name__ == "__main__":
    run_flows()
