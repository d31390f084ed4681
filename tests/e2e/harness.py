"""End-to-end test support: the real kestrava binary in a temporary play
folder, on a virtual display, driven by keys sent with xdotool.

Every wait here is for a condition (a console line, a window, a changed
picture) with a generous bound, never a fixed sleep that hopes the game kept up.
"""
import atexit
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN_DIR = os.environ.get("KESTRAVA_RUN_DIR", os.path.join(REPO, "build", "run"))
TEST_DATA = os.environ.get("KESTRAVA_TEST_DATA", os.path.join(REPO, "tests", "data"))
ARTIFACTS = os.environ.get("KESTRAVA_ARTIFACTS", os.path.join(REPO, "build", "artifacts"))
BINARY = os.path.join(RUN_DIR, "kestrava")
WINDOW_TITLE = "Mesh display"

_xvfb = None
_games_of_this_test = []


def _print_games_when_a_test_fails():
    """A failed test prints what each game it ran wrote on standard output and
    standard error: an assertion about the console or a timed-out start alone
    cannot tell why a game stopped early."""
    result = unittest.TestResult
    start_test = result.startTest

    def start(self, test):
        _games_of_this_test.clear()
        start_test(self, test)

    def reporting(add):
        def report(self, test, err):
            for game in _games_of_this_test:
                sys.stderr.write(game.transcript())
            add(self, test, err)
        return report

    result.startTest = start
    result.addFailure = reporting(result.addFailure)
    result.addError = reporting(result.addError)


_print_games_when_a_test_fails()


def _display_works():
    if not os.environ.get("DISPLAY"):
        return False
    return subprocess.run(["xdpyinfo"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def ensure_display():
    """Uses DISPLAY when it works; otherwise starts a private Xvfb for this process."""
    global _xvfb
    if _display_works():
        return os.environ["DISPLAY"]
    number = 150 + os.getpid() % 700
    while os.path.exists("/tmp/.X%d-lock" % number):
        number += 1
    _xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x1024x24",
                              "-nolisten", "tcp"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    atexit.register(_xvfb.kill)
    os.environ["DISPLAY"] = ":%d" % number
    deadline = time.monotonic() + 30
    while not _display_works():
        if time.monotonic() > deadline:
            raise RuntimeError("Xvfb did not start on :%d" % number)
        time.sleep(0.05)
    return os.environ["DISPLAY"]


def play_folder(map_text=None, map_path=None, images=True, missing_images=()):
    """A fresh folder to run the game in: WorldDesc.txt (the given text, the
    given file, or the default map) and images/ (the generated pictures, minus
    any paths named in missing_images, e.g. "water.bmp")."""
    folder = tempfile.mkdtemp(prefix="kestrava-e2e-")
    map_file = os.path.join(folder, "WorldDesc.txt")
    if map_text is not None:
        with open(map_file, "w", newline="") as f:
            f.write(map_text)
    else:
        shutil.copyfile(map_path or os.path.join(RUN_DIR, "WorldDesc.txt"), map_file)
    if images:
        source = os.path.join(RUN_DIR, "images")
        target = os.path.join(folder, "images")
        if missing_images:
            shutil.copytree(source, target)
            for name in missing_images:
                os.remove(os.path.join(target, name))
        else:
            os.symlink(source, target)
    return folder


def data_file(*parts):
    return os.path.join(TEST_DATA, *parts)


def artifact_path(name):
    os.makedirs(ARTIFACTS, exist_ok=True)
    return os.path.join(ARTIFACTS, name)


def _find(text, pattern, start):
    """Offset just past the first match of pattern in text from start, or None."""
    if isinstance(pattern, str):
        at = text.find(pattern, start)
        return None if at < 0 else at + len(pattern)
    match = pattern.search(text, start)
    return match.end() if match else None


def _game_windows():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            "^%s$" % re.escape(WINDOW_TITLE)],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return found.stdout.split()


def _xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          text=True).stdout


class Game:
    """One run of the real binary. Use as a context manager: the process is
    killed on the way out if it is still running."""

    def __init__(self, folder, args=(), stdin=None, seed=None, env=None, display=True):
        if display:
            ensure_display()
        environment = dict(os.environ)
        environment.setdefault("LIBGL_ALWAYS_SOFTWARE", "1")
        if seed is not None:
            environment["KESTRAVA_SEED"] = str(seed)
        if env:
            environment.update(env)
        if not display:
            environment.pop("DISPLAY", None)
        self.folder = folder
        # Windows of the same title that were there before: not ours. The
        # game's window carries no process id, so it is told apart this way.
        self._older_windows = set(_game_windows()) if display else set()
        self._chunks = []
        self._lock = threading.Lock()
        self._window = None
        self.process = subprocess.Popen([BINARY] + [str(a) for a in args], cwd=folder,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=environment)
        if stdin is not None:
            self.process.stdin.write(stdin.encode())
        self.process.stdin.close()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        self._stderr = []
        self._err_reader = threading.Thread(target=self._read_err, daemon=True)
        self._err_reader.start()
        _games_of_this_test.append(self)

    def _read(self):
        for chunk in iter(lambda: self.process.stdout.read1(65536), b""):
            with self._lock:
                self._chunks.append(chunk.decode(errors="replace"))

    def _read_err(self):
        for chunk in iter(lambda: self.process.stderr.read1(65536), b""):
            self._stderr.append(chunk.decode(errors="replace"))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.kill()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self._reader.join(5)
        self._err_reader.join(5)
        self.process.stdout.close()
        self.process.stderr.close()

    @property
    def output(self):
        with self._lock:
            return "".join(self._chunks)

    @property
    def errors(self):
        return "".join(self._stderr)

    def transcript(self):
        return ("\n=== game %s in %s, status %s\n--- standard output (end) ---\n%s\n"
                "--- standard error (end) ---\n%s\n" % (self.process.args, self.folder, self.process.poll(),
                                                         self.output[-6000:], self.errors[-6000:]))

    def lines(self):
        return self.output.split("\n")

    def wait_for(self, pattern, timeout=60, start=0):
        """Waits until the console output from offset start holds pattern (a
        plain string, or a compiled regex). Returns the offset just past it."""
        deadline = time.monotonic() + timeout
        while True:
            ended = self.process.poll() is not None
            if ended:
                self._reader.join(5)
            text = self.output
            found = _find(text, pattern, start)
            if found is not None:
                return found
            if ended:
                raise AssertionError("game ended (status %s) before printing %r\n--- output ---\n%s"
                                     "\n--- errors ---\n%s" % (self.process.returncode, pattern,
                                                              text[-4000:], self.errors[-2000:]))
            if time.monotonic() > deadline:
                raise AssertionError("no %r within %ss\n--- output ---\n%s"
                                     % (pattern, timeout, text[-4000:]))
            time.sleep(0.02)

    def wait_exit(self, timeout=60):
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("game still running after %ss\n--- output ---\n%s"
                                 % (timeout, self.output[-4000:]))
        self._reader.join(5)
        return status

    def window(self, timeout=60):
        """The game's window id, once it is mapped."""
        if self._window:
            return self._window
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise AssertionError("game ended (status %s) before its window showed\n%s"
                                     % (self.process.returncode, self.output[-4000:]))
            ids = [w for w in _game_windows() if w not in self._older_windows]
            if ids:
                self._window = ids[-1]
                return self._window
            time.sleep(0.05)
        raise AssertionError("no window titled %r within %ss" % (WINDOW_TITLE, timeout))

    def _focus(self):
        _xdotool("windowfocus", "--sync", self.window())

    def key(self, *names, delay_ms=30):
        """Presses and releases each key in turn (xdotool names: Left, Insert,
        Home, F1, q, plus, ...)."""
        self._focus()
        _xdotool("key", "--delay", delay_ms, *names)

    def key_down(self, name):
        self._focus()
        _xdotool("keydown", name)

    def key_up(self, name):
        self._focus()
        _xdotool("keyup", name)

    def drag(self, x1, y1, x2, y2, button=1, steps=10):
        """A press at (x1, y1), moves in steps to (x2, y2), a release; window coordinates."""
        window = self.window()
        self._focus()
        _xdotool("mousemove", "--window", window, x1, y1)
        _xdotool("mousedown", button)
        for i in range(1, steps + 1):
            _xdotool("mousemove", "--window", window,
                     x1 + (x2 - x1) * i // steps, y1 + (y2 - y1) * i // steps)
        _xdotool("mouseup", button)

    def screenshot(self, name):
        """Saves the window's current picture under the artifacts folder; returns its path."""
        path = artifact_path(name)
        subprocess.run(["import", "-window", self.window(), path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def wait_for_picture(self, name, condition, timeout=60):
        """Takes screenshots until condition(path) holds; returns the path."""
        deadline = time.monotonic() + timeout
        while True:
            path = self.screenshot(name)
            if condition(path):
                return path
            if time.monotonic() > deadline:
                raise AssertionError("picture %s never met its condition within %ss" % (name, timeout))
            time.sleep(0.1)

    def quit(self, timeout=60):
        self.key("q")
        return self.wait_exit(timeout)


def colour_count(path):
    """Number of distinct colours in a picture (1 means a uniform frame)."""
    out = subprocess.run(["identify", "-format", "%k", path], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    return int(out.strip())


def pixel(path, x, y):
    """(r, g, b) of one pixel of a picture, 0-255."""
    out = subprocess.run(["convert", path, "-format", "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]",
                          "-crop", "1x1+%d+%d" % (x, y), "info:"],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    return tuple(int(v) for v in out.strip().split(","))


def run_console(folder, args=(), stdin=None, seed=None, timeout=60, display=True):
    """Runs the game to its own end; returns (exit status, console output)."""
    with Game(folder, args=args, stdin=stdin, seed=seed, display=display) as game:
        status = game.wait_exit(timeout)
        return status, game.output


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

    def reach_shown(self):
        """The reach diamond doubles red, keeps 0.7 of green and takes all
        blue out of the board's squares around the acting unit, at the far
        (top) end of the board where player 1 stands; nothing else there
        shows red and green with no blue at all (every board and sky image
        has some)."""
        return self.count(0, 0, 0.5, 0.5, lambda r, g, b: b == 0 and r > 0 and g > 0) > 50


def shows_image(path, image, tolerance=0.08, top=1.0):
    """True when the screenshot is, as a whole, the given picture under
    images/ stretched over the window (a turn or victory banner): their
    root-mean-square difference at a small size is below tolerance. With top
    below 1 only that upper part of both is compared (the miss marker, for
    one, is drawn over the middle of a banner)."""
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
