"""A picture missing from images/: start-up reaches the window, starts
loading the pictures in table order and stops at the first one, water.bmp,
with the reader's message and exit status 1."""
import unittest

import harness


class MissingImage(unittest.TestCase):
    def test_missing_water_ends_start_up(self):
        folder = harness.play_folder(missing_images=["water.bmp"])
        status, output = harness.run_console(folder, args=[1] * 10, seed=1)
        self.assertEqual(status, 1, output)
        lines = output.split("\n")
        self.assertIn("trying to load images/water.bmp", lines)
        after = lines[lines.index("trying to load images/water.bmp") + 1:]
        # The reader's line ends the run: nothing is tried after it.
        self.assertEqual(after, ["File Not Found : images/water.bmp", ""], output)
        self.assertIn("Making checkerboard", lines[:lines.index("trying to load images/water.bmp")])

    def test_every_picture_present_loads_all_sixty_seven(self):
        folder = harness.play_folder()
        with harness.Game(folder, args=[1] * 10, seed=1) as game:
            # The last file of the table is read twice; its second line is the 67th.
            last = "trying to load images/menu/bhealing-selected.bmp\n"
            game.wait_for(last, start=game.wait_for(last))
            game.window()
            self.assertIsNone(game.process.poll(), game.output)
            self.assertEqual(game.output.count("trying to load "), 67)
            self.assertNotIn("Not Found", game.output)
            self.assertNotIn("Error", game.output)
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
