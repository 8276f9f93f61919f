"""Time from the window manager's close of the main window to the end of the process (target:
under 300 ms), with playback running: the player on the sample DVD and on a clip, and beside it
mpv closed the same way on the same clip. Runs under Xvfb with openbox, through the user-flow
harness. Usage: exit_time.py CLIP [RUNS]"""

import os
import subprocess
import sys
import time

from harness import Player, sample_dvd, wait_until


def close_and_time(p, win_id, proc):
    t = time.perf_counter()
    subprocess.run(["wmctrl", "-i", "-c", hex(int(win_id))], env=p.env(), check=True)
    proc.wait(10)
    return (time.perf_counter() - t) * 1000


def player_run(media):
    with Player(args=[media], wm="openbox") as p:
        main = p.window("FT_LumoraDVD_MainForm")
        time.sleep(2)  # playing by now
        ms = close_and_time(p, main.id, p.proc)
        if p.proc.returncode != 0:
            raise SystemExit("the player ended with %d" % p.proc.returncode)
        return ms


def mpv_run(clip):
    with Player(wm="openbox", start=False) as p:
        mpv = subprocess.Popen(["mpv", "--no-config", "--vo=x11", "--ao=null", "--loop=inf",
                                clip], env=p.env(), stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        try:
            ids = []
            wait_until(lambda: ids.extend(p.xdotool("search", "--onlyvisible", "--pid", mpv.pid,
                                                    "--class", "mpv", check=False).split())
                       or ids, 10, "mpv's window")
            time.sleep(2)
            return close_and_time(p, ids[0], mpv)
        finally:
            if mpv.poll() is None:
                mpv.kill()
                mpv.wait()


def report(what, samples, target=" target < 300 ms"):
    samples.sort()
    median = samples[len(samples) // 2]
    print("%-36s median %6.1f ms, max %6.1f ms (%d runs)%s" %
          (what, median, samples[-1], len(samples), target))
    return median


def main():
    clip = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    report("close -> exit, player on the DVD:", [player_run(sample_dvd()) for _ in range(runs)])
    ours = report("close -> exit, player on the clip:", [player_run(clip) for _ in range(runs)])
    if subprocess.run(["which", "mpv"], stdout=subprocess.DEVNULL).returncode == 0:
        peer = report("close -> exit, mpv on the clip:", [mpv_run(clip) for _ in range(runs)], "")
        print("close -> exit on the clip, player / mpv (medians): %.2f" % (ours / peer))


if __name__ == "__main__":
    os.environ.setdefault("LUMORA_AUDIO", "null")
    main()
