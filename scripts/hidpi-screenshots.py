#!/usr/bin/env python3
"""Screenshots of the main window with the Default skin at desktop scale factors 1 and 2,
playing a clip, under a private Xvfb. Usage: scripts/hidpi-screenshots.py [BUILD_DIR] [OUT]"""
import os
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
build = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(root, "build")
out = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.path.join(build, "hidpi-screenshots")
os.environ.setdefault("LUMORA_BIN_DIR", os.path.join(build, "bin"))
sys.path.insert(0, os.path.join(root, "tests", "userflow"))
from harness import Player, media_file  # noqa: E402

os.makedirs(out, exist_ok=True)
clip = media_file(out, name="clip.mp4", seconds=20, size="1280x720")
for scale in ("1", "2"):
    env = {"QT_SCALE_FACTOR": scale}
    with Player(args=[clip], env=env, screen=(2600, 1800)) as p:
        main = p.window("FT_LumoraDVD_MainForm")
        time.sleep(3)  # a few frames in
        main.refresh()
        path = os.path.join(out, "main-scale%s.png" % scale)
        p.grab().crop(main.rect).save(path)
        print(path, "%dx%d" % (main.w, main.h))
