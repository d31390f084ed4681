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
WINDOW_TITLE = "Mesh display"

_games_of_this_test = []


def _print_games_when_a_test_fails():
    """A failed test prints what each game it ran wrote: an assertion about
    the console or a timed-out start alone cannot tell why a game stopped."""
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


def _ensure_display():
    """Uses DISPLAY when it works; otherwise starts a private Xvfb for this process."""
    def works():
        return bool(os.environ.get("DISPLAY")) and subprocess.run(
            ["xdpyinfo"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
    if not works():
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                                 "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        atexit.register(xvfb.kill)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            os.environ["DISPLAY"] = ":" + pipe.readline().strip()


def play_folder(map_path=None, images=True):
    """A fresh folder to run the game in: WorldDesc.txt (the given file, or
    the default map) and, unless images is false, the generated pictures."""
    folder = tempfile.mkdtemp(prefix="kestrava-e2e-")
    shutil.copyfile(map_path or os.path.join(RUN_DIR, "WorldDesc.txt"), os.path.join(folder, "WorldDesc.txt"))
    if images:
        os.symlink(os.path.join(RUN_DIR, "images"), os.path.join(folder, "images"))
    return folder


def data_file(*parts):
    return os.path.join(TEST_DATA, *parts)


def _game_windows():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(WINDOW_TITLE)],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return found.stdout.split()


def _xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, stdout=subprocess.PIPE,
                   stderr=subprocess.PIPE)


class Game:
    """One run of the real binary. Use as a context manager: the process is
    killed on the way out if it is still running."""

    def __init__(self, folder, args=(), stdin=None, seed=None, env=None, display=True):
        environment = dict(os.environ, **(env or {}))
        environment.setdefault("LIBGL_ALWAYS_SOFTWARE", "1")
        if seed is not None:
            environment["KESTRAVA_SEED"] = str(seed)
        if display:
            _ensure_display()
            environment["DISPLAY"] = os.environ["DISPLAY"]
        else:
            environment.pop("DISPLAY", None)
        self.folder = folder
        # Windows of the same title that were there before are not ours: the
        # game's window carries no process id, so it is told apart this way.
        self._older_windows = set(_game_windows()) if display else set()
        self._window = None
        self._streams = {"out": [], "err": []}
        self._lock = threading.Lock()
        self.process = subprocess.Popen([os.path.join(RUN_DIR, "kestrava")] + [str(a) for a in args], cwd=folder,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=environment)
        if stdin is not None:
            self.process.stdin.write(stdin.encode())
        self.process.stdin.close()
        self._readers = [threading.Thread(target=self._read, args=(stream, self._streams[name]), daemon=True)
                         for name, stream in (("out", self.process.stdout), ("err", self.process.stderr))]
        for reader in self._readers:
            reader.start()
        _games_of_this_test.append(self)

    def _read(self, stream, chunks):
        for chunk in iter(lambda: stream.read1(65536), b""):
            with self._lock:
                chunks.append(chunk.decode(errors="replace"))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for reader in self._readers:
            reader.join(5)
        self.process.stdout.close()
        self.process.stderr.close()

    @property
    def output(self):
        with self._lock:
            return "".join(self._streams["out"])

    def transcript(self):
        with self._lock:
            errors = "".join(self._streams["err"])
        return ("\n=== game %s in %s, status %s\n--- standard output (end) ---\n%s\n--- standard error (end) ---\n%s\n"
                % (self.process.args, self.folder, self.process.poll(), self.output[-6000:], errors[-6000:]))

    def wait_for(self, pattern, timeout=60, start=0):
        """Waits until the console output from offset start holds pattern (a
        plain string, or a compiled regex). Returns the offset just past it."""
        regex = re.compile(re.escape(pattern)) if isinstance(pattern, str) else pattern
        deadline = time.monotonic() + timeout
        while True:
            ended = self.process.poll() is not None
            if ended:
                self._readers[0].join(5)
            found = regex.search(self.output, start)
            if found:
                return found.end()
            if ended or time.monotonic() > deadline:
                raise AssertionError("no %r %s" % (pattern, "before the game ended" if ended else "within %ss" % timeout))
            time.sleep(0.02)

    def wait_exit(self, timeout=60):
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("game still running after %ss" % timeout)
        self._readers[0].join(5)
        return status

    def window(self, timeout=60):
        """The game's window id, once it is mapped."""
        deadline = time.monotonic() + timeout
        while not self._window:
            if self.process.poll() is not None:
                raise AssertionError("game ended (status %s) before its window showed" % self.process.returncode)
            if time.monotonic() > deadline:
                raise AssertionError("no window titled %r within %ss" % (WINDOW_TITLE, timeout))
            ids = [w for w in _game_windows() if w not in self._older_windows]
            self._window = ids[-1] if ids else None
            time.sleep(0.05)
        return self._window

    def key(self, *names, delay_ms=30):
        """Presses and releases each key in turn (xdotool names: Left, Insert, Home, F1, q, plus, ...)."""
        _xdotool("windowfocus", "--sync", self.window())
        _xdotool("key", "--delay", delay_ms, *names)

    def drag(self, x1, y1, x2, y2, steps=10):
        """A left-button press at (x1, y1), moves in steps to (x2, y2), a release; window coordinates."""
        window = self.window()
        _xdotool("windowfocus", "--sync", window)
        _xdotool("mousemove", "--window", window, x1, y1)
        _xdotool("mousedown", 1)
        for i in range(1, steps + 1):
            _xdotool("mousemove", "--window", window, x1 + (x2 - x1) * i // steps, y1 + (y2 - y1) * i // steps)
        _xdotool("mouseup", 1)

    def screenshot(self, name):
        """Saves the window's current picture under the artifacts folder; returns its path."""
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name)
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
        blue out of the squares around the acting unit, at the far (top) end
        of the board where player 1 stands; nothing else there shows red and
        green with no blue at all (every board and sky image has some)."""
        return self.count(0, 0, 0.5, 0.5, lambda r, g, b: b == 0 and r > 0 and g > 0) > 50

    def colours(self):
        """Distinct colours of the whole picture and of its bottom-right quarter."""
        quarter = set()
        for y in range(self.height // 2, self.height):
            row = self.rgb[(y * self.width + self.width // 2) * 3:(y + 1) * self.width * 3]
            quarter.update(zip(row[0::3], row[1::3], row[2::3]))
        return len(set(zip(self.rgb[0::3], self.rgb[1::3], self.rgb[2::3]))), len(quarter)


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
