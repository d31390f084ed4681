"""The computer player in the real game: --computer 2 against a person's
keys, and --computer both playing a whole battle on its own. The computer
presses the same special keys a person does, so all that shows of it is
the game itself: its hero choice, its hit rolls on the console, the turn
banners and the victory banner."""
import unittest

import harness
import test_battle

# Each side an Archer and a Mage (player 1: ids 0 and 1, player 2: 2 and 3)
# on a map of two columns, where the armies stand close.
ARMIES = [1, 0, 0, 0, 1, 1, 0, 0, 0, 1]
SEED = 5


def banner_of(player):
    """Whether a picture shows one of the player's turn banners, told by the
    banner's top third ("PLAYER 1" or "PLAYER 2" on the player's colour),
    above where the miss marker may lie over it."""
    return lambda path: harness.shows_image(path, "p%d_end_turn.bmp" % player, tolerance=0.2, top=0.35)


def no_banner(path):
    return not banner_of(1)(path) and not banner_of(2)(path)


class Computer(unittest.TestCase):
    def test_the_computer_takes_player_two_and_hands_the_turn_back(self):
        folder = harness.play_folder(map_path=harness.data_file("maps", "ones_7x2.txt"))
        with harness.Game(folder, args=["--computer", "2"] + ARMIES, seed=SEED) as game:
            game.window()
            person = test_battle.Battle(self, game)
            grid = person.occupancy()
            mage = next((r, c) for r in range(3) for c in range(2) if grid[r][c] == 1)
            person.open_menu(*mage)
            game.wait_for("p1 hero selected!")
            chosen = game.wait_for("p2 hero selected!")

            # Once the hero choice's banners are gone, t hands the keys over:
            # player 2's units may all still act.
            game.wait_for_picture("computer-choice-over.png", no_banner)
            game.key("t")
            game.wait_for("Hit range = ", start=chosen)
            # Its own last key ends its turn, and player 1's banners follow.
            game.wait_for_picture("computer-turn-over.png", banner_of(1), timeout=120)
            shots = game.output.count("Hit range = ")

            # Player 1's turn, with the banners gone: the computer keeps still.
            game.wait_for_picture("computer-board.png", no_banner)
            self.assertEqual(game.output.count("Hit range = "), shots)
            self.assertEqual(game.quit(), 0)

    def test_two_computers_fight_to_a_victory(self):
        folder = harness.play_folder(map_path=harness.data_file("maps", "ones_7x2.txt"))
        mages = [0, 0, 0, 0, 1, 0, 0, 0, 0, 1]
        with harness.Game(folder, args=["--computer", "both"] + mages, seed=21,
                          env={"KESTRAVA_COMPUTER_PACE": "0"}) as game:
            game.window()
            game.wait_for("p2 hero selected!", start=game.wait_for("p1 hero selected!"))
            game.wait_for_picture(
                "computer-victory.png",
                lambda path: harness.shows_image(path, "p1_wins.bmp") or harness.shows_image(path, "p2_wins.bmp"),
                timeout=240)
            self.assertIn("Hit range = ", game.output)
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
