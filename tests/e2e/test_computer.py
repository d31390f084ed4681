"""The computer in the real game, --computer 2, against a person who only
ends each turn with e: it keeps still on the person's turns, takes its own
once the keys are its, and wins. All that shows of it is the game itself: its
hero choice, its hit rolls, the turn's line and the log (KESTRAVA_DEBUG_HUD),
which speak to the person, and the victory banner. And --computer both plays
a battle on its own to a victory."""
import re
import unittest

import harness
import test_battle

# Each side an Archer and a Mage (player 1: ids 0 and 1, player 2: 2 and 3)
# on a map of two columns, where the armies stand close.
ARMIES = [1, 0, 0, 0, 1, 1, 0, 0, 0, 1]


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
