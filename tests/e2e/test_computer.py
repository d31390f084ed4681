"""The computer in the real game, --computer 2, against a person who only
ends each turn with e: it keeps still on the person's turns, takes its own
once the keys are its, and wins. All that shows of it is the game itself: its
hero choice, its hit rolls, the turn's line and the log (KESTRAVA_DEBUG_HUD),
which speak to the person, and the victory banner. And --computer both plays
a battle on its own to a victory."""
import os
import re
import unittest

import harness
import test_battle

# Each side an Archer and a Mage (player 1: ids 0 and 1, player 2: 2 and 3)
# on a map of two columns, where the armies stand close.
ARMIES = [1, 0, 0, 0, 1, 1, 0, 0, 0, 1]
SPELL_SEED = 3


def no_banner(path):
    """No turn banner, told by its top third ("PLAYER 1" or "PLAYER 2" on the
    player's colour), above where the miss marker may lie over it."""
    return not any(harness.shows_image(path, "p%d_end_turn.bmp" % player, tolerance=0.2, top=0.35)
                   for player in (1, 2))


class Computer(unittest.TestCase):
    def test_the_computer_takes_player_two_and_beats_a_person_who_only_waits(self):
        with harness.Game(harness.play_folder("ones_7x2.txt"), args=["--computer", "2"] + ARMIES, seed=5,
                          env={"KESTRAVA_DEBUG_HUD": "1", "KESTRAVA_COMPUTER_PACE": "0"}) as game:
            person = test_battle.Battle(game)
            grid = person.occupancy()
            person.open_menu(*next((r, c) for r in range(3) for c in range(2) if grid[r][c] == 1))   # the Mage
            game.wait_for("p1 hero selected!")
            start = game.wait_for("p2 hero selected!")
            game.wait_for("HUD top: YOUR TURN", start=start)
            for _ in range(40):
                # Until the computer has ended its turn, or won.
                won = game.wait_for_picture("computer-turn.png", lambda path: "YOUR TURN" in game.output[start:]
                                            or harness.shows_image(path, "p2_wins.bmp"), timeout=120)
                if "YOUR TURN" not in game.output[start:]:
                    break
                # With the turn's banners gone, the computer has had its frames to act in.
                shots = game.output.count("Hit range = ")
                game.wait_for_picture("computer-person-turn.png", no_banner)
                self.assertEqual(game.output.count("Hit range = "), shots, "the computer played player 1")
                start = len(game.output)
                game.key("e")
            self.assertTrue(harness.shows_image(won, "p2_wins.bmp"), "no victory in 40 turns")
            # The computer's first blow, once it has landed, is the log's next line, in the person's words.
            logged = game.wait_for(re.compile(r"HUD log: .*\n"), start=game.wait_for("Hit range = "))
            self.assertRegex(game.output[:logged].splitlines()[-1],
                             r"^HUD log: ENEMY (ARCHER|MAGE)( \(HERO\))? (HIT|MISSED) YOUR (ARCHER|MAGE)")
            self.assertEqual(game.quit(), 0)

    def test_the_persons_army_is_nearest_and_space_ends_a_spell(self):
        """Against the computer, both armies filling their home rows on the
        8 x 8 skirmish field: at the person's first turn the lowest unit drawn
        in the middle of the window is theirs, and a click on it opens its
        menu. Then the last of their Mages on the third row (Backspace goes
        through their units back from the first) casts Magic at the enemy
        three squares ahead: space as the roll is printed brings both
        strikes' lines within a second, where the spell plays nine."""
        skirmish = os.path.join(harness.RUN_DIR, "maps", "skirmish.txt")
        full = [5, 5, 4, 5, 5] * 2   # ids 0-23 player 1's, the Mages 19-23
        with harness.Game(harness.play_folder(), args=["--computer", "2", "--map", skirmish] + full, seed=SPELL_SEED,
                          env={"KESTRAVA_DEBUG_HUD": "1", "KESTRAVA_COMPUTER_PACE": "0"}) as game:
            game.wait_for("HUD top: CHOOSE YOUR HERO")
            start = len(game.output)
            game.key("p")
            game.wait_for(re.compile(r"OCCUPIED\n(.*\n){8}"), start=start)
            printed = game.output[start:]
            grid = [[int(v) for v in line.split()] for line in printed[printed.index("OCCUPIED"):].split("\n")[1:9]]
            game.key("Right", "Left", "Insert")   # only a cursor move selects: the unit on the first square, the hero
            game.wait_for("p2 hero selected!", start=game.wait_for("p1 hero selected!"))
            game.wait_for("HUD top: YOUR TURN")

            # The board's lowest pixel in the middle column (grass), and a click a little above it.
            def lowest_board(path):
                picture = harness.Picture(path)
                for y in range(picture.height - 1, 0, -1):
                    if picture.count(0.5, y / picture.height, 1 / picture.width, 1 / picture.height,
                                     lambda r, g, b: g > 90 and g > r + 20 and g > b + 20):
                        return y * 2   # the picture is read at half size
                return None
            width, height = game.size()
            bottom = lowest_board(game.wait_for_picture("computer-first-turn.png", no_banner))
            self.assertIsNotNone(bottom, "no board in the middle of the window")
            # The menu's first entry, Attack, lit red in the bottom right corner.
            attack = (0.8, 0.7, 0.2, 0.07)
            red = lambda r, g, b: r > 180 and g < 80 and b < 80
            self.assertLess(harness.Picture(game.screenshot("computer-before-click.png")).count(*attack, red), 20)
            start = len(game.output)
            game.click(width // 2, bottom - height // 40)
            game.wait_for("HUD pointed: PLAYER 1'S ", start=start)
            game.wait_for_picture("computer-clicked.png", lambda path: harness.Picture(path).count(*attack, red) > 200)

            # Its menu shut and the cursor down among the enemies, Backspace
            # goes to the last of the person's units, id 23, and on back.
            mage = max(grid[2][col] for col in range(8) if 19 <= grid[2][col] <= 23)
            column = grid[2].index(mage)
            self.assertGreaterEqual(grid[5][column], 24, "an enemy three squares ahead")
            start = len(game.output)
            game.key("Home", *["Down"] * 5)
            game.key(*["BackSpace"] * (24 - mage))
            game.key("Insert", "Down", "Insert", "Down", "Down", "Down")
            game.wait_for(re.compile(r"HUD odds: (ARCHER|FIGHTER|FLIER|HEALER|MAGE) .*\n"), start=start)
            start = len(game.output)
            game.key("Insert")
            rolled = game.wait_for(re.compile(r"Hit range = .*\n"), start=start)
            game.key("space")
            roll, misses = re.search(r"Hit range = (-?\d+) Miss Range (\S+)", game.output[start:]).groups()
            self.assertGreaterEqual(int(roll), float(misses), "the seed's first roll should hit")
            game.wait_for(re.compile(r"An Extra .*\n(.*\n)*An Extra .*\n"), timeout=1, start=rolled)
            self.assertEqual(game.quit(), 0)

    def test_two_computers_fight_to_a_victory(self):
        mages = [0, 0, 0, 0, 1, 0, 0, 0, 0, 1]
        with harness.Game(harness.play_folder("ones_7x2.txt"), args=["--computer", "both"] + mages, seed=21,
                          env={"KESTRAVA_COMPUTER_PACE": "0"}) as game:
            game.wait_for("p2 hero selected!", start=game.wait_for("p1 hero selected!"))
            game.wait_for_picture("computer-victory.png", lambda path: any(
                harness.shows_image(path, "p%d_wins.bmp" % player) for player in (1, 2)), timeout=240)
            self.assertIn("Hit range = ", game.output)
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
