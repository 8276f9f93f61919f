"""The peer's figure for a resize: mpv plays the same clip in an X window (software output), the
window is resized through Xlib, and the time runs until mpv reports its output at the new size
(the osd-dimensions property, set when its video output has redrawn for the size), read over
its IPC socket. Prints the line shape of mainwindow-bench. Usage: mpv_resize.py CLIP [RESIZES]"""

import ctypes
import ctypes.util
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from mpv_ipc import MpvIpc  # noqa: E402


def x11():
    lib = ctypes.CDLL(ctypes.util.find_library("X11"))
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XResizeWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return lib


def main():
    clip = sys.argv[1]
    resizes = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    folder = tempfile.mkdtemp(prefix="lumora-mpv-")
    path = os.path.join(folder, "ipc")
    mpv = subprocess.Popen(["mpv", "--no-config", "--vo=x11", "--ao=null", "--loop=inf",
                            "--keepaspect-window=no", "--geometry=640x460+0+0",
                            "--input-ipc-server=" + path, clip],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    lib = x11()
    dpy = lib.XOpenDisplay(None)
    try:
        ipc = MpvIpc(path, mpv)
        send, wait_for = ipc.send, ipc.wait_for

        send(["observe_property", 1, "osd-dimensions"])
        if not wait_for(lambda m: m.get("name") == "osd-dimensions" and
                        (m.get("data") or {}).get("w", 0) > 0, 10):
            raise SystemExit("mpv showed no window")
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(mpv.pid),
                                "--class", "mpv"],
                               capture_output=True, text=True).stdout.split()
        if not found:
            raise SystemExit("mpv's window was not found")
        win = int(found[0])
        time.sleep(0.5)
        sizes = [(640, 460), (900, 640)]
        samples, missed = [], 0
        for i in range(resizes):
            w, h = sizes[(i + 1) % 2]
            t = time.perf_counter()
            lib.XResizeWindow(dpy, win, w, h)
            lib.XFlush(dpy)
            if wait_for(lambda m: m.get("name") == "osd-dimensions" and
                        (m.get("data") or {}).get("w") == w and m["data"].get("h") == h, 2):
                samples.append((time.perf_counter() - t) * 1000)
            else:
                missed += 1
            time.sleep(0.04)
        if not samples:
            raise SystemExit("mpv: no resize was followed by output at the new size")
        samples.sort()

        def pct(p):
            return samples[min(len(samples) - 1, int(p * (len(samples) - 1)))]
        print("mpv  resize -> output at new size: median %.1f ms, p90 %.1f ms, max %.1f ms "
              "(%d resizes%s)" % (pct(0.5), pct(0.9), samples[-1], len(samples),
                                  ", %d without output" % missed if missed else ""))
    finally:
        lib.XCloseDisplay(dpy)
        mpv.terminate()
        mpv.wait(10)


if __name__ == "__main__":
    main()
