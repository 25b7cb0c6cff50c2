#!/usr/bin/env python3
"""The built orben program on a real X display, driven as a user drives it.

Starts Xvfb and orben on it, finds the main window by its title, switches
TUKA-2 on with a mouse click on On/Off, keys 1 and 2 by clicking the keypad
and 3 and 4 with the accelerators Alt+3 and Alt+4, and checks screenshots of
the window: the power lamp LOn and the keypad display Teclado, whose segments
are read back into hexadecimal digits.

Usage: orben_x_display.py path/to/orben
Exits 77 (skipped) when Xvfb, xdotool or ImageMagick's import is missing.
"""
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TITLE = "ORBEN 0.1.0 para Windows, el Entorno Integrado de Desarrollo para TUKA-2"
SIZE = (929, 699)
# The front panel's controls keep their places relative to one another, while
# the panel itself may sit anywhere in the window. So the test finds the dark
# green power lamp (21 by 21 pixels, the only dark green thing in the window)
# and takes everything else from the lamp's top left corner: Teclado's top
# left corner, and the middles of On/Off and the keys 1 and 2.
LAMP_SIZE = 21
TECLADO = (74, 87)
CLICK = {"On/Off": (-62, 10), "T1": (91, 135), "T2": (125, 135)}

BLACK, LIME = (0, 0, 0), (0, 255, 0)
# Teclado is 67 by 26 pixels; its four digit cells lie 16 pixels apart. In a
# cell, a small box (x0, x1, y0, y1, inclusive) inside each of the segments
# a, b, c, d, e, f, g.
SEGMENT_BOXES = [(7, 11, 1, 2), (12, 14, 5, 8), (12, 14, 15, 19), (7, 11, 22, 23),
                 (4, 6, 15, 19), (4, 6, 5, 8), (8, 10, 11, 12)]
PATTERNS = {"0000000": " ", "1111110": "0", "0110000": "1", "1101101": "2", "1111001": "3",
            "0110011": "4", "1011011": "5", "1011111": "6", "1110000": "7", "1111111": "8",
            "1111011": "9", "1110111": "A", "0011111": "B", "1001110": "C", "0111101": "D",
            "1001111": "E", "1000111": "F"}
TIME_LIMIT = 45  # seconds for everything; CTest's timeout is longer


class Failure(Exception):
    pass


class Shot:
    """A screenshot of the window, read from ImageMagick's binary PPM.
    Positions are relative to the power lamp's top left corner lamp_at."""

    def __init__(self, data, lamp):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        if not header:
            raise Failure("import did not give a PPM picture")
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.data = data
        self.start = header.end()
        self.lamp_at = lamp

    def pixel(self, x, y):
        i = self.start + 3 * ((self.lamp_at[1] + y) * self.width + self.lamp_at[0] + x)
        return tuple(self.data[i:i + 3])

    def find_dark_lamp(self):
        """The top left corner of the dark power lamp, or None."""
        found = []
        for y in range(self.height):
            row = self.data[self.start + 3 * self.width * y:self.start + 3 * self.width * (y + 1)]
            found += [(x, y) for x, (r, g, b) in enumerate(zip(row[::3], row[1::3], row[2::3]))
                      if g < 120 and g >= r + 25 and g >= b + 25]
        if len(found) < 50:
            return None
        xs, ys = [x for x, _ in found], [y for _, y in found]
        if max(xs) - min(xs) >= LAMP_SIZE or max(ys) - min(ys) >= LAMP_SIZE:
            raise Failure("dark green beyond the power lamp, in "
                          f"x {min(xs)}..{max(xs)}, y {min(ys)}..{max(ys)}")
        half = LAMP_SIZE // 2
        self.lamp_at = (min(xs) + max(xs)) // 2 - half, (min(ys) + max(ys)) // 2 - half
        return self.lamp_at

    def lamp(self):
        """'dark', 'lit' or 'other', from the mean colour of the lamp's middle."""
        middle = range(6, LAMP_SIZE - 6)
        pixels = [self.pixel(i, j) for i in middle for j in middle]
        r, g, b = (sum(p[k] for p in pixels) / len(pixels) for k in range(3))
        if 10 < g < 110 and g > r and g > b:
            return "dark"
        if g > 160 and g > r + 80 and g > b + 80:
            return "lit"
        return "other"

    def teclado_colours(self):
        x, y = TECLADO
        return {self.pixel(x + i, y + j) for i in range(67) for j in range(26)}

    def teclado(self):
        """The four characters Teclado shows: a digit, a blank or '?'."""
        x, y = TECLADO
        text = ""
        for cell in range(4):
            bits = ""
            for x0, x1, y0, y1 in SEGMENT_BOXES:
                box = [(x + 16 * cell + i, y + j)
                       for i in range(x0, x1 + 1) for j in range(y0, y1 + 1)]
                lit = sum(self.pixel(*p) == LIME for p in box)
                bits += "1" if 2 * lit >= len(box) else "0"
            text += PATTERNS.get(bits, "?")
        return text


def die_with_parent():
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def start(args, env=None, stderr_to=subprocess.DEVNULL, **kwargs):
    return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=stderr_to, preexec_fn=die_with_parent, **kwargs)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Session:
    def __init__(self):
        self.deadline = time.monotonic() + TIME_LIMIT
        self.processes = []
        self.last = None
        self.log = ""
        self.lamp_at = None

    def launch(self, orben, runtime_dir):
        read_end, write_end = os.pipe()
        self.processes.append(start(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                     "1024x768x24", "-nolisten", "tcp"], pass_fds=(write_end,)))
        os.close(write_end)
        number = b""  # Xvfb writes the display number it took and a newline
        while not number.endswith(b"\n") and select.select([read_end], [], [], 15)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            raise Failure("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number.strip().decode(), QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=runtime_dir)
        self.log = os.path.join(runtime_dir, "orben.log")
        with open(self.log, "w") as log:
            self.orben = start([orben], self.env, stderr_to=log)
        self.processes.append(self.orben)

    def close(self):
        for process in reversed(self.processes):
            stop(process)

    def xdotool(self, *args):
        done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              timeout=10)
        return done.stdout.strip() if done.returncode == 0 else ""

    def wait(self, what, ready):
        """Polls ready() until it gives something true, and returns that."""
        while True:
            if self.orben.poll() is not None:
                raise Failure(f"orben ended with code {self.orben.returncode} "
                              f"while waiting for {what}")
            result = ready()
            if result:
                return result
            if time.monotonic() > self.deadline:
                raise Failure(f"timed out waiting for {what}")
            time.sleep(0.05)

    def find_window(self):
        seen = set()

        def titled():
            for window in self.xdotool("search", "--onlyvisible", "--name", "ORBEN").split():
                seen.add(self.xdotool("getwindowname", window))
                if TITLE in seen:
                    return window
            return None

        try:
            self.window = self.wait("the main window", titled)
        except Failure as failure:
            raise Failure(f"{failure}; window titles seen: {sorted(seen)}") from None
        geometry = dict(line.split("=") for line in
                        self.xdotool("getwindowgeometry", "--shell", self.window).splitlines())
        self.origin = int(geometry["X"]), int(geometry["Y"])
        size = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        if size != SIZE:
            raise Failure(f"the main window is {size[0]}x{size[1]}, not {SIZE[0]}x{SIZE[1]}")

    def shot(self):
        done = subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, timeout=10)
        self.last = Shot(done.stdout, self.lamp_at) if done.returncode == 0 else None
        return self.last

    def wait_shot(self, what, check):
        def ready():
            shot = self.shot()
            return shot if shot and check(shot) else None

        return self.wait(what, ready)

    def click(self, name):
        x = self.origin[0] + self.lamp_at[0] + CLICK[name][0]
        y = self.origin[1] + self.lamp_at[1] + CLICK[name][1]
        self.xdotool("mousemove", str(x), str(y), "click", "1")


def check(session):
    session.find_window()
    off = session.wait_shot("the window drawn with a dark power lamp", Shot.find_dark_lamp)
    session.lamp_at = off.lamp_at
    if off.lamp() != "dark":
        raise Failure(f"the power lamp at {off.lamp_at} is not dark while TUKA-2 is off")
    if off.teclado_colours() != {BLACK}:
        raise Failure(f"Teclado is not all black while TUKA-2 is off: {off.teclado_colours()}")

    session.click("On/Off")
    on = session.wait_shot("the power lamp lit and Teclado showing four digits",
                           lambda s: s.lamp() == "lit" and re.fullmatch("[0-9A-F]{4}", s.teclado()))
    if not on.teclado_colours() <= {BLACK, LIME}:
        raise Failure(f"Teclado has colours besides black and lime: {on.teclado_colours()}")
    print(f"switched on: Teclado shows {on.teclado()}")

    shown = on.teclado()
    for key in "1234":
        if key in "12":
            session.click("T" + key)
        else:
            session.xdotool("windowfocus", session.window)
            session.xdotool("key", "alt+" + key)
        shown = shown[1:] + key
        session.wait_shot(f"Teclado showing {shown}", lambda s: s.teclado() == shown)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    missing = [tool for tool in ("Xvfb", "xdotool", "import") if not shutil.which(tool)]
    if missing:
        print(f"SKIPPED: not installed: {', '.join(missing)} (Debian: xvfb xdotool imagemagick)")
        return 77
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    began = time.monotonic()
    with tempfile.TemporaryDirectory() as runtime_dir:
        session = Session()
        try:
            session.launch(os.path.abspath(sys.argv[1]), runtime_dir)
            check(session)
        except Failure as failure:
            print(f"FAILED: {failure}")
            if session.log and os.path.getsize(session.log):
                print("orben's messages:\n" + open(session.log).read())
            if session.last:
                with open("orben_x_display_failure.ppm", "wb") as picture:
                    picture.write(session.last.data)
                print(f"last screenshot: {os.path.abspath('orben_x_display_failure.ppm')}")
            if session.last and session.lamp_at:
                print(f"there: lamp {session.last.lamp()}, Teclado '{session.last.teclado()}'")
            return 1
        finally:
            session.close()
    print(f"passed in {time.monotonic() - began:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
