"""The real game, on the default map, loads all 67 textures (from 61 files),
each with its line, opens its full-screen window and fills it with a frame.
Then random keys, clicks, turns of the wheel and pointer drags (never the
quit keys) for KESTRAVA_SOAK_SECONDS (60 by default; try 1800), after which
the game must still run, draw a new frame for a key and quit cleanly.

Memory: the game keeps the large blocks the GL driver takes and frees every
frame in its heap, so its resident memory rises to the largest frame seen so
far and stays there; a new, larger view late in the run raises it by a few
MiB (1.2 and 3.5 MiB seen). So it may grow by at most 16 MiB after the
warm-up: 8 KiB written and lost every frame made it grow 30 MiB in the
minute."""
import os
import random
import re
import subprocess
import time
import unittest

import harness

SPECIAL = ["Left", "Up", "Right", "Down", "Insert", "Home", "F1", "F2"]
# The sky's pictures in load order: the six-face look's, then one for each backdrop.
SKY = ["skybox_" + face for face in ("front", "back", "left", "right", "up", "down")] + [
    "sad_sea", "marzz", "fairyland", "quantum", "blue_blot"]
CHARACTERS = list("v2468pPrRbflmstnNxdBFLMSTV5gj") + ["plus", "minus", "space", "Return", "comma", "period", "Tab",
                                                      "BackSpace"]


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return int(next(line for line in f if line.startswith("VmRSS:")).split()[1])


def still_drawing(game):
    """F2 toggles the red frame-rate line. Random keys may have flown the
    camera out of the sky and left the overlays in the perspective
    projection, where the line is off screen: then v brings them back."""
    for attempt in range(2):
        before = game.screenshot("soak-end-%d-before.png" % attempt)
        game.key("F2")
        try:
            game.wait_for_picture("soak-end-%d-after.png" % attempt, lambda path: subprocess.run(
                ["compare", "-metric", "AE", before, path, "null:"], stderr=subprocess.PIPE,
                stdout=subprocess.PIPE, text=True).stderr.split()[0] != "0", timeout=15)
            return True
        except AssertionError:
            game.key("v")
    return False


class Soak(unittest.TestCase):
    def test_game_starts_and_outlives_random_input(self):
        seconds = float(os.environ.get("KESTRAVA_SOAK_SECONDS", "60"))
        chooser = random.Random(20261206)
        with harness.Game(harness.play_folder(), args=[2] * 10, seed=7) as game:
            # The table ends with a second read of the Healer button's highlight.
            last = "trying to load images/menu/bhealing-selected.bmp\n"
            game.wait_for(last, start=game.wait_for(last))
            first = harness.Picture(game.wait_for_picture("first_frame.png", harness.fills_window))
            loaded = re.findall(r"^trying to load (.*)$", game.output, re.M)
            self.assertEqual(len(loaded), 67)
            self.assertEqual([path for path in loaded if "/skybox/" in path],
                             ["images/skybox/%s.bmp" % name for name in SKY])
            self.assertNotIn("Not Found", game.output)
            screen = subprocess.run(["xdpyinfo"], stdout=subprocess.PIPE, text=True, check=True).stdout
            self.assertIn("dimensions:    %dx%d pixels" % (first.width * 2, first.height * 2), screen,
                          "without a window manager, full screen still fills the screen")

            width, height = harness.SCREEN
            started, baseline, events = time.monotonic(), None, 0
            while time.monotonic() - started < seconds:
                if baseline is None and time.monotonic() - started >= min(10, seconds / 3):
                    baseline = resident_kib(game.process.pid)
                roll = chooser.random()
                if roll < 0.55:
                    game.key(*[chooser.choice(SPECIAL) for _ in range(5)], delay_ms=5)
                elif roll < 0.85:
                    game.key(*[chooser.choice(CHARACTERS) for _ in range(3)], delay_ms=5)
                elif roll < 0.92:   # a left or right click, or the wheel; the middle button's menu would hold the keys
                    game.click(chooser.randrange(0, width), chooser.randrange(0, height), chooser.choice([1, 1, 3, 4, 5]))
                else:   # from the middle of the window, up to a sixth of its width each way
                    x, y = chooser.randrange(width // 5, width * 4 // 5), chooser.randrange(height // 4, height * 3 // 4)
                    reach = width // 6
                    game.drag(x, y, x + chooser.randrange(-reach, reach), y + chooser.randrange(-reach, reach))
                events += 1
                self.assertIsNone(game.process.poll(), "game ended after %d events" % events)
            grown = resident_kib(game.process.pid) - baseline
            self.assertTrue(still_drawing(game), "no new frame after a key")
            self.assertLess(grown, 16 * 1024, "resident memory grew by %d KiB after the warm-up" % grown)
            print("soak: %d input events in %.0f s, resident memory grew %d KiB after warm-up" % (events, seconds, grown))
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
