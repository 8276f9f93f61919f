"""mpv's JSON IPC for the peer figures of the benchmarks."""

import json
import os
import select
import socket
import time


class MpvIpc:
    """A connection to the IPC socket of a running mpv (started with --input-ipc-server)."""

    def __init__(self, path, proc, timeout=10):
        end = time.monotonic() + timeout
        while not os.path.exists(path):
            if time.monotonic() > end or proc.poll() is not None:
                raise SystemExit("mpv did not open its IPC socket")
            time.sleep(0.05)
        self.sock = socket.socket(socket.AF_UNIX)
        self.sock.connect(path)
        self.pending = b""  # read but not yet a whole line

    def send(self, cmd):
        self.sock.sendall((json.dumps({"command": cmd}) + "\n").encode())

    def wait_for(self, match, timeout=30):
        """The next message match() accepts; None once timeout seconds pass without one."""
        limit = time.monotonic() + timeout
        while True:
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                msg = json.loads(line)
                if match(msg):
                    return msg
            left = limit - time.monotonic()
            if left <= 0 or not select.select([self.sock], [], [], left)[0]:
                return None
            data = self.sock.recv(65536)
            if not data:
                raise SystemExit("mpv closed its IPC socket")
            self.pending += data
