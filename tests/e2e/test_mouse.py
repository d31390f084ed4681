"""A whole battle of the real game played with the mouse alone: the heroes
chosen by clicks, moves of several squares in one click, every class's own
action chosen from the menu by a click, END TURN on the screen, and player
2's hero hunted until it falls.

The camera is where the game puts it: the start view for the hero choice,
then player 1's home, from the first turn on. KESTRAVA_DEBUG_HUD has the
game say where the camera comes to rest ("HUD camera: …"), and the test
works out from that where each square and each unit is drawn (the same
arithmetic as gluLookAt and gluPerspective), and checks it by pointing: the
game prints the numbers of the unit pointed at ("HUD pointed: …"), the odds
panel and the line at the top. A click's walk
is over when the unit is read on the square it was sent to, with the
movement points the cheapest way leaves. Hit rolls depend on how many frames
the animations take, so the hunt goes on turn after turn until the hero falls."""
import math
import re
import unittest

import harness

SEED = 8
# Player 1 one of each class, player 2 a single Fighter: its hero, whose 100
# hit points outlast the first turn's blows, so that every class acts.
ARMIES = [1, 1, 1, 1, 1, 0, 1, 0, 0, 0]

# Where the seed puts them on battle_7x5.txt, (row, column).
ARCHER, FIGHTER, FLIER, HEALER, MAGE = (0, 4), (1, 2), (2, 3), (0, 2), (1, 1)
HERO = (4, 1)

CAMERA = re.compile(r"HUD camera: eye (\S+) (\S+) (\S+) pitch (\S+) yaw (\S+)\n")


def radians(degrees):
    """Degrees become radians with the game's pi of 3.14159."""
    return degrees * 3.14159 / 180


def camera_at_rest(game, start):
    """Where the game says the camera came to rest after offset start: the
    eye, the pitch and the yaw."""
    found = CAMERA.search(game.output, start, game.wait_for(CAMERA, start=start))
    values = [float(v) for v in found.groups()]
    return tuple(values[:3]), values[3], values[4]


class Screen:
    """Window pixels (from the top left, as xdotool takes them) of what the
    game draws: squares, units, the menu's entries, the two buttons."""

    def __init__(self, width, height, camera):
        self.width, self.height = width, height
        self.eye, pitch, yaw = camera[0], radians(camera[1]), radians(camera[2])
        view = (math.cos(pitch) * math.cos(yaw), math.sin(pitch), math.cos(pitch) * math.cos(radians(90) - yaw))
        self.forward = normalized(view)
        self.side = normalized(cross(self.forward, (0, 1, 0)))
        self.up = cross(self.side, self.forward)

    def project(self, x, y, z):
        to = (x - self.eye[0], y - self.eye[1], z - self.eye[2])
        depth = dot(to, self.forward)
        focal = 1 / math.tan(math.radians(30))
        ndc_x = focal * self.height / self.width * dot(to, self.side) / depth
        ndc_y = focal * dot(to, self.up) / depth
        return round((ndc_x + 1) / 2 * self.width - 0.5), round(self.height - (ndc_y + 1) / 2 * self.height - 0.5)

    def square(self, row, col):
        """The middle of the square on the board, half a unit below where units stand."""
        return self.project(col + 0.5, -0.5, row + 1.5)

    def unit(self, row, col):
        """The middle of a unit standing on the square."""
        return self.project(col + 0.5, 0, row + 1.5)

    def entry(self, item):
        """Menu entry 1-4 (Attack, the class's action, Defend, Move): a band
        an eighth of a view unit high, from -0.4 down, at 0.75-1.25 across;
        a view unit is half the window's height, counted from its middle."""
        x, y = 1.0, -0.4 - (item - 0.5) * 0.125
        return round(x * self.height / 2 + (self.width - 1) / 2), round((self.height - 1) / 2 - y * self.height / 2)

    def end_turn(self):
        """END TURN: the top right, below the line naming whose turn it is,
        which hangs under the frames-per-second line (its baseline at 0.92 of
        the overlays' height, its letters 4 pixels lower), all as render/layout.cpp has them."""
        letter = max(2, self.height // 256)
        rim = max(1, int(letter / 3 + 0.5))
        clock_foot = int(0.96 * self.height + 0.5) - 4
        top = self.height - (clock_foot - 2 - rim - 7 * letter - rim - 4)
        return self.width - 13 - 100, top + (7 * letter + 2 * (letter * 3 // 2 + 2)) // 2

    def away(self):
        """The pointer over the END TURN button points at no square."""
        return self.end_turn()


def dot(a, b):
    return sum(p * q for p, q in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def normalized(v):
    size = math.sqrt(dot(v, v))
    return tuple(p / size for p in v)


class Mouse:
    """A player with the mouse, and what the test knows of the board."""

    def __init__(self, game, camera):
        self.game = game
        self.screen = Screen(*game.size(), camera)

    def reads(self, square, text):
        """Points at the unit on the square; the game prints its numbers."""
        start = len(self.game.output)
        self.game.point(*self.screen.unit(*square))
        return self.game.wait_for("HUD pointed: " + text, start=start)

    def select(self, square):
        self.game.click(*self.screen.unit(*square))

    def walk(self, square, text):
        """In step choice, a click on a square several steps away; over
        once the unit is read there with the points its way leaves."""
        start = len(self.game.output)
        self.game.click(*self.screen.square(*square))
        self.game.wait_for("HUD pointed: " + text, start=start)

    def act(self, item, target, target_class):
        """Menu entry item, then a click on the target, pointed at first
        (its odds panel printed); once the roll is printed, the pointer goes
        away and the action is over when the acting unit's numbers go.
        Returns the console from the roll on."""
        self.game.click(*self.screen.entry(item))
        start = len(self.game.output)
        self.game.point(*self.screen.unit(*target))
        self.game.wait_for(re.compile(r"HUD odds: %s .*\n" % target_class), start=start)
        start = len(self.game.output)
        self.game.click(*self.screen.unit(*target))
        self.game.wait_for(re.compile(r"Hit range = .*\n"), start=start)
        self.game.point(*self.screen.away())
        self.game.wait_for_picture("mouse-action.png", lambda path: not harness.Picture(path).labels_shown(), 90)
        return self.game.output[start:]

    def won(self):
        return harness.shows_image(self.game.screenshot("mouse-check.png"), "p1_wins.bmp")

    def end_turn(self, next_player):
        start = len(self.game.output)
        self.game.click(*self.screen.end_turn())
        self.game.wait_for("HUD top: PLAYER %d'S TURN" % next_player, start=start)


class MouseBattle(unittest.TestCase):
    def test_a_battle_played_with_the_mouse_alone(self):
        with harness.Game(harness.play_folder("battle_7x5.txt"), args=ARMIES, seed=SEED,
                          env={"KESTRAVA_DEBUG_HUD": "1"}) as game:
            game.wait_for("HUD top: PLAYER 1: CHOOSE YOUR HERO")
            game.wait_for_picture("mouse-start.png", harness.fills_window)
            mouse = Mouse(game, camera_at_rest(game, 0))   # the window at its full size; the start view

            # Pointing reads each unit of player 1 where the seed put it.
            for square, text in ((ARCHER, "PLAYER 1'S ARCHER | HP 80/80 | MP 20/20 | MOVE 5"),
                                 (FIGHTER, "PLAYER 1'S FIGHTER | HP 100/100 | MP 0/0 | MOVE 5"),
                                 (FLIER, "PLAYER 1'S FLIER | HP 100/100 | MP 0/0 | MOVE 7"),
                                 (HEALER, "PLAYER 1'S HEALER | HP 55/55 | MP 100/100 | MOVE 7"),
                                 (MAGE, "PLAYER 1'S MAGE | HP 65/65 | MP 50/50 | MOVE 6")):
                mouse.reads(square, text)

            # The heroes: a click on player 1's Healer, then on player 2's Fighter.
            mouse.select(HEALER)
            game.wait_for("p1 hero selected!")
            mouse.select(HERO)
            chosen = game.wait_for("p2 hero selected!")
            game.wait_for("HUD top: PLAYER 1'S TURN")
            home = camera_at_rest(game, chosen)   # the first turn begun, player 1's home
            self.assertEqual(home[2], 90, "from behind player 1's army")
            mouse = Mouse(game, home)

            # Player 1's first turn: the Healer heals the Mage; the Flier
            # flies five squares beside the hero and strikes with its Skills;
            # the Fighter walks three (grass, desert, grass: all its 5 points)
            # to the hero's other side and attacks; the Archer walks four and
            # shoots its Skills. Their blows take at most 29 + 24 + 31 of the
            # hero's 100 hit points. END TURN leaves the Mage's action unused.
            mouse.select(HEALER)
            mouse.act(2, MAGE, "MAGE")
            mouse.select(FLIER)
            game.click(*mouse.screen.entry(4))
            mouse.walk((4, 0), "PLAYER 1'S FLIER | HP 100/100 | MP 0/0 | MOVE 2")
            game.click(*mouse.screen.square(4, 0), button=3)   # back to the menu
            skills = [mouse.act(2, HERO, "FIGHTER")]
            mouse.select(FIGHTER)
            game.click(*mouse.screen.entry(4))
            mouse.walk((4, 2), "PLAYER 1'S FIGHTER | HP 100/100 | MP 0/0 | MOVE 0")
            mouse.act(1, HERO, "FIGHTER")   # its points spent, the menu is back
            mouse.select(ARCHER)
            game.click(*mouse.screen.entry(4))
            mouse.walk((2, 2), "PLAYER 1'S ARCHER | HP 80/80 | MP 20/20 | MOVE 1")
            game.click(*mouse.screen.square(2, 2), button=3)
            skills.append(mouse.act(2, HERO, "FIGHTER"))
            for skill in skills:   # a hit of Skills rolls its extra
                self.assertTrue("miss!" in skill or "An Extra " in skill, skill)
            mouse.end_turn(2)

            # Player 2 ends its turns on the button. The Mage casts its Magic,
            # then the four who reach the hero attack it, turn after turn,
            # until it falls. The frame pointing at the hero while the Mage
            # aims is README's picture.
            mouse.end_turn(1)
            mouse.select(MAGE)
            game.click(*mouse.screen.entry(2))
            start = len(game.output)
            game.point(*mouse.screen.unit(*HERO))
            game.wait_for("HUD pointed: PLAYER 2'S FIGHTER", start=start)
            game.wait_for(re.compile(r"HUD odds: FIGHTER .*\n"), start=start)
            pointing = game.screenshot("mouse-pointing.png")
            self.assertTrue(harness.Picture(pointing).labels_shown(), "the pointed unit's numbers")
            magic = mouse.act(2, HERO, "FIGHTER")
            self.assertTrue("miss!" in magic or magic.count("An Extra ") == 2, magic)
            won = mouse.won()
            hunters = [(4, 0), (4, 2), (2, 2)]   # the Mage has had its action this turn
            for _ in range(8):
                for square in hunters:
                    if won:
                        break
                    mouse.select(square)
                    mouse.act(1, HERO, "FIGHTER")
                    won = mouse.won()
                if won:
                    break
                mouse.end_turn(2)
                mouse.end_turn(1)
                hunters = [(4, 0), (4, 2), (2, 2), MAGE]
            self.assertTrue(won, "player 2's hero still stands")

            # After its three seconds a click puts the banner away: the board
            # and who won (the line comes before its frame shows).
            start = len(game.output)
            harness.until(lambda: game.click(*mouse.screen.away()) or "HUD top: PLAYER 1 WINS!" in game.output[start:],
                          "board after the victory banner", 30, pause=0.5)
            game.wait_for_picture("mouse-after-victory.png", lambda path: not harness.shows_image(path, "p1_wins.bmp"),
                                  30)
            self.assertEqual(game.quit(), 0)


if __name__ == "__main__":
    unittest.main()
