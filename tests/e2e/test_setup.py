"""The setup screen: a map, both armies, a computer opponent, its level and
the speed chosen by clicks, then Start. The battle begun must be the one the
same options and numbers on the command line begin: the console from the map
on to the last unit placed is compared, line for line, with a second run given
them on its command line with the same seed."""
import os
import re
import subprocess
import unittest

import harness

SEED = 4242
# The columns of the screen (parts of the window's width) and its rows, as the game lays them out.
COLUMNS = [(0.02, 0.31), (0.33, 0.73), (0.75, 0.98)]
CLASS_ROW, COMMANDER_ROW, LEVEL_ROW, SPEED_ROW = 2, 9, 11, 12
NAME_WIDTH, SIDE_WIDTH = 0.30, 0.35


class Screen:
    """Where the setup screen puts a control in a window of this size (x, y from the top left)."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pitch = max(18, height // 25)
        self.margin = height // 40

    def row(self, column, row, start=0.0, end=1.0):
        left, right = (int(edge * self.width) for edge in COLUMNS[column])
        across = right - left
        x = left + int(start * across) + (int(end * across) - int(start * across)) // 2
        return x, self.margin + row * self.pitch + (self.pitch - 3) // 2

    def count(self, index, more):
        side = NAME_WIDTH + (index // 5) * SIDE_WIDTH
        start = side + (0.25 if more else 0.0)
        return self.row(1, CLASS_ROW + index % 5, start, start + 0.09)


def display_size():
    found = subprocess.run(["xdotool", "getdisplaygeometry"], check=True, stdout=subprocess.PIPE, text=True)
    width, height = found.stdout.split()
    return int(width), int(height)


def battle_start(output):
    """The console from the line naming the map to the last unit placed."""
    start = output.index("The map: ")
    last = list(re.finditer(r"occupying a square with unit with id num of \d+\n", output))[-1]
    return output[start:last.end()]


class SetupScreenTest(unittest.TestCase):
    def test_start_begins_the_battle_the_command_line_begins(self):
        folder = harness.play_folder()
        os.symlink(os.path.join(harness.RUN_DIR, "maps"), os.path.join(folder, "maps"))
        maps = sorted(name[:-4] for name in os.listdir(os.path.join(folder, "maps")) if name.endswith(".txt"))
        # Player 1: 4 Archers, 2 Fighters, 0 Fliers, 2 Healers, 2 Mages; player 2: 2, 3, 2, 2, 0.
        counts = [4, 2, 0, 2, 2, 2, 3, 2, 2, 0]
        clicks = [(0, True), (0, True), (2, False), (2, False), (6, True), (9, False), (9, False)]
        with harness.Game(folder, ["--setup"], seed=SEED) as game:
            game.window()
            # Full screen comes as a resize, which the game takes before any click that follows it.
            full = display_size()
            harness.until(lambda: game.size() == full, "the window at the display's size")
            screen = Screen(*full)
            game.click(*screen.row(0, 1 + maps.index("skirmish")))
            for index, more in clicks:
                game.click(*screen.count(index, more))
            game.click(*screen.row(1, COMMANDER_ROW + 1))    # player 2: the computer
            game.click(*screen.row(1, LEVEL_ROW))            # normal, then hard
            game.click(*screen.row(1, SPEED_ROW))            # 1X, then 2X
            # The setup screen loads the pictures once; the battle's window
            # loads them again once the armies are placed.
            before = game.wait_for("Making checkerboard")
            game.click(*screen.row(2, 0))                     # Start
            game.wait_for("Making checkerboard", start=before)
            chosen = battle_start(game.output[before:])
            self.assertIn("The map: maps/skirmish.txt\n", chosen)
            self.assertEqual(chosen.count("occupying a square"), sum(counts))
            with open(os.path.join(folder, "kestrava-settings.txt")) as settings:
                self.assertEqual(settings.read(), "kestrava-settings version=1\nspeed 2\nend\n")
            game.quit()
        line = ["--map", "skirmish", "--computer", "2", "--level", "hard"] + counts
        with harness.Game(folder, line, seed=SEED) as game:
            game.wait_for("Making checkerboard")
            self.assertEqual(chosen, battle_start(game.output))
            game.quit()


if __name__ == "__main__":
    unittest.main()
