"""A whole battle of the real game, driven only by keys sent to its window.

The fixture map and the seed fix where every unit starts, and with it the
first hit roll (no draw is taken between placement and the first attack): the
Archer's opening shot misses. Later rolls depend on how many frames the
animations take, so from then on the test reads each roll off the console and
checks what follows from it, the odds panel's chance before it included
(KESTRAVA_DEBUG_HUD has the game print the panel). The battle goes on until
player 2's hero falls; then Enter starts the same armies again.

Where an action stands is read off the picture: the status numbers (pure red
text, bottom left) show while the cursor rests on the acting unit and go when
its action ends; turn and victory banners cover the whole window, so an
action starts only once the numbers show (no banner in the way). Keys work
under a banner, so nothing else waits for one to go."""
import math
import re
import struct
import time
import unittest

import harness

SEED = 21
ARMIES = [2, 1, 1, 1, 1, 1, 1, 1, 1, 1]
ROWS, COLS = 7, 5

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

# accuracy and evasion by class, as the units are built
ACCURACY = {"archer": 0.85, "fighter": 0.95, "flier": 1.0, "healer": 0.95, "mage": 0.95}
EVASION = {"archer": 15.0, "fighter": 6.0, "flier": 25.0, "healer": 20.0, "mage": 18.0}
PAIR_LINES = {("flier", "healer"): ["flier attacks a healer! Bonus damage!"],
              ("mage", "healer"): ["mage attacks an healer! Less damage!"] * 2}

SKY_LINES = ['Switching to "Magma Lake."', "Switching to \"Depths O' The Fishtank.\"",
             'Switching to "Voodoo Lounge."', 'Switching to "Blue Blot."',
             'Switching to "Space Endeavors."', 'Switching to "Celestial Calm."']
BANNERS = ["p1_begin_turn.bmp", "p1_end_turn.bmp", "p2_begin_turn.bmp", "p2_end_turn.bmp",
           "p1_wins.bmp", "p2_wins.bmp"]


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def miss_range(attacker, target, bonus):
    """The miss range in single precision, every target defending as built."""
    spread = f32(f32(1.0) - f32(ACCURACY[attacker]))
    return f32(f32(spread * f32(f32(100.0 + EVASION[target]) + bonus)) + 15.0)


def stream_float(value):
    """A float as the standard output stream writes it by default."""
    return "%g" % value


class Battle:
    """The keys of a player at the keyboard, with what the test knows of the board."""

    def __init__(self, test, game):
        self.test, self.game = test, game
        self.cursor = [0, 0]
        self.menu_item = 1
        self.shots = 0

    def banner_up(self, name="battle-latest.png", timeout=30):
        """Whether a turn banner comes up within the bound: the key that
        passes the turn may still be on its way to the game. (The banners
        stretched over the window come within 0.08 to 0.09 of their images,
        every other frame far further.)"""
        try:
            self.game.wait_for_picture(
                name, lambda path: any(harness.shows_image(path, banner, 0.1) for banner in BANNERS), timeout)
            return True
        except AssertionError:
            return False

    def walk_to(self, row, col):
        keys = ["Down"] * (row - self.cursor[0]) + ["Up"] * (self.cursor[0] - row)
        keys += ["Right"] * (col - self.cursor[1]) + ["Left"] * (self.cursor[1] - col)
        if not keys:   # only a cursor move puts the cursor on the unit there
            keys = ["Left", "Right"] if col > 0 else ["Right", "Left"]
        self.game.key(*keys)
        self.cursor = [row, col]

    def open_menu(self, row, col):
        self.walk_to(row, col)
        self.game.key("Insert")

    def choose(self, item):
        down = (item - self.menu_item) % 4
        keys = ["Down"] * down if down <= 2 else ["Up"] * (4 - down)
        self.game.key(*(keys + ["Insert"]))
        self.menu_item = item

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
            deadline = time.monotonic() + 60
            while self.occupancy()[row][col] != unit_id:
                self.test.assertLess(time.monotonic(), deadline, "unit %d never reached %s" % (unit_id, (row, col)))
        if then_home:
            self.game.key("Home")

    def act_on(self, item, target, target_class):
        """Menu entry item (1 attack, 2 class action) on the target square;
        returns the roll and the miss range as printed, where the printout
        starts, and the odds panel as it stood, once the action is over."""
        self.choose(item)
        row, col = self.cursor
        keys = ["Down"] * (target[0] - row) + ["Up"] * (row - target[0])
        keys += ["Right"] * (target[1] - col) + ["Left"] * (col - target[1])
        aimed = len(self.game.output)
        self.game.key(*keys)
        self.cursor = list(target)
        odds_end = self.game.wait_for(re.compile(r"HUD odds: %s .*\n" % target_class.upper()), start=aimed)
        odds = self.game.output[aimed:odds_end].splitlines()[-1]
        # The acting unit's numbers are up: no banner covers the overlays.
        self.game.wait_for_picture("battle-aim-%02d.png" % (self.shots + 1),
                                   lambda path: harness.Picture(path).labels_shown(), timeout=60)
        start = len(self.game.output)
        self.game.key("Insert")
        self.game.wait_for(re.compile(r"Hit range = .*\n"), start=start)
        roll, printed = re.search(r"Hit range = (-?\d+) Miss Range (\S+)\n",
                                  self.game.output[start:]).groups()
        self.shots += 1
        self.game.wait_for_picture("battle-action-%02d.png" % self.shots,
                                   lambda path: not harness.Picture(path).labels_shown(), timeout=90)
        return int(roll), printed, start, odds

    def defend(self, row, col):
        self.open_menu(row, col)
        self.choose(3)


class WholeBattle(unittest.TestCase):
    def check_roll(self, game, attacker, target, bonus, outcome):
        """The roll as the panel foretold it: the rolls from the first that
        reaches the miss range hit, their share of the 101 is the chance."""
        roll, printed, start, odds = outcome
        expected = miss_range(attacker, target, bonus)
        self.assertEqual(printed, stream_float(expected), "%s on %s" % (attacker, target))
        first_hit = math.ceil(expected)
        self.assertIn("TO HIT  %d%% |" % round((101 - first_hit) * 100 / 101), odds)
        self.assertIn("ROLLS %d-100 HIT" % first_hit, odds)
        after = game.output[start:].split("\n")
        if roll < expected:
            self.assertEqual(after[1], "miss!")
        return roll >= expected

    def test_battle_until_a_hero_falls(self):
        folder = harness.play_folder(map_path=harness.data_file("maps", "battle_7x5.txt"))
        with harness.Game(folder, args=ARMIES, seed=SEED, env={"KESTRAVA_DEBUG_HUD": "1"}) as game:
            game.window()
            battle = Battle(self, game)
            self.assertEqual(battle.occupancy(), START)
            game.wait_for("HUD top: PLAYER 1: CHOOSE YOUR HERO")
            # Once the frame fills the window (the first ones are drawn at the
            # window's size before it went full screen).
            home = game.wait_for_picture("battle-hero-choice.png", lambda path: harness.Picture(path).count(
                0.5, 0.5, 0.5, 0.5, lambda r, g, b: r + g + b > 30) > 0)

            # Held long enough, 6 and + take the camera out through the sky
            # box's right wall, where nothing shows; it stops at the wall. c
            # brings it home. Meanwhile (the keypad's + needs no Shift) the
            # backdrops and the projection, before anyone moves.
            flight = time.monotonic()
            game.key_down("6")
            game.key_down("KP_Add")
            start = len(game.output)
            game.key(*["s"] * 6)
            game.wait_for(SKY_LINES[-1], start=start)
            self.assertEqual(game.output[start:].split("\n")[:6], SKY_LINES)
            game.key("v")
            game.screenshot("battle-orthographic.png")
            game.key("v")
            time.sleep(max(0.0, flight + 4.5 - time.monotonic()))
            game.key_up("KP_Add")
            game.key_up("6")
            flown = harness.Picture(game.screenshot("battle-camera-flown.png"))
            lit = flown.count(0.25, 0.25, 0.5, 0.5, lambda r, g, b: r + g + b > 60)
            self.assertGreater(lit, flown.width * flown.height // 8, "the middle of the view went dark")
            game.key("c")
            # (An absolute path stands for itself among the images: the two
            # screenshots differ only in the units' idle animations and the cursor.)
            self.assertTrue(harness.shows_image(game.screenshot("battle-camera-home.png"), home, tolerance=0.05))

            battle.open_menu(2, 1)   # player 1's Fighter
            game.wait_for("p1 hero selected!")
            battle.open_menu(*HERO)
            game.wait_for("p2 hero selected!")

            # Player 1's first turn: everyone walks up over a different
            # terrain. The Flier clears the desert square for the Archer, whose
            # opening shot is the first roll of the battle. Insert held on the
            # Flier only opens its menu: were it to repeat, Attack would be
            # taken and the Flier would never step.
            battle.walk_to(2, 3)
            game.key_down("Insert")
            time.sleep(1)   # X repeats a held key after 0.66 s, 25 times a second
            game.key_up("Insert")
            battle.steps(3, ["Down"], then_home=True)          # electric, 1 for a Flier
            game.key("Home")                                   # close the menu, keep the action
            battle.open_menu(1, 3)
            battle.steps(1, ["Down"], then_home=True)          # desert
            first = battle.act_on(1, HERO, "healer")
            self.assertEqual(game.output[first[2]:].split("\n")[:2],
                             ["Hit range = 1 Miss Range 35.25", "miss!"])
            self.check_roll(game, "archer", "healer", 15, first)
            battle.open_menu(0, 2)
            battle.steps(5, ["Down", "Right"], then_home=True)  # grass
            battle.choose(3)                                   # the Mage defends
            battle.open_menu(0, 3)
            game.wait_for_picture("battle-menu.png", lambda path: harness.Picture(path).labels_shown())
            battle.steps(4, ["Right", "Down", "Down", "Down"], then_home=True)   # over the mountain
            hits = self.check_roll(game, "healer", "healer", 15, battle.act_on(1, HERO, "healer"))
            battle.open_menu(2, 1)
            battle.steps(2, ["Down"], then_home=True)          # water
            self.check_roll(game, "fighter", "flier", 15, battle.act_on(1, (4, 1), "flier"))
            battle.defend(3, 3)
            battle.defend(2, 2)                                # the last of player 1: the turn passes
            self.assertTrue(battle.banner_up("battle-turn-banner.png"), "no banner at the change of turn")

            # Player 2: t hands the keys back, and the next special key restarts
            # the turn. The hero heals its Flier, as the panel says whatever
            # the roll; e ends the turn for the rest.
            game.key("t", "F1", "F1")
            battle.open_menu(*HERO)
            heal = battle.act_on(2, (4, 1), "flier")
            self.assertIn("TO HIT  100% |", heal[3])
            self.assertIn("WHATEVER THE ROLL", heal[3])
            start = len(game.output)
            game.key("e")
            self.assertTrue(battle.banner_up("battle-end-turn.png"), "e passed no turn")
            game.wait_for("HUD top: PLAYER 1'S TURN", start=start)

            # Player 1 hunts the hero, turn after turn, until it falls; the
            # others and all of player 2 end their turns with e.
            won = False
            hunters = [("flier", (3, 3), 2, 25), ("mage", (1, 3), 1, 0), ("archer", (2, 3), 1, 0),
                       ("healer", (3, 4), 1, 0)]
            for _ in range(6):
                for attacker, square, item, bonus in hunters:
                    battle.open_menu(*square)
                    outcome = battle.act_on(item, HERO, "healer")
                    if self.check_roll(game, attacker, "healer", bonus + 15, outcome):
                        hits += 1
                        lines = game.output[outcome[2]:].split("\n")
                        for line in PAIR_LINES.get((attacker, "healer"), []):
                            self.assertIn(line, lines)
                    won = harness.shows_image(game.screenshot("battle-check.png"), "p1_wins.bmp")
                    if won:
                        break
                if won:
                    break
                game.key("e", "e")

            self.assertTrue(won, "player 2's hero still stands")
            self.assertGreater(hits, 0)
            self.assertEqual(game.output.count("p1 hero selected!"), 1)
            self.assertEqual(game.output.count("p2 hero selected!"), 1)

            # The victory banner has its three seconds; then a key shows the
            # board with the winner's line, and Enter places the same armies
            # again (the same seed, so on the same squares) for a new hero choice.
            start = len(game.output)
            deadline = time.monotonic() + 30
            while "HUD top: PLAYER 1 WINS!" not in game.output[start:]:
                self.assertLess(time.monotonic(), deadline, "the victory banner never went")
                game.key("Left")
                time.sleep(0.5)
            self.assertFalse(harness.shows_image(game.screenshot("battle-after-victory.png"), "p1_wins.bmp"))
            start = len(game.output)
            game.key("Return")
            game.wait_for("HUD top: PLAYER 1: CHOOSE YOUR HERO", start=start)
            self.assertIn("id num is 10\noccupying a square with unit with id num of 10\n", game.output[start:])
            self.assertEqual(battle.occupancy(), START)
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
