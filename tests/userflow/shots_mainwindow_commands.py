"""Screenshots of the main window's commands with every shipped skin: the popup menu, full
screen with the bar showing, and the docked bar. Usage: shots_mainwindow_commands.py OUTDIR"""

import os
import sys
import tempfile
import time

from harness import Player, media_file, require_tools, wait_until

SKINS = ("Default", "Aqua", "Graphite")


def shoot(out, skin, clip):
    with Player(args=[clip], skin=skin, options={"b_DisplayControlPanel": "1"}) as p:
        main = p.window("FT_LumoraDVD_MainForm")
        time.sleep(1.5)
        main.refresh()
        p.screenshot(os.path.join(out, "%s-docked-bar.png" % skin))
        p.click(main.x + main.w // 2, main.y + main.h // 3, button=3)
        time.sleep(0.8)
        p.screenshot(os.path.join(out, "%s-popup-menu.png" % skin))
        p.key("Escape")
        time.sleep(0.3)
        p.click(main.x + main.w // 2, main.y + main.h // 3, double=True)
        full = p.window("FT_LumoraDVD_FullScreenForm")
        p.move(full.w // 2, full.h // 2)
        p.move(full.w // 2, full.h - 2)
        time.sleep(0.8)
        p.screenshot(os.path.join(out, "%s-fullscreen-bar.png" % skin))
        p.key("Escape")
        wait_until(lambda: not full.visible(), 5, "full screen to end")


def main():
    require_tools()
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    clip = media_file(tempfile.mkdtemp(prefix="lumora-shots-"), seconds=30, size="640x360")
    for skin in SKINS:
        shoot(out, skin, clip)
        print("%s: done" % skin)


if __name__ == "__main__":
    main()
