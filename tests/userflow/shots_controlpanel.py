"""Screenshots of the control panel and its open, DVD and rate menus with every shipped skin,
playing title 1 of the sample DVD. Usage: shots_controlpanel.py OUTDIR"""

import os
import sys
import time

from harness import Player, require_tools, sample_dvd

SKINS = ("Default", "Aqua", "Graphite")
PANEL = "FT_LumoraDVD_OperationForm"
MENUS = (("open-menu", "skImageButton_Open"), ("dvd-menu", "skImageButton_Menu"),
         ("rate-menu", "skImageButton_PlaybackRate"))


def shoot(out, skin, disc):
    with Player(args=[disc], skin=skin) as p:
        main = p.window("FT_LumoraDVD_MainForm")
        p.window(PANEL)
        time.sleep(3)
        # The disc's menu has its first button lit; Enter starts title 1, so the rate menu has
        # something seekable to offer.
        p.key("Return", window=main)
        time.sleep(3)
        p.screenshot(os.path.join(out, "%s-panel.png" % skin))
        for name, key in MENUS:
            p.click_control(PANEL, key)
            time.sleep(0.8)
            p.screenshot(os.path.join(out, "%s-%s.png" % (skin, name)))
            p.key("Escape")
            time.sleep(0.4)


def main():
    require_tools()
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    disc = sample_dvd()
    for skin in SKINS:
        shoot(out, skin, disc)
        print("%s: done" % skin)


if __name__ == "__main__":
    main()
