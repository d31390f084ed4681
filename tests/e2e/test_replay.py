"""A battle recorded with --record and played back with --replay: two
computers fight to a victory at 25 frames a second (w: in a hurry; g: the
battle speed 2; space pressed again and again, ending what plays; the camera
turned and looking down, Tab refused), every class striking at least once; played back at 60 and at 20 frames a second, eight times as fast
(g three times), the replay prints the same console lines, line for line, and
keeps the same battle at its end. A recording game stopped by Ctrl-C, a kill
or a closed terminal quits as q does and its replay plays to the same end;
one killed outright plays up to its last whole command."""
import os
import signal
import unittest

import harness

# Each side one of each class on a map of two columns, where the armies meet
# at once; with this seed each class strikes a blow its console line names.
ARMIES = [1] * 10
SEED = 8
ATTACKERS = [("arher attacks", "archer attacks"), ("fighter attacks",), ("flier attacks",), ("healer attacks",),
             ("mage attacks",)]


def read(path):
    with open(path) as file:
        return file.read()


def kept_victory(path):
    """The kept battle, once it holds a victory."""
    text = read(path) if os.path.exists(path) else ""
    return "p1Wins=1" in text or "p2Wins=1" in text


class Replay(unittest.TestCase):
    def test_a_recorded_battle_plays_back_line_for_line_at_two_frame_caps(self):
        folder = harness.play_folder("ones_7x2.txt")
        recording = os.path.join(folder, "battle.kreplay")
        save = os.path.join(folder, "kestrava-save.txt")
        with harness.Game(folder, args=["--computer", "both", "--record", recording] + ARMIES, seed=SEED,
                          env={"KESTRAVA_COMPUTER_PACE": "0", "KESTRAVA_MAX_FPS": "25"}) as game:
            game.window()
            game.key("w", "g", "comma", "5", "Tab")
            # Space over and over: each ends what plays then by the battle's own ticks, which the replay runs the same.
            harness.until(lambda: game.key("space") or kept_victory(save), "a victory kept", timeout=240, pause=0.3)
            self.assertEqual(game.quit(), 0)
            recorded = game.output
        kept = read(save)
        for names in ATTACKERS:
            self.assertTrue(any(name in recorded for name in names), "no %r in the recorded battle" % names[0])
        for cap in ("60", "20"):
            with self.subTest(cap=cap):
                replayed = os.path.join(folder, "kestrava-replay-save.txt")
                if os.path.exists(replayed):
                    os.remove(replayed)
                with open(save, "w") as file:   # the folder's own battle, which watching leaves alone
                    file.write("kept by another battle\n")
                with harness.Game(folder, args=["--replay", recording], env={"KESTRAVA_MAX_FPS": cap}) as game:
                    game.window()
                    game.key("g", "g", "g")
                    harness.until(lambda: "The replay is over" in game.errors, "the end of the replay", timeout=120)
                    self.assertEqual(game.quit(), 0)
                    self.assertEqual(game.output.splitlines(), recorded.splitlines())
                self.assertEqual(read(replayed), kept)
                self.assertEqual(read(save), "kept by another battle\n")

    def test_a_recording_stopped_by_a_signal_plays_back_to_where_it_stopped(self):
        for stop in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGKILL):
            with self.subTest(signal=stop.name):
                folder = harness.play_folder("ones_7x2.txt")
                recording = os.path.join(folder, "battle.kreplay")
                with harness.Game(folder, args=["--computer", "both", "--record", recording] + ARMIES, seed=SEED,
                                  env={"KESTRAVA_COMPUTER_PACE": "0"}) as game:
                    game.window()
                    game.wait_for(" attacks")   # the battle under way, a blow playing or played
                    game.process.send_signal(stop)
                    self.assertEqual(game.wait_exit(), -stop if stop == signal.SIGKILL else 0)
                    recorded = game.output.splitlines()
                kept = read(os.path.join(folder, "kestrava-save.txt"))
                with harness.Game(folder, args=["--replay", recording]) as game:
                    game.window()
                    game.key("g", "g", "g")
                    harness.until(lambda: "The replay is over" in game.errors, "the end of the replay", timeout=120)
                    self.assertEqual(game.quit(), 0)
                    replayed = game.output.splitlines()
                    if stop != signal.SIGKILL:
                        self.assertEqual(replayed, recorded)
                        self.assertEqual(read(os.path.join(folder, "kestrava-replay-save.txt")), kept)
                        continue
                    self.assertRegex(game.errors, "^%s has no end line: the recording stops at tick [0-9]+, its last "
                                                  "whole command.\n" % recording)
                    # Up to its last command; the killed game may have printed what came after it, and the
                    # line that command prints (the last here) may not have come out before the kill.
                    self.assertEqual(replayed[:-1], recorded[:len(replayed) - 1])
                    self.assertIn(" attacks", "".join(replayed))


if __name__ == "__main__":
    unittest.main()
