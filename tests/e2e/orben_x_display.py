#!/usr/bin/env python3
"""orben on a real X display (Xvfb): the main window found by its title; the
front panel dragged out by its grip to float over the internal panel and
dragged back home (the power lamp moves with it and returns); TUKA-2 switched
on by a click on On/Off, 1 and 2 clicked on the keypad, 3 and 4 keyed with
Alt (xdotool); screenshots (ImageMagick's import) show the power lamp LOn dark
then bright green and Teclado's cells read back into digits by segment.
Then orben started again with a source file: its editor found by its title,
by keys alone F9 (TUKA-2 switched on, the program loaded and keyed), Down
and F2 (a breakpoint on the second OUT), Alt+P and Alt+J (a timed run): the
run stops before that OUT, D/OP1 still showing the first OUT's 0012 and the
step lamp lit again.
Usage: orben_x_display.py path/to/orben. Exits 77 (skipped) without Xvfb,
xdotool or import."""
import ctypes, os, re, select, shutil, signal, subprocess, sys, tempfile, time

TITLE = "ORBEN 0.1.0 para Windows, el Entorno Integrado de Desarrollo para TUKA-2"
# The power lamp, 21 pixels square, is the only dark green thing on the screen;
# from its top left corner: Teclado's, and the middles of On/Off, 1 and 2.
LAMP, TECLADO, POP1, LPP = 21, (74, 87), (241, -5), (0, 37)
CLICK = {"On/Off": (-62, 10), "1": (91, 135), "2": (125, 135)}
# The front panel's grip, a dotted strip along the panel's left edge, 128
# pixels left of the lamp; and how far the panel is dragged out: down, over
# the internal panel, where no bar takes it.
GRIP, DRAG_OUT = (-128, 60), (0, 400)
# Teclado's four cells lie 16 pixels apart; in a cell, a small box
# (x0, x1, y0, y1, inclusive) inside each of the segments a..g, and the
# segments each digit lights as a calculator shows it.
BOXES = [(7, 11, 1, 2), (12, 14, 5, 8), (12, 14, 15, 19), (7, 11, 22, 23), (4, 6, 15, 19),
         (4, 6, 5, 8), (8, 10, 11, 12)]
LIGHTS = ("1111110 0110000 1101101 1111001 0110011 1011011 1011111 1110000 1111111 1111011 "
          "1110111 0011111 1001110 0111101 1001111 1000111").split()
DIGIT = dict(zip(LIGHTS, "0123456789ABCDEF"), **{"0000000": " "})
# Out through port 01 twice; a breakpoint on line 4 stops the run before the
# second OUT, a second after Ejecutar at the one-second pace ORBEN starts at.
SOURCE = """        LLI R1, H'12
        OUT H'01, R1
        LLI R1, H'34
        OUT H'01, R1
        HALT
"""


class Failure(Exception):
    pass


class Shot:
    """The screen in ImageMagick's binary PPM; x, y from the lamp's corner."""

    def __init__(self, data, lamp_at):
        header = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", data)
        if not header:
            raise Failure("import did not give a PPM picture")
        self.data, self.start, self.width = data, header.end(), int(header.group(1))
        self.lamp_at = lamp_at

    def pixel(self, x, y):
        i = self.start + 3 * ((self.lamp_at[1] + y) * self.width + self.lamp_at[0] + x)
        return tuple(self.data[i:i + 3])

    def find_dark_lamp(self):
        d, s, w = self.data, self.start, self.width
        px = [(i % w, i // w) for i, (r, g, b) in enumerate(zip(d[s::3], d[s + 1::3], d[s + 2::3]))
              if 25 + max(r, b) <= g < 120]
        xs, ys = [x for x, _ in px], [y for _, y in px]
        if len(px) < 50 or max(xs) - min(xs) >= LAMP or max(ys) - min(ys) >= LAMP:
            return None  # not drawn yet, or dark green beyond the lamp
        self.lamp_at = (min(xs) + max(xs)) // 2 - LAMP // 2, (min(ys) + max(ys)) // 2 - LAMP // 2
        return self.lamp_at

    def lamp(self):
        """'dark', 'lit' or 'other', from the mean colour of the lamp's middle."""
        middle = [self.pixel(i, j) for i in range(6, LAMP - 6) for j in range(6, LAMP - 6)]
        r, g, b = (sum(p[k] for p in middle) / len(middle) for k in range(3))
        dark, lit = 10 < g < 110 and g > max(r, b), g > 160 and g > max(r, b) + 80
        return "dark" if dark else "lit" if lit else "other"

    def teclado(self, at=TECLADO):
        """Teclado's four cells (or another display's at `at`): a digit, a
        blank or '?' each."""
        def bit(cell, x0, x1, y0, y1):
            box = [self.pixel(at[0] + 16 * cell + i, at[1] + j)
                   for i in range(x0, x1 + 1) for j in range(y0, y1 + 1)]
            return "1" if 2 * box.count((0, 255, 0)) >= len(box) else "0"

        return "".join(DIGIT.get("".join(bit(c, *box) for box in BOXES), "?") for c in range(4))

    def step_lamp_lit(self):
        """Whether the amber step lamp below the power lamp is lit."""
        middle = [self.pixel(LPP[0] + i, LPP[1] + j) for i in range(6, LAMP - 6)
                  for j in range(6, LAMP - 6)]
        r, g, b = (sum(p[k] for p in middle) / len(middle) for k in range(3))
        return r > 180 and g > 120 and b < 100


class Session:
    def __init__(self, runtime_dir):
        self.deadline, self.processes = time.monotonic() + 75, []
        self.last = self.lamp_at = None
        self.log = os.path.join(runtime_dir, "orben.log")
        self.env = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime_dir)

    def start(self, args, stderr=subprocess.DEVNULL, **kwargs):
        die_with_us = lambda: ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
        self.processes.append(subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL,
                                               stdout=subprocess.DEVNULL, stderr=stderr,
                                               preexec_fn=die_with_us, **kwargs))
        return self.processes[-1]

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              timeout=10).stdout.strip()

    def wait(self, what, ready):
        """Polls ready() until it gives something true, and returns that."""
        while not (result := ready()):
            if self.orben.poll() is not None:
                raise Failure(f"orben ended ({self.orben.returncode}) waiting for {what}")
            if time.monotonic() > self.deadline:
                raise Failure(f"timed out waiting for {what}")
            time.sleep(0.05)
        return result

    def shot(self, what, check):
        def ready():
            done = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                                  env=self.env, capture_output=True, timeout=10)
            self.last = Shot(done.stdout, self.lamp_at) if done.returncode == 0 else None
            return self.last if self.last and check(self.last) else None

        return self.wait(what, ready)

    def drag(self, start, end):
        """Presses the left button at start, moves in steps and lets go at end."""
        steps = [(start[0] + (end[0] - start[0]) * i // 5, start[1] + (end[1] - start[1]) * i // 5)
                 for i in range(1, 6)]
        moves = [arg for x, y in steps for arg in ("mousemove", str(x), str(y), "sleep", "0.05")]
        self.xdotool("mousemove", *map(str, start), "sleep", "0.1", "mousedown", "1", "sleep", "0.1",
                     *moves, "mouseup", "1")

    def lamp_moves_to(self, where, at):
        def found(shot):
            return shot.find_dark_lamp() == at
        self.shot(f"the power lamp {where} at {at}", found)

    def key(self, key):
        if key not in CLICK:
            return self.xdotool("windowfocus", self.window, "key", "alt+" + key)
        x, y = (lamp + offset for lamp, offset in zip(self.lamp_at, CLICK[key]))
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def run(self, orben):
        read_end, write_end = os.pipe()  # Xvfb writes the display number it took there
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "2000x900x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        number = os.read(read_end, 16) if select.select([read_end], [], [], 15)[0] else b""
        if not number.strip().isdigit():
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.strip().decode()
        with open(self.log, "w") as log:
            self.orben = self.start([orben], stderr=log)
        self.window = self.wait("the main window titled " + TITLE, lambda: self.titled(TITLE))
        off = self.shot("the dark power lamp", Shot.find_dark_lamp)
        self.lamp_at = off.lamp_at
        if off.lamp() != "dark" or off.teclado() != "    ":
            raise Failure(f"while off: lamp {off.lamp()}, Teclado '{off.teclado()}'")
        home = self.lamp_at
        grip = (home[0] + GRIP[0], home[1] + GRIP[1])
        out = (grip[0] + DRAG_OUT[0], grip[1] + DRAG_OUT[1])
        self.drag(grip, out)
        self.lamp_moves_to("floating with the front panel",
                           (home[0] + DRAG_OUT[0], home[1] + DRAG_OUT[1]))
        self.drag(out, grip)
        self.lamp_moves_to("back home with the front panel", home)
        self.key("On/Off")
        on = self.shot("the power lamp lit and four digits on Teclado",
                       lambda s: s.lamp() == "lit" and re.fullmatch("[0-9A-F]{4}", s.teclado()))
        shown = on.teclado()
        for key in "1234":
            self.key(key)
            shown = shown[1:] + key
            self.shot(f"Teclado showing {shown}", lambda s: s.teclado() == shown)
        self.debug_a_source(orben)

    def debug_a_source(self, orben):
        self.orben.terminate()
        self.orben.wait(5)
        source = os.path.join(os.path.dirname(self.log), "salida.asm")
        with open(source, "w") as out:
            out.write(SOURCE)
        with open(self.log, "a") as log:
            self.orben = self.start([orben, source], stderr=log)
        self.window = self.wait("the main window again", lambda: self.titled(TITLE))
        editor = self.wait("the source editor", lambda: self.titled("Programa fuente: salida.asm"))
        # Beside the main window, where it hides none of the front panel.
        main = dict(line.split("=") for line in
                    self.xdotool("getwindowgeometry", "--shell", self.window).split())
        self.xdotool("windowmove", editor, str(int(main["X"]) + int(main["WIDTH"]) + 10), "0")
        off = self.shot("the dark power lamp", Shot.find_dark_lamp)
        self.lamp_at = off.lamp_at
        self.xdotool("windowfocus", "--sync", editor, "key", "F9", "Down", "Down", "Down", "F2")
        self.shot("TUKA-2 switched on by F9, the first address keyed",
                  lambda s: s.lamp() == "lit" and s.teclado() == "0000" and s.step_lamp_lit())
        self.xdotool("windowfocus", "--sync", self.window, "key", "alt+p")
        self.shot("the step lamp dark", lambda s: not s.step_lamp_lit())
        self.xdotool("windowfocus", "--sync", self.window, "key", "alt+j")
        self.shot("the run stopped before the second OUT, D/OP1 showing 0012",
                  lambda s: s.step_lamp_lit() and s.teclado(POP1) == "0012")

    def titled(self, title):
        found = self.xdotool("search", "--onlyvisible", "--name", title).split()
        return next((w for w in found if self.xdotool("getwindowname", w) == title), None)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    if missing := [tool for tool in ("Xvfb", "xdotool", "import") if not shutil.which(tool)]:
        print(f"SKIPPED: not installed: {', '.join(missing)} (Debian: xvfb xdotool imagemagick)")
        return 77
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    with tempfile.TemporaryDirectory() as runtime_dir:
        session = Session(runtime_dir)
        try:
            session.run(os.path.abspath(sys.argv[1]))
            return 0
        except Failure as failure:
            print(f"FAILED: {failure}")
            if os.path.exists(session.log):
                print("orben's messages:\n" + open(session.log).read())
            if session.last:
                with open("orben_x_display_failure.ppm", "wb") as picture:
                    picture.write(session.last.data)
                print(f"last screenshot: {os.path.abspath('orben_x_display_failure.ppm')}; "
                      f"Teclado '{session.last.teclado() if session.lamp_at else '?'}'")
            return 1
        finally:
            for process in reversed(session.processes):
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()


if __name__ == "__main__":
    sys.exit(main())
