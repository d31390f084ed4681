"""The Debian package: built from this build's tree by cpack, checked by
lintian, unpacked under a scratch root and started from another folder, it
finds its maps, pictures and sounds beside its own program and keeps its
battle in the player's data folder, never where it was started; a file an
option names by a relative path is the one in the folder it was started from."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import harness

BUILD = os.path.dirname(harness.RUN_DIR)
# Player 1's army fills its three home rows of the bundled 16-column map, so
# every square the cursor can reach from (0, 0) in one step holds one of its
# units, whatever the seed.
ARMIES = [10, 10, 10, 10, 8, 1, 1, 1, 1, 1]
INSTALLED = ["usr/games/kestrava", "usr/share/kestrava/WorldDesc.txt", "usr/share/kestrava/maps/skirmish.txt",
             "usr/share/kestrava/images/skybox/blue_blot.bmp", "usr/share/kestrava/sounds/victory.wav",
             "usr/share/applications/kestrava.desktop", "usr/share/icons/hicolor/48x48/apps/kestrava.png",
             "usr/share/icons/hicolor/128x128/apps/kestrava.png", "usr/share/man/man6/kestrava.6.gz",
             "usr/share/doc/kestrava/copyright", "usr/share/doc/kestrava/changelog.gz"]


def run(*command):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if done.returncode != 0:
        raise AssertionError("%s ended with status %d:\n%s" % (" ".join(command), done.returncode, done.stdout))
    return done.stdout


class Package(unittest.TestCase):
    def test_the_package_unpacked_anywhere_plays_and_keeps_its_battle_in_the_players_data_folder(self):
        scratch = tempfile.mkdtemp(prefix="kestrava-package-")
        run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", scratch + "/pack")
        package, = glob.glob(scratch + "/pack/kestrava_*.deb")
        # Errors fail the package; its warnings go to the log.
        sys.stderr.write("lintian:\n" + run("lintian", "--fail-on", "error", package))
        depends = run("dpkg-deb", "-f", package, "Depends")
        for library in ("libglut3.12", "libopenal1", "libenet7", "libglu1-mesa", "libstdc++6"):
            self.assertIn(library, depends)

        root = os.path.join(scratch, "root")
        run("dpkg-deb", "-x", package, root)
        for path in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(root, path)), path)
        with open(os.path.join(root, "usr/share/applications/kestrava.desktop")) as entry:
            self.assertIn("\nExec=kestrava --setup\n", entry.read())

        elsewhere, home, data = (os.path.join(scratch, name) for name in ("elsewhere", "home", "data"))
        os.mkdir(elsewhere)
        environment = {"HOME": home, "XDG_DATA_HOME": data}
        program = os.path.join(root, "usr/games/kestrava")
        with harness.Game(elsewhere, args=["--maps"], env=environment, program=program) as listing:
            self.assertEqual(listing.wait_exit(), 0)
            self.assertIn("  wide-field           50 columns x 50 rows\n", listing.output)
        with harness.Game(elsewhere, args=["--record", "battle.kreplay"] + ARMIES, seed=5, env=environment,
                          program=program) as game:
            game.window()
            save = os.path.join(data, "kestrava", "kestrava-save.txt")
            game.key("Right", "Insert")          # a hero is chosen where the cursor has moved to
            game.wait_for("p1 hero selected!")
            game.key("Insert")                   # the cursor is on player 2's first unit
            game.wait_for("p2 hero selected!")
            # The bundled map, and every picture (a missing one ends the game).
            self.assertTrue("Number of cols is: 16\nNumber of rows is: 12\n" in game.output)
            self.assertTrue("trying to load images/skybox/blue_blot.bmp\n" in game.output)
            game.key("e")                        # player 1's whole turn given up

            def kept():
                if not os.path.exists(save):
                    return None
                with open(save) as text:
                    return re.search(r"^turn player=2 ", text.read(), re.M)
            harness.until(kept, "the battle kept under XDG_DATA_HOME with player 2's turn")
            game.quit()
        self.assertEqual(os.listdir(elsewhere), ["battle.kreplay"])
        self.assertFalse(os.path.exists(os.path.join(home, ".local/share/kestrava")))
        shutil.rmtree(scratch)


if __name__ == "__main__":
    unittest.main()
