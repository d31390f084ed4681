"""Start-up smoke test: the real game on a virtual display loads all 67
textures, opens its full-screen window and shows a frame that is not one
flat colour. The screenshot stays under build/artifacts/ for a person to
look at."""
import subprocess
import unittest

import harness

TEXTURE_UPLOADS = 67


def screen_size():
    out = subprocess.run(["xdpyinfo"], stdout=subprocess.PIPE, text=True, check=True).stdout
    for line in out.splitlines():
        if "dimensions:" in line:
            width, height = line.split()[1].split("x")
            return int(width), int(height)
    raise AssertionError("xdpyinfo gave no screen size")


def fills_screen(path):
    """The frame is not one flat colour, and neither is its bottom-right quarter:
    the first frames can come before the window has grown to full screen."""
    if harness.colour_count(path) <= 1:
        return False
    corner = subprocess.run(["convert", path, "-gravity", "SouthEast", "-crop", "50%x50%+0+0",
                             "-format", "%k", "info:"], stdout=subprocess.PIPE, text=True, check=True)
    return int(corner.stdout.strip()) > 1


def picture_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path], stdout=subprocess.PIPE,
                         text=True, check=True).stdout
    width, height = out.split()
    return int(width), int(height)


class Smoke(unittest.TestCase):
    def test_game_starts_loads_every_texture_and_draws_a_frame(self):
        folder = harness.play_folder()
        with harness.Game(folder, args=[2] * 10, seed=1) as game:
            game.window()
            # The table ends with the second read of the Healer button's highlight.
            game.wait_for("trying to load images/menu/bhealing-selected.bmp")
            path = game.wait_for_picture("smoke_first_frame.png", fills_screen)
            loads = [line for line in game.lines() if line.startswith("trying to load ")]
            self.assertEqual(len(loads), TEXTURE_UPLOADS, "\n".join(loads))
            self.assertIn("Making checkerboard", game.output)
            self.assertNotIn("File Not Found", game.output)
            # Without a window manager, full screen still fills the screen.
            self.assertEqual(picture_size(path), screen_size())
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
