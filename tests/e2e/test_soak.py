"""Soak: the real game fed random keys and pointer drags (never the quit keys)
for a bounded time. It passes when the game never crashed, is still drawing
frames at the end, and its resident memory grew by less than 1 MiB after the
warm-up. KESTRAVA_SOAK_SECONDS sets the length (60 by default; try 1800 for a
long run)."""
import os
import random
import subprocess
import time
import unittest

import harness

SPECIAL = ["Left", "Up", "Right", "Down", "Insert", "Home", "F1", "F2"]
CHARACTERS = list("v2468pPrRbflmstnNxdBFLMSTV5") + ["plus", "minus", "space", "Return"]
WARM_UP_SECONDS = 10


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise AssertionError("no VmRSS for %d" % pid)


def still_drawing(game):
    """A new frame follows a key: F2 toggles the red frame-rate line. Random
    keys may have flown the camera out of the sky (a black scene) and left
    the overlays in the perspective projection, where the line is off
    screen: then v brings them back and F2 is tried again."""
    for attempt in range(2):
        before = game.screenshot("soak-end-%d-before.png" % attempt)
        game.key("F2")
        try:
            game.wait_for_picture("soak-end-%d-after.png" % attempt,
                                  lambda path: different(before, path), timeout=15)
            return True
        except AssertionError:
            game.key("v")
    return False


def different(a, b):
    result = subprocess.run(["compare", "-metric", "AE", a, b, "null:"],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    return float(result.stderr.split()[0]) > 0


class Soak(unittest.TestCase):
    def test_random_input_for_a_bounded_time(self):
        seconds = float(os.environ.get("KESTRAVA_SOAK_SECONDS", "60"))
        chooser = random.Random(20261206)
        folder = harness.play_folder()
        with harness.Game(folder, args=[2] * 10, seed=7) as game:
            game.window()
            game.wait_for("trying to load images/p2_wins.bmp")
            started = time.monotonic()
            baseline = None
            events = 0
            while time.monotonic() - started < seconds:
                if baseline is None and time.monotonic() - started >= min(WARM_UP_SECONDS, seconds / 3):
                    baseline = resident_kib(game.process.pid)
                roll = chooser.random()
                if roll < 0.55:
                    game.key(*[chooser.choice(SPECIAL) for _ in range(5)], delay_ms=5)
                elif roll < 0.9:
                    game.key(*[chooser.choice(CHARACTERS) for _ in range(3)], delay_ms=5)
                else:
                    x, y = chooser.randrange(250, 1030), chooser.randrange(250, 770)
                    game.drag(x, y, x + chooser.randrange(-200, 200), y + chooser.randrange(-200, 200))
                events += 1
                self.assertIsNone(game.process.poll(),
                                  "game ended after %d events\n%s" % (events, game.output[-3000:]))
            grown = resident_kib(game.process.pid) - baseline
            self.assertTrue(still_drawing(game), "no new frame after a key")
            self.assertIsNone(game.process.poll())
            self.assertLess(grown, 1024, "resident memory grew by %d KiB after the warm-up" % grown)
            print("soak: %d input events in %.0f s, resident memory grew %d KiB after warm-up"
                  % (events, seconds, grown))
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
