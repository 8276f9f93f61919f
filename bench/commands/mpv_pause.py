"""The peer's figure for Space -> paused: mpv plays the same clip (no video or audio output)
and is told to pause over its IPC socket; the time runs until mpv reports the pause property
changed. Prints the same line shape as commands-bench. Usage: mpv_pause.py CLIP"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from mpv_ipc import MpvIpc  # noqa: E402


def main():
    clip = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="lumora-mpv-")
    path = os.path.join(folder, "ipc")
    mpv = subprocess.Popen(["mpv", "--no-config", "--vo=null", "--ao=null", "--loop=inf",
                            "--input-ipc-server=" + path, clip],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        ipc = MpvIpc(path, mpv)
        send = ipc.send

        def wait_pause(value):
            ipc.wait_for(lambda m: m.get("event") == "property-change" and
                         m.get("name") == "pause" and m.get("data") is value)

        send(["observe_property", 1, "pause"])
        wait_pause(False)
        time.sleep(0.5)
        samples = []
        for _ in range(20):
            t = time.perf_counter()
            send(["set_property", "pause", True])
            wait_pause(True)
            samples.append((time.perf_counter() - t) * 1000)
            send(["set_property", "pause", False])
            wait_pause(False)
            time.sleep(0.05)
        samples.sort()
        print("%-44s n=%2d  min %6.2f  median %6.2f  max %6.2f ms" %
              ("mpv: pause command -> paused", len(samples), samples[0],
               samples[len(samples) // 2], samples[-1]))
    finally:
        mpv.terminate()
        mpv.wait(10)


if __name__ == "__main__":
    main()
