"""A whole battle of the real game, driven only by keys sent to its window.

The map and the seed fix where every unit starts and the first hit roll (no
draw comes between placement and the first attack): the Archer's opening shot
misses. Later rolls depend on how many frames the animations take, so each is
read off the console and checked against the odds panel shown before it
(KESTRAVA_DEBUG_HUD has the game print the panel and the turn's line). Every
class attacks before the hero can fall: four in player 1's first turn, the
Flier first in the hunt. Once player 2's hero falls, Enter starts again.

The status numbers (pure red text, bottom left) show while the cursor rests
on the acting unit, when no banner covers them, and go when its action ends:
an action starts once they show and is over once they go."""
import os
import re
import time
import unittest

import harness

SEED = 21
ARMIES = [2, 1, 1, 1, 1, 1, 1, 1, 1, 1]
ROWS = 7

# Player 1: Archers 0 and 1, Fighter 2, Flier 3, Healer 4, Mage 5.
# Player 2: Archer 6, Fighter 7, Flier 8, Healer 9, Mage 10.
# The seed puts them here (id 0 prints like an empty square).
START = [[0, 0, 5, 4, 0],
         [0, 0, 0, 1, 0],
         [0, 2, 0, 3, 0],
         [0, 0, 0, 0, 0],
         [0, 8, 0, 9, 0],
         [0, 10, 0, 0, 0],
         [7, 0, 0, 6, 0]]
HERO = (4, 3)   # player 2's Healer, the hero player 1 hunts
PAIR_LINES = {("flier", "healer"): "flier attacks a healer! Bonus damage!",
              ("mage", "healer"): "mage attacks an healer! Less damage!"}


class Battle:
    """The keys of a player at the keyboard, with what the test knows of the board."""

    def __init__(self, game):
        self.game = game
        self.cursor = [0, 0]
        self.menu_item = 1

    def walk_to(self, row, col):
        """Arrow keys to the square, at least one: only a cursor move puts the cursor on the unit there."""
        keys = ["Down"] * (row - self.cursor[0]) + ["Up"] * (self.cursor[0] - row)
        keys += ["Right"] * (col - self.cursor[1]) + ["Left"] * (self.cursor[1] - col)
        self.game.key(*(keys or (["Left", "Right"] if col > 0 else ["Right", "Left"])))
        self.cursor = [row, col]

    def open_menu(self, row, col):
        self.walk_to(row, col)
        self.game.key("Insert")

    def choose(self, item):
        down = (item - self.menu_item) % 4
        keys = ["Down"] * down if down <= 2 else ["Up"] * (4 - down)
        self.game.key(*(keys + ["Insert"]))
        self.menu_item = item

    def kept_cursor(self):
        """The cursor's square as the kept battle has it, once the heroes are chosen."""
        path = os.path.join(self.game.folder, "kestrava-save.txt")

        def square():
            text = open(path).read() if os.path.exists(path) else ""
            found = re.search(r"^cursor row=(\d+) col=(\d+)", text, re.M)
            return found and [int(found.group(1)), int(found.group(2))]
        return harness.until(square, "the kept cursor")

    def occupancy(self):
        start = len(self.game.output)
        self.game.key("p")
        self.game.wait_for(re.compile(r"OCCUPIED\n(.*\n){%d}" % ROWS), start=start)
        text = self.game.output
        lines = text[text.rfind("PRINTING OUT MAP WITH OCCUPIED"):].split("\n")[1:1 + ROWS]
        return [[int(v) for v in line.split()] for line in lines]

    def steps(self, unit_id, moves, then_home):
        """Move entry, then one step per arrow; each glide is waited for on
        the map printout. then_home leaves the step choice while points remain."""
        self.choose(4)
        for arrow in moves:
            row, col = self.cursor
            row += {"Up": -1, "Down": 1}.get(arrow, 0)
            col += {"Left": -1, "Right": 1}.get(arrow, 0)
            self.game.key(arrow, "Insert")
            self.cursor = [row, col]
            harness.until(lambda: self.occupancy()[row][col] == unit_id, "unit %d at %s" % (unit_id, (row, col)))
        if then_home:
            self.game.key("Home")

    def act_on(self, item, target, target_class):
        """Menu entry item (1 attack, 2 class action) on the target square;
        returns the roll, where its printout starts, and the odds panel as
        it stood, once the action is over."""
        self.choose(item)
        aimed = len(self.game.output)
        self.walk_to(*target)
        odds_end = self.game.wait_for(re.compile(r"HUD odds: %s .*\n" % target_class.upper()), start=aimed)
        odds = self.game.output[aimed:odds_end].splitlines()[-1]
        # The acting unit's numbers are up: no banner covers the overlays.
        self.game.wait_for_picture("battle-aim.png", lambda path: harness.Picture(path).labels_shown())
        start = len(self.game.output)
        self.game.key("Insert")
        self.game.wait_for(re.compile(r"Hit range = .*\n"), start=start)
        # The frame clock's "total time is" line may come between the key and
        # the roll: the roll's printout starts at its own line.
        start = self.game.output.index("Hit range = ", start)
        roll = re.search(r"Hit range = (-?\d+) ", self.game.output[start:]).group(1)
        self.game.wait_for_picture("battle-action.png", lambda path: not harness.Picture(path).labels_shown(), 90)
        return int(roll), start, odds


class WholeBattle(unittest.TestCase):
    def check_roll(self, game, attacker, target, outcome):
        """The roll as the panel foretold it: the rolls from the first hit it
        names up to 100 hit, and their share of the 101 is its chance. A hit
        says what the pair of classes does."""
        roll, start, odds = outcome
        first_hit = int(re.search(r"ROLLS (\d+)-100 HIT", odds).group(1))
        self.assertIn("TO HIT  %d%% |" % round((101 - first_hit) * 100 / 101), odds)
        after = game.output[start:].split("\n")
        self.assertEqual(after[1] == "miss!", roll < first_hit, "%s on %s: %s" % (attacker, target, after[:2]))
        if roll >= first_hit and (attacker, target) in PAIR_LINES:
            self.assertIn(PAIR_LINES[attacker, target], after)

    def test_battle_until_a_hero_falls(self):
        with harness.Game(harness.play_folder("battle_7x5.txt"), args=ARMIES, seed=SEED,
                          env={"KESTRAVA_DEBUG_HUD": "1"}) as game:
            battle = Battle(game)
            self.assertEqual(battle.occupancy(), START)
            game.wait_for("HUD top: PLAYER 1: CHOOSE YOUR HERO")
            game.wait_for_picture("battle-hero-choice.png", harness.fills_window)

            # c: the camera glides home for player 1, who chooses, and comes
            # to rest there (the game says where).
            start = len(game.output)
            game.key("c")
            rest = re.compile(r"HUD camera: eye \S+ \S+ \S+ pitch -?\d+ yaw 90\n")
            resting = game.wait_for(rest, start=start)
            at_home = rest.search(game.output, start, resting).group(0)
            home = game.wait_for_rest("battle-camera-at-home.png")

            # Held long enough, 6 and + (the keypad's needs no Shift) take the
            # camera out through the sky box's right wall, where nothing shows;
            # it stops at the wall. c brings it home.
            game.key("6", "KP_Add", action="keydown")
            time.sleep(4.5)   # how long the keys are held, not a wait for the game
            game.key("KP_Add", "6", action="keyup")
            flown = harness.Picture(game.screenshot("battle-camera-flown.png"))
            lit = flown.count(0.25, 0.25, 0.5, 0.5, lambda r, g, b: r + g + b > 60)
            self.assertGreater(lit, flown.width * flown.height // 8, "the middle of the view went dark")
            start = len(game.output)
            game.key("c")
            game.wait_for(at_home, start=start)
            # (An absolute path stands for itself among the images: the two
            # screenshots differ only in the units' idle animations and the cursor.)
            game.wait_for_picture("battle-camera-home.png", lambda path: harness.shows_image(path, home, 0.05), 30)

            battle.open_menu(2, 1)   # player 1's Fighter
            game.wait_for("p1 hero selected!")
            battle.cursor = [6, 3]   # the cursor goes to player 2's first unit, the Archer
            battle.open_menu(*HERO)
            game.wait_for("p2 hero selected!")
            battle.cursor = battle.kept_cursor()   # and then to player 1's first unit, unit 0

            # Player 1's first turn: everyone walks up over a different
            # terrain, and all but the Flier attack. The Flier clears the
            # desert square for the Archer, whose opening shot is the first
            # roll of the battle. Insert held on the Flier only opens its
            # menu: were it to repeat, Attack would be taken and the Flier
            # would never step.
            battle.walk_to(2, 3)
            game.key("Insert", action="keydown")
            time.sleep(1)   # X repeats a held key after 0.66 s, 25 times a second
            game.key("Insert", action="keyup")
            battle.steps(3, ["Down"], then_home=True)          # electric, 1 for a Flier
            game.key("Home")                                   # close the menu, keep the action
            battle.open_menu(1, 3)
            battle.steps(1, ["Down"], then_home=True)          # desert
            first = battle.act_on(1, HERO, "healer")
            self.assertEqual(game.output[first[1]:].split("\n")[:2],
                             ["Hit range = 1 Miss Range 35.25", "miss!"])
            self.check_roll(game, "archer", "healer", first)
            battle.open_menu(0, 2)
            battle.steps(5, ["Down", "Right"], then_home=True)  # grass
            self.check_roll(game, "mage", "healer", battle.act_on(1, HERO, "healer"))
            battle.open_menu(0, 3)
            battle.steps(4, ["Right", "Down", "Down", "Down"], then_home=True)   # over the mountain
            self.check_roll(game, "healer", "healer", battle.act_on(1, HERO, "healer"))
            battle.open_menu(2, 1)
            battle.steps(2, ["Down"], then_home=True)          # water
            self.check_roll(game, "fighter", "flier", battle.act_on(1, (4, 1), "flier"))
            battle.open_menu(3, 3)
            battle.choose(3)                                   # Defend
            start = len(game.output)
            battle.open_menu(2, 2)
            battle.choose(3)                                   # the last of player 1: the turn passes
            game.wait_for("HUD top: PLAYER 2'S TURN", start=start)

            # Player 2: t hands the keys back, and the next special key restarts
            # the turn. The hero heals its Flier, as the panel says whatever
            # the roll; e ends the turn for the rest.
            game.key("t", "F1", "F1")
            battle.open_menu(*HERO)
            heal = battle.act_on(2, (4, 1), "flier")
            self.assertIn("TO HIT  100% |", heal[2])
            self.assertIn("WHATEVER THE ROLL", heal[2])
            start = len(game.output)
            game.key("e")
            game.wait_for("HUD top: PLAYER 1'S TURN", start=start)

            # Player 1 hunts the hero, turn after turn, until it falls; the
            # others and all of player 2 end their turns with e.
            won = False
            hunters = [("flier", (3, 3), 2), ("mage", (1, 3), 1), ("archer", (2, 3), 1), ("healer", (3, 4), 1)]
            for _ in range(6):
                for attacker, square, item in hunters:
                    battle.open_menu(*square)
                    outcome = battle.act_on(item, HERO, "healer")
                    self.check_roll(game, attacker, "healer", outcome)
                    # The blow lands at the end of its show, the fall with it, and
                    # the banner a moment later: the blow's log line is awaited,
                    # the fall's decides, then the banner it brings is awaited.
                    game.wait_for(re.compile(r"HUD log: .* (HIT|MISSED) .*\n"), start=outcome[1])
                    won = "HEALER (HERO) FELL" in game.output[outcome[1]:]
                    if won:
                        game.wait_for_picture("battle-check.png",
                                              lambda path: harness.shows_image(path, "p1_wins.bmp"), 60)
                        break
                if won:
                    break
                game.key("e", "e")

            self.assertTrue(won, "player 2's hero still stands")

            # The victory banner has its three seconds; then a key shows the
            # board with the winner's line, and Enter places the same armies
            # again (the same seed, so on the same squares) for a new hero choice.
            # The line is printed before its frame shows: that is awaited too.
            start = len(game.output)
            harness.until(lambda: game.key("Left") or "HUD top: PLAYER 1 WINS!" in game.output[start:],
                          "board after the victory banner", 30, pause=0.5)
            game.wait_for_picture("battle-after-victory.png",
                                  lambda path: not harness.shows_image(path, "p1_wins.bmp"), 30)
            start = len(game.output)
            game.key("Return")
            game.wait_for("HUD top: PLAYER 1: CHOOSE YOUR HERO", start=start)
            self.assertEqual(battle.occupancy(), START)
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
