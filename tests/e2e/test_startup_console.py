"""Start-up on the console, end to end: the real binary reads its map, takes
the army counts, checks them and places the units. Refused runs end before any
window; accepted runs have no images/, so they end at the first picture they
cannot load, and everything before the window is checked line for line."""
import os
import re
import shutil
import tempfile
import unittest

import harness

REPO_MAP = os.path.join(harness.REPO, "WorldDesc.txt")
CORRECT = "\n:::Correct Number of Units Entered...Placing Units Randomly On Map:::\n"
PROMPT = "There are not enough inputs. Please enter both armies now (10 numbers):\n"
EQUAL = "\nUnit count for Player 1 and Player 2 are equal.\n\n"
MORE_1 = "\nPlayer 1 has more units than Player 2.\n\n"
MORE_2 = "\nPlayer 2 has more units than Player 1.\n\n"
TOO_MANY = "Too many units to fit on the first 3 rows of the map.\n"
ROWS_REFUSED = "3 rows per player are needed for unit placement.\n Please enlarge the map.\n"
COLS_REFUSED = "There must be at least 2 columns in the map file.\n Please fix the file and try again.\n"
TOO_LARGE = "The map may have at most 50 rows and 50 columns.\n Please make the map smaller.\n"

# The re-roll message of each placement run, in count order (None: silent).
DUPLICATE = "duplicate found...re-rolling"
REROLL = [None, None, DUPLICATE, DUPLICATE, DUPLICATE, None, DUPLICATE, DUPLICATE, "mage " + DUPLICATE, DUPLICATE]


def sizes(cols, rows):
    return "\nNumber of cols is: %d\nNumber of rows is: %d\n\n" % (cols, rows)


def map_report(cols, rows, block):
    """What both map passes print for an accepted map; block is the 10 x 10
    terrain block as ten strings of ten numbers separated by blanks."""
    text = sizes(cols, rows) + "\nRead file done.\n"
    for r in range(rows):
        for c in range(cols):
            text += "bottom left corner is at %d 0 %d\n" % (c, r + 1)
    text += "\n"
    for line in block:
        text += "".join(" %s " % value for value in line.split()) + "\n"
    return text


def padded(rows):
    """A terrain block from the rows in play, padded with -1 to 10 x 10."""
    lines = [" ".join(row.split() + ["-1"] * (10 - len(row.split()))) for row in rows[:10]]
    return lines + [" ".join(["-1"] * 10)] * (10 - len(lines))


def placement_pattern(counts):
    """Every placement line for these counts, in order; each run may re-roll
    any number of times, and only the runs that have a message print it."""
    pattern, next_id = "", 0
    for run, count in enumerate(counts):
        for _ in range(max(count, 0)):
            if REROLL[run]:
                pattern += "(?:%s\n)*" % re.escape(REROLL[run])
            pattern += re.escape("id num is %d\noccupying a square with unit with id num of %d\n"
                                 % (next_id, next_id))
            next_id += 1
    return pattern


def folder_with(map_name):
    return harness.play_folder(map_path=harness.data_file("maps", map_name), images=False)


# Both passes over ones_7x2.txt: three home rows of two squares each.
ONES_7X2 = map_report(2, 7, padded(["1 1"] * 7))


class Refusals(unittest.TestCase):
    """Every start-up failure ends promptly with status 1, before any window."""

    def refused(self, folder, expected, args=[1] * 10, stdin=None):
        status, output = harness.run_console(folder, args=args, stdin=stdin, seed=1,
                                             timeout=30, display=False)
        self.assertEqual(output, expected)
        self.assertEqual(status, 1)

    def test_map_files_that_cannot_be_played(self):
        self.refused(tempfile.mkdtemp(prefix="kestrava-e2e-"), "Unable to open file WorldDesc.txt\n")
        self.refused(folder_with("empty.txt"), "No data in the specified file!\n")
        self.refused(folder_with("six_rows.txt"), sizes(4, 6) + ROWS_REFUSED)
        self.refused(folder_with("no_hash.txt"), sizes(8, 0) + ROWS_REFUSED)
        self.refused(folder_with("one_column.txt"), sizes(1, 7) + COLS_REFUSED)

    def test_maps_larger_than_fifty_are_refused_before_any_square(self):
        self.refused(folder_with("wide_51.txt"), sizes(51, 7) + TOO_LARGE)
        self.refused(folder_with("tall_51.txt"), sizes(2, 51) + TOO_LARGE)

    def test_armies_larger_than_their_home_rows(self):
        ones = folder_with("ones_7x2.txt")
        self.refused(ones, ONES_7X2 + CORRECT + MORE_1 + TOO_MANY, args=[7, 0, 0, 0, 0, 0, 0, 0, 0, 0])
        self.refused(ones, ONES_7X2 + CORRECT + MORE_2 + TOO_MANY, args=[1, 1, 1, 1, 1, 2, 2, 1, 1, 1])
        # From the console, and with more than ten arguments (no report then).
        self.refused(ones, ONES_7X2 + PROMPT + EQUAL + TOO_MANY, args=[], stdin="2 2 2 1 0\n2 2 2 0 1\n")
        self.refused(ones, ONES_7X2 + TOO_MANY, args=[0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 99])

    def test_negative_counts_do_not_make_room_for_other_classes(self):
        # Player 1's plain total is 5, but ten Fighters need ten squares.
        ones = folder_with("ones_7x2.txt")
        self.refused(ones, ONES_7X2 + CORRECT + MORE_1 + TOO_MANY, args=[-5, 10, 0, 0, 0, 0, 0, 0, 0, 0])
        self.refused(ones, ONES_7X2 + PROMPT + MORE_2 + TOO_MANY, args=[], stdin="0 0 0 0 0 7 -3 -3 0 0")

    def test_counts_near_the_int_limit_never_wrap(self):
        ones = folder_with("ones_7x2.txt")
        self.refused(ones, ONES_7X2 + CORRECT + EQUAL + TOO_MANY, args=[2147483647] * 10)
        self.refused(ones, ONES_7X2 + CORRECT + MORE_1 + TOO_MANY,
                     args=["99999999999999999999"] * 5 + ["-99999999999999999999"] * 5)


class Accepted(unittest.TestCase):
    """Accepted start-ups: exact lines up to the hand-over to the window."""

    def start(self, folder, report, counts, args=None, stdin=None):
        status, output = harness.run_console(folder, args=counts if args is None else args,
                                             stdin=stdin, seed=20261206, timeout=60)
        match = re.match(re.escape(report) + placement_pattern(counts), output)
        self.assertIsNotNone(match, "unexpected start-up transcript:\n" + output[:6000])
        # Then the window shell takes over and stops at the missing pictures.
        rest = output[match.end():]
        self.assertNotIn("id num is", rest)
        self.assertIn("images/water.bmp", rest)
        self.assertEqual(status, 1)
        return output

    def test_seven_rows_of_four_digits_with_ten_arguments(self):
        report = map_report(4, 7, padded(["1 2 1 4"] * 7)) + CORRECT + MORE_1
        self.start(folder_with("seven_rows.txt"), report, [3, 0, 0, 0, 0, 0, 0, 0, 0, 1])

    def test_line_break_after_the_last_row_adds_a_column_of_zeros(self):
        rows = ["1 1 1", "1 1 1", "1 1 1", "1 1 1", "1 1 0", "0 0 0", "0 0 0"]
        report = map_report(3, 7, padded(rows)) + PROMPT + EQUAL
        self.start(folder_with("ones_7x2_newline.txt"), report, [1] * 10, args=[],
                   stdin="1 1 1 1 1\n1 1 1 1 1\n")

    def test_zeros_are_skipped_while_filling(self):
        rows = ["1 2 3 1", "2 3 1 2", "3 1 2 3", "1 2 3 1", "2 3 1 2", "3 0 0 0", "0 0 0 0"]
        report = map_report(4, 7, padded(rows)) + CORRECT + EQUAL
        self.start(folder_with("zeros.txt"), report, [0, 1, 0, 0, 0, 0, 0, 0, 0, 1])

    def test_console_input_that_ends_early_keeps_two_for_the_rest(self):
        rows = [" ".join(str((r + c) % 5 + 1) for c in range(5)) for r in range(7)]
        report = map_report(5, 7, padded(rows)) + PROMPT
        self.start(folder_with("map_7x5.txt"), report + MORE_2, [1, 0, 0, 2, 2, 2, 2, 2, 2, 2], args=[],
                   stdin="1 0\n0")
        # Not a number: that count and every later one keep 2.
        self.start(folder_with("map_7x5.txt"), report + MORE_1, [3, 2, 2, 2, 2, 2, 2, 2, 2, 2],
                   args=["a", "b"], stdin="3 four 1 1 1 1 1 1 1 1")

    def test_armies_exactly_filling_their_home_rows(self):
        report = ONES_7X2 + CORRECT + EQUAL
        self.start(folder_with("ones_7x2.txt"), report, [2, 1, 1, 1, 1, 1, 1, 1, 1, 2])
        self.start(folder_with("ones_7x2.txt"), report, [0, 0, 6, 0, 0, 0, 0, 0, 6, 0])

    def test_arguments_beyond_ten_and_words_as_counts(self):
        report = map_report(4, 7, padded(["1 2 1 4"] * 7))
        self.start(folder_with("seven_rows.txt"), report, [1, 0, 0, 0, 0, 0, 0, 0, 0, 2],
                   args=[1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 50, 50])
        # Words count as 0 and leading blanks are skipped, as atoi does.
        self.start(folder_with("seven_rows.txt"), report + CORRECT + MORE_2,
                   [0, 0, 0, 0, 0, 1, 0, 0, 0, 0], args=["x", "0", "", "-", "+0", " 1", "0", "0", "0", "0"])

    def test_default_map_with_two_of_everything(self):
        with open(REPO_MAP) as f:
            rows = [" ".join(line.rstrip("#")) for line in f.read().split("\n")]
        report = map_report(16, 12, [" ".join(row.split()[:10]) for row in rows[:10]]) + CORRECT + EQUAL
        self.start(harness.play_folder(map_path=REPO_MAP, images=False), report, [2] * 10)


class Usage(unittest.TestCase):
    def test_help_prints_usage_and_exits_zero(self):
        empty = tempfile.mkdtemp(prefix="kestrava-e2e-")
        for flag in ("--help", "-h"):
            status, output = harness.run_console(empty, args=[flag], timeout=30, display=False)
            self.assertEqual(status, 0)
            self.assertTrue(output.startswith("Usage: kestrava "), output)
            for word in ("Archers", "Fighters", "Fliers", "Healers", "Mages", "WorldDesc.txt",
                         "images/", "KESTRAVA_SEED", "KESTRAVA_MAX_FPS"):
                self.assertIn(word, output)
        shutil.rmtree(empty)


if __name__ == "__main__":
    unittest.main()
