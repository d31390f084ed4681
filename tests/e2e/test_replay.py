"""A battle recorded with --record and played back with --replay: two
computers fight to a victory at 25 frames a second (w: in a hurry; g: the
battle speed 2; space pressed again and again, ending what plays; the camera
turned and looking down, Tab refused), every class striking at least once; played back at 60 and at 20 frames a second, eight times as fast
(g three times), the replay prints the same console lines, line for line, and
keeps the same battle at its end. A replay cut short is refused with one
line and exit status 1."""
import os
import unittest

import harness

# Each side one of each class on a map of two columns, where the armies meet
# at once; with this seed each class strikes a blow its console line names.
ARMIES = [1] * 10
SEED = 1
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

    def test_a_replay_cut_short_is_refused_with_one_line(self):
        folder = harness.play_folder("ones_7x2.txt")
        recording = os.path.join(folder, "battle.kreplay")
        with harness.Game(folder, args=["--record", recording] + ARMIES, seed=SEED) as game:
            game.wait_for("Read file done.")
            self.assertEqual(game.quit(), 0)
        whole = read(recording)
        with open(recording, "w") as file:
            file.write(whole[:whole.rindex("end ")])
        with harness.Game(folder, args=["--replay", recording]) as game:
            self.assertEqual(game.wait_exit(), 1)
            self.assertEqual(game.output, "Cannot replay %s: line %d: the file is cut short: it has no end line.\n"
                             % (recording, whole.count("\n")))


if __name__ == "__main__":
    unittest.main()
