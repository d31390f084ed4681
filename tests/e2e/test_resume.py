"""A battle outlives a kill: the real game keeps it in kestrava-save.txt after
every action, and `kestrava --resume` takes it up where it stood.

The first game is killed with SIGKILL after two actions. The save it wrote
after the first is resumed with the same keys for the second action: the hit
roll (the action's first draw, so the generator was kept as it stood), the
lines printed and the units afterwards are those of the first game. A second
game started while the first runs takes up its battle but says it keeps
nothing. A save cut short is refused with status 1 and left as it was."""
import os
import re
import signal
import unittest

import harness

SEED = 21
ARMIES = [2, 1, 1, 1, 1, 1, 1, 1, 1, 1]   # the placement of test_battle.py
SAVE = "kestrava-save.txt"
OUTCOME = re.compile(r"Hit range = .*\n(miss!|flier attacks a healer! Bonus damage!)\n")


def kept(folder, pattern):
    """The save's text, once a line of it matches pattern."""
    path = os.path.join(folder, SAVE)

    def text():
        saved = open(path).read() if os.path.exists(path) else ""
        return re.search(pattern, saved, re.M) and saved
    return harness.until(text, "save with %r" % pattern)


def write(folder, text):
    with open(os.path.join(folder, SAVE), "w") as f:
        f.write(text)


def second_action(game, folder):
    """From the cursor on player 2's hero (4, 3): player 1's Flier (2, 3) steps
    down and strikes the hero. Returns what the game printed and the save after."""
    start = len(game.output)
    game.key("Up", "Up", "Insert", "Up", "Insert", "Down", "Insert")   # menu, Move, one step down
    kept(folder, r"^unit id=3 .* row=3 ")
    game.key("Home", "Down", "Insert", "Down", "Insert")               # back to the menu, Attack, the hero
    after = kept(folder, r"^unit id=3 .* canAct=0 ")
    game.wait_for(OUTCOME, start=start)
    return OUTCOME.search(game.output, start).group(0), after


class Resume(unittest.TestCase):
    def test_battle_killed_between_actions_goes_on_the_same_when_resumed(self):
        folder = harness.play_folder("battle_7x5.txt")
        with harness.Game(folder, args=ARMIES, seed=SEED) as game:
            game.key("Down", "Down", "Right", "Insert")            # player 1's hero: the Fighter (2, 1)
            game.wait_for("p1 hero selected!")
            # The cursor went to player 2's first unit, the Archer (6, 3).
            game.key("Up", "Up", "Insert")                        # player 2's: the Healer (4, 3)
            chosen = kept(folder, r"^unit id=9 .* hero=1 ")
            # Then to player 1's first unit, unit 0, wherever the seed put it.
            row, col = map(int, re.search(r"^cursor row=(\d+) col=(\d+)", chosen, re.M).groups())
            arrows = ["Down"] * (1 - row) + ["Up"] * (row - 1) + ["Right"] * (3 - col) + ["Left"] * (col - 3)
            game.key(*arrows, "Insert", "Insert", "Down", "Down", "Down", "Insert")   # Archer (1, 3) shoots
            first = kept(folder, r"^unit id=1 .* canAct=0 ")
            with harness.Game(folder, args=["--resume"]) as second:
                second.wait_for("keep nothing.\n")
                self.assertEqual(second.output, "Resuming the battle kept in kestrava-save.txt: player 1's turn.\n"
                                 "Another game running in this folder keeps its battle in kestrava-save.txt: "
                                 "this one will keep nothing.\n")
                self.assertEqual(second.quit(), 0)
            lines, after = second_action(game, folder)
            os.kill(game.process.pid, signal.SIGKILL)
            self.assertEqual(game.wait_exit(), -signal.SIGKILL)

        write(folder, first)
        with harness.Game(folder, args=["--resume"]) as game:
            game.wait_for("\n")
            self.assertEqual(game.output, "Resuming the battle kept in kestrava-save.txt: player 1's turn.\n")
            again, after_again = second_action(game, folder)
            self.assertEqual(again, lines)
            self.assertEqual(re.findall("^unit .*", after_again, re.M), re.findall("^unit .*", after, re.M))
            self.assertEqual(game.quit(), 0)

        cut = first[:len(first) // 2]
        write(folder, cut)
        with harness.Game(folder, args=["--resume"]) as game:
            self.assertEqual(game.wait_exit(), 1)
            self.assertEqual(game.output, "Cannot resume from kestrava-save.txt: it is cut short: "
                                          'its last line is not "end".\n')
        self.assertEqual(open(os.path.join(folder, SAVE)).read(), cut)


if __name__ == "__main__":
    unittest.main()
