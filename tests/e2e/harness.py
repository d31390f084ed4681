"""End-to-end test support: the real kestrava binary in a temporary play
folder, on a virtual display of the test's own, driven by keys sent with
xdotool. Every wait is for a condition (a console line, a window, a picture)
with a generous bound, never a fixed sleep that hopes the game kept up."""
import atexit
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN_DIR = os.environ.get("KESTRAVA_RUN_DIR", os.path.join(REPO, "build", "run"))
TEST_DATA = os.environ.get("KESTRAVA_TEST_DATA", os.path.join(REPO, "tests", "data"))
ARTIFACTS = os.environ.get("KESTRAVA_ARTIFACTS", os.path.join(REPO, "build", "artifacts"))
WINDOW_TITLE = "Mesh display"
# The screen: a quarter of the render tests' 1280 x 1024, so a frame costs a
# third of the drawing and several games draw side by side on a busy machine.
SCREEN = tuple(int(v) for v in os.environ.get("KESTRAVA_E2E_SCREEN", "640x512").split("x"))


def another_display():
    """One more Xvfb of this test's own, for a second game's window (two
    machines in one test); its DISPLAY value, such as ":7"."""
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp",
                               "-noreset"], pass_fds=(told,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(told)
    with os.fdopen(ready) as answer:
        display = ":" + answer.readline().strip()
    if display == ":":
        raise RuntimeError("Xvfb did not start (status %s)" % server.wait())
    atexit.register(server.kill)
    return display


# An Xvfb for this test alone, as DISPLAY: no other game covers this one's
# window or takes its keys. Xvfb picks a free number itself and tells it once
# it takes clients; it must not reset when a game quits.
os.environ["DISPLAY"] = another_display()


def play_folder(map_name=None, images=True):
    """A fresh folder to run the game in: WorldDesc.txt (the named map under
    tests/data/maps, or the default one) and, unless told not to, images/
    and sounds/."""
    folder = tempfile.mkdtemp(prefix="kestrava-e2e-")
    source = os.path.join(TEST_DATA, "maps", map_name) if map_name else os.path.join(RUN_DIR, "WorldDesc.txt")
    shutil.copyfile(source, os.path.join(folder, "WorldDesc.txt"))
    if images:
        for made in ("images", "sounds"):
            os.symlink(os.path.join(RUN_DIR, made), os.path.join(folder, made))
    return folder


# Every bound is given as on a quiet machine and waited this many times over:
# with eight busy processes on two cores, frames come five times slower.
SLACK = 4


def until(found, what, timeout=60, pause=0.05):
    """Calls found() until it gives something true, and returns that; fails
    naming what was awaited once SLACK times timeout seconds have gone by."""
    timeout *= SLACK
    deadline = time.monotonic() + timeout
    while True:
        result = found()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("no %s within %ss" % (what, timeout))
        time.sleep(pause)


def _game_windows(display=None):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(WINDOW_TITLE)],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                           env=dict(os.environ, DISPLAY=display or os.environ["DISPLAY"]))
    return found.stdout.split()


def _xdotool(*args, display=None):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, stdout=subprocess.PIPE,
                   stderr=subprocess.PIPE, env=dict(os.environ, DISPLAY=display or os.environ["DISPLAY"]))


class Game:
    """One run of the real binary, as a context manager: on the way out the
    process is killed if it still runs, and if the block failed, what the game
    printed goes to standard error (an assertion alone cannot tell why)."""

    def __init__(self, folder, args=(), stdin=None, seed=None, env=None):
        environment = dict(os.environ, LIBGL_ALWAYS_SOFTWARE="1", **(env or {}))
        if seed is not None:
            environment["KESTRAVA_SEED"] = str(seed)
        self.folder = folder
        self.display = environment["DISPLAY"]
        # The game's window carries no process id: windows of the same title
        # that were there before are told apart this way.
        self._older_windows = set(_game_windows(self.display))
        self._window = None
        self._streams = {"out": [], "err": []}
        self._lock = threading.Lock()
        self.process = subprocess.Popen([os.path.join(RUN_DIR, "kestrava")] + [str(a) for a in args], cwd=folder,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=environment)
        self.process.stdin.write((stdin or "").encode())
        self.process.stdin.close()
        self._readers = [threading.Thread(target=self._read, args=(stream, self._streams[name]), daemon=True)
                         for name, stream in (("out", self.process.stdout), ("err", self.process.stderr))]
        for reader in self._readers:
            reader.start()

    def _read(self, stream, chunks):
        for chunk in iter(lambda: stream.read1(65536), b""):
            with self._lock:
                chunks.append(chunk.decode(errors="replace"))

    def __enter__(self):
        return self

    def __exit__(self, failure, *_):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for reader in self._readers:
            reader.join(5)
        self.process.stdout.close()
        self.process.stderr.close()
        if failure:
            sys.stderr.write("\n=== game %s in %s, status %s\n--- standard output (end) ---\n%s\n"
                             "--- standard error (end) ---\n%s\n" % (self.process.args, self.folder,
                                                                      self.process.returncode, self.output[-6000:],
                                                                      "".join(self._streams["err"])[-6000:]))

    @property
    def output(self):
        with self._lock:
            return "".join(self._streams["out"])

    @property
    def errors(self):
        """What the game printed on standard error."""
        with self._lock:
            return "".join(self._streams["err"])

    def wait_for(self, pattern, timeout=60, start=0):
        """Waits until the console output from offset start holds pattern (a
        plain string, or a compiled regex). Returns the offset just past it."""
        regex = re.compile(re.escape(pattern)) if isinstance(pattern, str) else pattern

        def found():
            ended = self.process.poll() is not None
            if ended:
                self._readers[0].join(5)
            match = regex.search(self.output, start)
            if not match and ended:
                raise AssertionError("no %r before the game ended" % pattern)
            return match and match.end()
        return until(found, repr(pattern), timeout, 0.02)

    def wait_exit(self, timeout=60):
        try:
            status = self.process.wait(timeout * SLACK)
        except subprocess.TimeoutExpired:
            raise AssertionError("game still running after %ss" % (timeout * SLACK))
        self._readers[0].join(5)
        return status

    def window(self):
        """The game's window id, once it is mapped."""
        def mapped():
            if self.process.poll() is not None:
                raise AssertionError("game ended (status %s) before its window showed" % self.process.returncode)
            return ([w for w in _game_windows(self.display) if w not in self._older_windows] or [None])[-1]
        self._window = self._window or until(mapped, "window titled %r" % WINDOW_TITLE)
        return self._window

    def key(self, *names, delay_ms=30, action="key"):
        """Presses and releases each key in turn (xdotool names: Left, Insert,
        q, plus, ...); the action keydown or keyup only holds or lets go."""
        _xdotool("windowfocus", "--sync", self.window(), display=self.display)
        _xdotool(action, "--delay", delay_ms, *names, display=self.display)

    def drag(self, x1, y1, x2, y2, steps=10):
        """A left-button press at (x1, y1), moves in steps to (x2, y2), a release; window coordinates."""
        window = self.window()
        _xdotool("windowfocus", "--sync", window, display=self.display)
        _xdotool("mousemove", "--window", window, x1, y1, display=self.display)
        _xdotool("mousedown", 1, display=self.display)
        for i in range(1, steps + 1):
            _xdotool("mousemove", "--window", window, x1 + (x2 - x1) * i // steps, y1 + (y2 - y1) * i // steps,
                     display=self.display)
        _xdotool("mouseup", 1, display=self.display)

    def point(self, x, y):
        """Moves the pointer to (x, y), window coordinates, with no button held."""
        window = self.window()
        _xdotool("windowfocus", "--sync", window, display=self.display)
        _xdotool("mousemove", "--window", window, x, y, display=self.display)

    def click(self, x, y, button=1):
        """Moves the pointer to (x, y) and presses and lets go of the button
        there (1 left, 2 middle, 3 right; 4 and 5 the wheel)."""
        self.point(x, y)
        _xdotool("click", button, display=self.display)

    def size(self):
        """The window's width and height in pixels."""
        found = subprocess.run(["xdotool", "getwindowgeometry", "--shell", self.window()], check=True,
                               stdout=subprocess.PIPE, text=True, env=dict(os.environ, DISPLAY=self.display)).stdout
        values = dict(line.split("=") for line in found.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, name):
        """Saves the window's current picture under the artifacts folder; returns its path."""
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name)
        subprocess.run(["import", "-window", self.window(), path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=dict(os.environ, DISPLAY=self.display))
        return path

    def wait_for_picture(self, name, condition, timeout=60):
        """Takes screenshots until condition(path) holds; returns the path."""
        return until(lambda: condition(self.screenshot(name)) and os.path.join(ARTIFACTS, name),
                     "picture %s meeting its condition" % name, timeout, 0.1)

    def quit(self, timeout=60):
        self.key("q")
        return self.wait_exit(timeout)


class Picture:
    """A screenshot read at half size (sampled, so colours stay exact)."""

    def __init__(self, path):
        raw = subprocess.run(["convert", path, "-sample", "50%", "-depth", "8", "ppm:-"],
                             check=True, stdout=subprocess.PIPE).stdout
        _, width, height, _, self.rgb = raw.split(maxsplit=4)
        self.width, self.height = int(width), int(height)

    def count(self, left, top, width, height, wanted):
        """Pixels of the part (fractions of the size, from the top-left
        corner) whose colour satisfies wanted(r, g, b)."""
        found = 0
        x0, x1 = int(self.width * left), int(self.width * (left + width))
        for y in range(int(self.height * top), int(self.height * (top + height))):
            row = self.rgb[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
            found += sum(1 for r, g, b in zip(row[0::3], row[1::3], row[2::3]) if wanted(r, g, b))
        return found

    def labels_shown(self):
        """The status numbers, pure red text in the bottom-left corner, are
        up: the cursor rests on a living unit that has not finished acting."""
        return self.count(0, 0.6, 0.2, 0.35, lambda r, g, b: r == 255 and g == 0 and b == 0) > 5


def fills_window(path):
    """Something is drawn in the screenshot's bottom-right corner, a tenth of
    each side: the first frames come at the window's first size, 500 x 500
    from the top left, before it went full screen."""
    return Picture(path).count(0.9, 0.9, 0.1, 0.1, lambda r, g, b: r + g + b > 30) > 0


def shows_image(path, image, tolerance=0.1, top=1.0):
    """True when the screenshot is, as a whole, the picture images/image
    (or an absolute path) stretched over the window, such as a banner: their
    root-mean-square difference at a small size is below tolerance (a banner
    on screen comes within 0.08 to 0.09 of its image, another banner 0.12
    or more, the board 0.2 or more). With top below 1 only that upper part of
    both counts (the miss marker, for one, is drawn over a banner's middle)."""
    small = []
    for source in (path, os.path.join(RUN_DIR, "images", image)):
        handle, target = tempfile.mkstemp(suffix=".ppm")
        os.close(handle)
        subprocess.run(["convert", source, "-crop", "100%%x%d%%+0+0" % round(top * 100), "+repage",
                        "-resize", "80x64!", target], check=True)
        small.append(target)
    result = subprocess.run(["compare", "-metric", "RMSE"] + small + ["null:"],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    for target in small:
        os.remove(target)
    return float(result.stderr.split("(")[1].rstrip(")")) < tolerance
