"""An attack of every class in the real game, driven by keys on a virtual
display. Player 1's army fills its three home rows of a 7 x 2 map, so the
map printout (the p key) tells which unit stands where: ids follow creation
order, and no square of the home rows is empty. Each unit in turn attacks its
neighbour; a screenshot is taken while the attack plays and kept under the
artifacts folder for a person to look at.

Where an action stands is read off the picture: the reach diamond shows
while the target is chosen and goes when the attack starts; the status
numbers (pure red text in the bottom-left corner) show while the cursor rests
on the acting unit, and the end of the action takes them away."""
import os
import re
import signal
import time
import unittest

import harness

# Player 1: two Archers (ids 0, 1), a Fighter (2), a Flier (3), a Healer (4)
# and a Mage (5), filling its six home squares. Player 2 the same (ids 6–11).
ARMIES = [2, 1, 1, 1, 1, 2, 1, 1, 1, 1]
# The order matters. A missed spell ends at its first update, before any
# picture could show it, so the Mage goes first: its hit roll is then the
# first random number after placement, which the seed makes a hit (later
# rolls depend on how many frames the earlier attacks drew). The Flier goes
# before the Fighter: the return counter of a lunge carries over to the next
# one, and after the Fighter's five-update pause it would cut the Flier's
# wait at the target to nothing.
SEED = 42
ATTACKERS = [("mage", 5), ("flier", 3), ("fighter", 2), ("archer", 1), ("healer", 4)]
ROWS, COLS = 7, 2

def occupancy(text):
    """The last map printout in the console text, as rows of ids."""
    at = text.rfind("PRINTING OUT MAP WITH OCCUPIED")
    lines = text[at:].split("\n")[1:1 + ROWS]
    return [[int(v) for v in line.split()] for line in lines]


class AttackOfEveryClass(unittest.TestCase):
    def catch_attack_playing(self, game, name):
        """A picture of the attack under way: the diamond gone, the numbers
        still up. Software drawing under load can be slower than a lunge, so
        from the key that starts the attack on the game is paused for every
        picture and let run a tenth of a second between them. Its clock keeps
        going while it is paused, so each resumed frame moves the attack on
        by the whole pause and the attack still ends after a few rounds. Returns the path, or None if the attack was
        over first (the last picture then stays as <name>-over.png)."""
        pid = game.process.pid
        os.kill(pid, signal.SIGSTOP)
        try:
            for _ in range(200):
                path = game.screenshot(name)
                picture = harness.Picture(path)
                if not picture.labels_shown():
                    os.replace(path, path[:-len(".png")] + "-over.png")
                    return None
                if not picture.reach_shown():
                    return path
                os.kill(pid, signal.SIGCONT)
                time.sleep(0.1)
                os.kill(pid, signal.SIGSTOP)
            return None
        finally:
            os.kill(pid, signal.SIGCONT)

    def test_each_class_attacks_its_neighbour(self):
        folder = harness.play_folder(map_path=harness.data_file("maps", "ones_7x2.txt"))
        with harness.Game(folder, args=ARMIES, seed=SEED) as game:
            game.window()
            cursor = [0, 0]

            def walk_to(row, col):
                """Arrow keys to the square; at least one, since only a cursor
                move puts the cursor on the unit there."""
                keys = ["Down"] * (row - cursor[0]) + ["Up"] * (cursor[0] - row)
                keys += ["Right"] * (col - cursor[1]) + ["Left"] * (cursor[1] - col)
                if not keys:
                    keys = ["Left", "Right"] if col == 1 else ["Right", "Left"]
                game.key(*keys)
                cursor[0], cursor[1] = row, col

            start = len(game.output)
            game.key("p")
            game.wait_for(re.compile(r"OCCUPIED\n(.*\n){%d}" % ROWS), start=start)
            grid = occupancy(game.output)
            where = {grid[r][c]: (r, c) for r in range(3) for c in range(COLS)}
            self.assertEqual(sorted(where), [0, 1, 2, 3, 4, 5], grid)

            # Each attacker hits the other unit of its row, so the row mate of
            # the idle Archer (id 0) is never hit: it is player 1's hero. Player
            # 2's hero stands in its back row, out of the fighting.
            idle_row, idle_col = where[0]
            walk_to(idle_row, 1 - idle_col)
            game.key("Insert")
            game.wait_for("p1 hero selected!")
            walk_to(6, 0)
            game.key("Insert")
            game.wait_for("p2 hero selected!")

            for name, unit_id in ATTACKERS:
                row, col = where[unit_id]
                walk_to(row, col)
                # The begin-turn banner covers the overlays for its first seconds.
                game.wait_for_picture("before_%s.png" % name,
                                      lambda path: harness.Picture(path).labels_shown(), timeout=60)

                game.key("Insert", "Insert")                  # the menu, then Attack
                target_key = "Left" if col == 1 else "Right"  # the other square of the row
                game.key(target_key)
                cursor[1] = 1 - col
                game.wait_for_picture("aiming_%s.png" % name,
                                      lambda path: harness.Picture(path).reach_shown(), timeout=60)

                start = len(game.output)
                game.key("Insert")
                kept = self.catch_attack_playing(game, "attack_%s.png" % name)
                game.wait_for_picture("after_%s.png" % name,
                                      lambda path: not harness.Picture(path).labels_shown(), timeout=90)
                roll = re.search(r"Hit range = .*\n(miss!\n)?", game.output[start:])
                self.assertIsNotNone(roll, "%s: no hit roll on the console" % name)
                if name == "mage":
                    self.assertIsNone(roll.group(1), "seed %d no longer gives the Mage a hit" % SEED)
                self.assertIsNotNone(kept, "%s: the attack was over before any picture showed it" % name)

            self.assertEqual(game.output.count("Hit range = "), len(ATTACKERS))
            self.assertIsNone(game.process.poll(), "the game ended during the attacks")
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
