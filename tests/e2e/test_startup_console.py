"""Start-up on the console: the real binary reads its map, takes the army
counts, checks them and places the units, every line of it checked. Refused
runs end with status 1 there; accepted runs have no images/, so they go on
to the window and end with status 1 at the first picture."""
import os
import re
import subprocess
import tempfile
import unittest

import harness

CORRECT = "\n:::Correct Number of Units Entered...Placing Units Randomly On Map:::\n"
PROMPT = "There are not enough inputs. Please enter both armies now (10 numbers):\n"
EQUAL = "\nUnit count for Player 1 and Player 2 are equal.\n\n"
MORE_1 = "\nPlayer 1 has more units than Player 2.\n\n"
MORE_2 = "\nPlayer 2 has more units than Player 1.\n\n"
TOO_MANY = "Too many units to fit on the first 3 rows of the map.\n"
ROWS = "3 rows per player are needed for unit placement.\n Please enlarge the map.\n"
COLS = "There must be at least 2 columns in the map file.\n Please fix the file and try again.\n"
LARGE = "The map may have at most 50 rows and 50 columns.\n Please make the map smaller.\n"
# The re-roll line of each placement run, in count order (None: silent).
DUPLICATE = "duplicate found...re-rolling"
REROLL = [None, None, DUPLICATE, DUPLICATE, DUPLICATE, None, DUPLICATE, DUPLICATE, "mage " + DUPLICATE, DUPLICATE]


def sizes(cols, rows):
    return "\nNumber of cols is: %d\nNumber of rows is: %d\n\n" % (cols, rows)


def map_report(rows):
    """Both passes over an accepted map, its rows given as strings of terrain
    digits as they fill the squares: the corners, then the top-left 10 x 10
    terrain block, -1 beyond the map."""
    text = sizes(len(rows[0]), len(rows)) + "\nRead file done.\n"
    text += "".join("bottom left corner is at %d 0 %d\n" % (c, r + 1)
                    for r in range(len(rows)) for c in range(len(rows[0])))
    block = [list(row[:10]) + ["-1"] * (10 - len(row[:10])) for row in rows[:10]]
    block += [["-1"] * 10] * (10 - len(block))
    return text + "\n" + "".join("".join(" %s " % v for v in line) + "\n" for line in block)


def placement(counts):
    """A pattern for every placement line of these counts, in order; each run
    may re-roll any number of times, and only the runs with a line print it."""
    pattern, next_id = "", 0
    for run, count in enumerate(counts):
        for _ in range(max(count, 0)):
            pattern += "(?:%s\n)*" % re.escape(REROLL[run]) if REROLL[run] else ""
            pattern += re.escape("id num is %d\noccupying a square with unit with id num of %d\n" % (next_id, next_id))
            next_id += 1
    return pattern


with open(os.path.join(harness.REPO, "WorldDesc.txt")) as f:
    DEFAULT_ROWS = [line.rstrip("#") for line in f.read().split("\n")]
ONES = map_report(["11"] * 7)
FOUR = map_report(["1214"] * 7)
FIVE = map_report(["12345", "23451", "34512", "45123", "51234", "12345", "23451"])
NO_FILE = "(no file)"
PIPE = "(a pipe)"


def folder_with(map_name):
    """A play folder without images/ whose WorldDesc.txt is the named map,
    none (NO_FILE), or a pipe with no writer (PIPE)."""
    if map_name not in (NO_FILE, PIPE):
        return harness.play_folder(map_name, False)
    folder = tempfile.mkdtemp()
    if map_name == PIPE:
        os.mkfifo(os.path.join(folder, "WorldDesc.txt"))
    return folder


# map file, arguments, console input, the transcript up to placement, the
# armies placed (None: refused with status 1 there)
RUNS = [
    (NO_FILE, [1] * 10, None, "Unable to open file WorldDesc.txt\n", None),
    (PIPE, [1] * 10, None, "Unable to read file WorldDesc.txt: it is a pipe, not a file.\n", None),
    ("empty.txt", [1] * 10, None, "No data in the specified file!\n", None),
    ("six_rows.txt", [1] * 10, None, sizes(4, 6) + ROWS, None),
    ("one_column.txt", [1] * 10, None, sizes(1, 7) + COLS, None),
    ("wide_51.txt", [1] * 10, None, sizes(51, 7) + LARGE, None),
    ("ones_7x2.txt", [7, 0, 0, 0, 0, 0, 0, 0, 0, 0], None, ONES + CORRECT + MORE_1 + TOO_MANY, None),
    ("ones_7x2.txt", [1, 1, 1, 1, 1, 2, 2, 1, 1, 1], None, ONES + CORRECT + MORE_2 + TOO_MANY, None),
    ("ones_7x2.txt", [], "2 2 2 1 0\n2 2 2 0 1\n", ONES + PROMPT + EQUAL + TOO_MANY, None),
    ("ones_7x2.txt", [0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 99], None, ONES + TOO_MANY, None),   # no report past ten
    # Negative counts make no room: player 2's plain total is 1, but seven Archers need seven squares.
    ("ones_7x2.txt", [], "0 0 0 0 0 7 -3 -3 0 0", ONES + PROMPT + MORE_2 + TOO_MANY, None),
    ("seven_rows.txt", [3, 0, 0, 0, 0, 0, 0, 0, 0, 1], None, FOUR + CORRECT + MORE_1, [3, 0, 0, 0, 0, 0, 0, 0, 0, 1]),
    # A line break after the last row adds a column, which the digits run out before.
    ("ones_7x2_newline.txt", [], "1 1 1 1 1\n1 1 1 1 1\n",
     map_report(["111", "111", "111", "111", "110", "000", "000"]) + PROMPT + EQUAL, [1] * 10),
    ("zeros.txt", [0, 1, 0, 0, 0, 0, 0, 0, 0, 1], None,
     map_report(["1231", "2312", "3123", "1231", "2312", "3000", "0000"]) + CORRECT + EQUAL,
     [0, 1, 0, 0, 0, 0, 0, 0, 0, 1]),
    # Console input that ends early, or is not a number, keeps 2 for the rest.
    ("map_7x5.txt", [], "1 0\n0", FIVE + PROMPT + MORE_2, [1, 0, 0, 2, 2, 2, 2, 2, 2, 2]),
    ("map_7x5.txt", ["a", "b"], "3 four 1 1 1 1 1 1 1 1", FIVE + PROMPT + MORE_1, [3, 2, 2, 2, 2, 2, 2, 2, 2, 2]),
    ("ones_7x2.txt", [0, 0, 6, 0, 0, 0, 0, 0, 6, 0], None, ONES + CORRECT + EQUAL, [0, 0, 6, 0, 0, 0, 0, 0, 6, 0]),
    # Words count as 0 and leading blanks are skipped, as atoi does.
    ("seven_rows.txt", ["x", "0", "", "-", "+0", " 1", "0", "0", "0", "0"], None, FOUR + CORRECT + MORE_2,
     [0, 0, 0, 0, 0, 1, 0, 0, 0, 0]),
    (None, [2] * 10, None, map_report(DEFAULT_ROWS) + CORRECT + EQUAL, [2] * 10),
]


class StartupTranscripts(unittest.TestCase):
    def ends_with(self, game, report, armies):
        """The game stops with status 1 after the transcript `report`, then the
        placement of `armies` when they are given; the placement's match."""
        self.assertEqual(game.wait_exit(), 1)
        if armies is None:
            self.assertEqual(game.output, report)
            return None
        placed = re.match(re.escape(report) + placement(armies), game.output)
        self.assertIsNotNone(placed, "unexpected start-up transcript")
        return placed

    def test_every_run_prints_its_transcript_and_ends_where_it_should(self):
        for map_name, args, stdin, report, armies in RUNS:
            with self.subTest(map=map_name, args=args, stdin=stdin), \
                    harness.Game(folder_with(map_name), args=args, stdin=stdin, seed=20261206) as game:
                placed = self.ends_with(game, report, armies)
                if placed is None:
                    continue
                # Then the window shell takes over and stops at the first missing picture.
                self.assertEqual(game.output[placed.end():], "Making checkerboard\ntrying to load images/water.bmp\n"
                                                             "File Not Found : images/water.bmp\n")

    def test_a_map_is_chosen_by_name_or_path_and_refused_naming_its_file(self):
        """--map: a bundled map by name, any file by path, refused with the
        lines WorldDesc.txt gets; --maps lists the bundled maps."""
        bundled = os.path.join(harness.REPO, "maps")
        with open(os.path.join(bundled, "skirmish.txt")) as f:
            skirmish = [line.rstrip("#") for line in f.read().split("\n")]
        six_rows = os.path.join(harness.TEST_DATA, "maps", "six_rows.txt")
        runs = [  # arguments, the transcript up to placement, the armies placed (None: refused)
            (["--map", "skirmish"], "The map: maps/skirmish.txt\n" + map_report(skirmish) + CORRECT + EQUAL, [1] * 10),
            (["--map", six_rows], "The map: %s\n" % six_rows + sizes(4, 6) + ROWS, None),
            (["--map", "nowhere"], "The map: maps/nowhere.txt\nUnable to open file maps/nowhere.txt\n", None),
            (["--map", "/dev/zero"], "The map: /dev/zero\nUnable to read file /dev/zero: it is a device, not a file.\n",
             None),
        ]
        for args, report, armies in runs:
            folder = harness.play_folder("ones_7x2.txt", False)
            os.symlink(os.path.join(harness.RUN_DIR, "maps"), os.path.join(folder, "maps"))
            with self.subTest(args=args), harness.Game(folder, args=args + [1] * 10, seed=20261206) as game:
                self.ends_with(game, report, armies)

        listing = "Maps in maps/ (kestrava --map NAME):\n"
        for name in sorted(n[:-4] for n in os.listdir(bundled) if n.endswith(".txt")):
            with open(os.path.join(bundled, name + ".txt")) as f:
                rows = f.read().split("\n")
            listing += "  %-20s %2d columns x %2d rows\n" % (name, len(rows[0]) - 1, len(rows))
        with harness.Game(harness.RUN_DIR, args=["--maps"]) as game:
            self.assertEqual(game.wait_exit(), 0)
            self.assertEqual(game.output, listing)

    def test_help_prints_usage_and_exits_zero(self):
        for flag in ("--help", "-h"):
            with harness.Game(tempfile.mkdtemp(), args=[flag]) as game:
                self.assertEqual(game.wait_exit(), 0)
                self.assertTrue(game.output.startswith("Usage: kestrava "))
                for word in ("Archers", "Fighters", "Fliers", "Healers", "Mages", "WorldDesc.txt", "images/",
                             "KESTRAVA_SEED", "KESTRAVA_MAX_FPS", "--resume", "kestrava-save.txt", "--map", "--maps",
                             "--level"):
                    self.assertIn(word, game.output)

    def test_a_mistyped_or_misplaced_option_is_refused_with_the_usage(self):
        """Refused before start-up, with one line and the usage: among them
        every file --record must not write into, found by what it is, not by
        its name, and left as it was."""
        map_line = "kestrava: --record would write over the map, %s."
        runs = [  # arguments, the first line on standard error
            (["--computr", "2"] + [1] * 10, "kestrava: there is no option --computr."),
            ([1] * 10 + ["--computer", "2"], "kestrava: --computer must come before the army counts."),
            (["--resume", "--resume"], "kestrava: --resume is given twice."),
            (["--record", "--computer", "2"] + [1] * 10, "kestrava: --record takes the file to record into."),
            (["--record", "pipe"] + [1] * 10, "kestrava: --record cannot write into pipe: it is a pipe, not a file."),
            (["--record", "/dev/full"], "kestrava: --record cannot write into /dev/full: it is a device, not a file."),
            (["--record", "folder"], "kestrava: --record cannot write into folder: it is a directory, not a file."),
            (["--record", "./WorldDesc.txt"], map_line % "WorldDesc.txt"),
            (["--record", "link"], map_line % "WorldDesc.txt"),
            (["--map", "own.txt", "--record", "folder/../own.txt"], map_line % "own.txt"),
            (["--record", "kestrava-save.txt"], "kestrava: --record would write over the kept battle, kestrava-save.txt."),
            (["--record", "folder/../kestrava-replay-save.txt"],
             "kestrava: --record would write over the replay's kept battle, kestrava-replay-save.txt."),
            (["--computer", "2", "--level", "expert"] + [1] * 10, "kestrava: --level takes easy, normal or hard."),
            (["--level", "easy"] + [1] * 10,
             "kestrava: --level goes with --computer: it sets how well the computer plays."),
        ]
        for args, line in runs:
            with self.subTest(args=args):
                folder = harness.play_folder("ones_7x2.txt", False)
                os.mkfifo(os.path.join(folder, "pipe"))
                os.mkdir(os.path.join(folder, "folder"))
                os.symlink("WorldDesc.txt", os.path.join(folder, "link"))
                with open(os.path.join(folder, "own.txt"), "w") as f:
                    f.write("11#\n" * 6 + "11#")
                before = sorted(os.listdir(folder)), open(os.path.join(folder, "WorldDesc.txt")).read()
                run = subprocess.run([os.path.join(harness.RUN_DIR, "kestrava")] + [str(a) for a in args],
                                     cwd=folder, capture_output=True, text=True, timeout=60)
                self.assertEqual(run.returncode, 2, run.stdout + run.stderr)
                self.assertEqual(run.stdout, "")
                self.assertEqual(run.stderr.split("\n")[0], line)
                self.assertIn("\n\nUsage: kestrava ", run.stderr)
                self.assertEqual((sorted(os.listdir(folder)), open(os.path.join(folder, "WorldDesc.txt")).read()),
                                 before)


if __name__ == "__main__":
    unittest.main()
