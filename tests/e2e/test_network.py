"""Two machines, one battle, on the loopback address: a host on one virtual
display and a joiner on another, each driven by its own keys, and the same
keys given to a hot-seat game; the joiner is killed with SIGKILL mid-battle
(the host's screen then waits for player 2) and joins again to go on where
the battle stood. The host's kept battle ends as the hot-seat one does, its
recording plays back to it, and when the host quits the joiner is told in
one line. A dedicated server then plays one joiner against the computer to a
victory, and refuses a third player in one line on both ends."""
import os
import re
import signal
import socket
import unittest

import harness
import test_battle

# Each side an Archer and a Mage (player 1: ids 0 and 1, player 2: 2 and 3)
# on a map of two columns, where the armies stand within reach of each other.
ARMIES = [1, 0, 0, 0, 1, 1, 0, 0, 0, 1]
SEED = 8


def free_port():
    """A UDP port nobody holds now: the system's choice for a socket bound to 0."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def kept(folder, name="kestrava-save.txt"):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        return ""
    with open(path) as file:
        return file.read()


def without_tick(save):
    """The kept battle but the tick it was kept at and the turn banners then
    up, which follow the wall clock."""
    save = re.sub(r"^turn player=(\d) tick=\d+", r"turn player=\1", save, flags=re.M)
    return re.sub(r"^banners .*\n", "", save, flags=re.M)


def turn_of(folder):
    found = re.search(r"^turn player=(\d)", kept(folder), re.M)
    return found and int(found.group(1))


class Keys:
    """One side's keys: a person at a window, with what the test knows of the board."""

    def __init__(self, game, host_output, folder):
        self.battle = test_battle.Battle(game)
        self.game = game
        self.host_output = host_output   # the console where the battle's lines come out
        self.folder = folder             # where the battle is kept

    def kept_cursor(self):
        """The cursor as the battle was last kept, once it has been (after the heroes)."""
        found = harness.until(lambda: re.search(r"^cursor row=(\d+) col=(\d+)", kept(self.folder), re.M),
                              "the kept cursor")
        return [int(found.group(1)), int(found.group(2))]

    def where(self):
        """Where each unit this side sees stands (the printout shows unit 0 as an empty square)."""
        grid = self.battle.occupancy()
        return {grid[r][c]: (r, c) for r in range(7) for c in range(2) if grid[r][c]}

    def hero(self, unit_id, line):
        """The unit's menu: it is the hero. Player 2 finds the cursor on its
        first unit, whose menu Insert opens."""
        if unit_id is None:
            self.game.key("Insert")
        else:
            self.battle.open_menu(*self.where()[unit_id])
        self.host_output().wait_for(line)

    def attack(self, attacker_id, targets, folder):
        """The attacker's menu, Attack, the square of the first of the targets in
        its reach, and Insert; over once the battle is kept again."""
        self.battle.cursor = self.kept_cursor()
        where = self.where()
        (r, c) = where[attacker_id]
        target_id = next(t for t in targets if t in where and abs(where[t][0] - r) + abs(where[t][1] - c) <= 3)
        before = kept(folder)
        shots = self.host_output().output.count("Hit range = ")
        self.battle.open_menu(*where[attacker_id])
        self.battle.menu_item = 1
        self.battle.choose(1)
        self.battle.walk_to(*where[target_id])
        self.game.key("Insert")
        harness.until(lambda: self.host_output().output.count("Hit range = ") > shots, "the hit roll")
        harness.until(lambda: kept(folder) != before and "canAct=1" not in kept(folder).split(
            "unit id=%d " % attacker_id)[1].split("\n")[0], "the attack over and kept")
        self.battle.cursor = list(where[target_id])

    def end_turn(self, folder, next_player):
        self.game.key("e")
        harness.until(lambda: turn_of(folder) == next_player, "player %d's turn kept" % next_player)


class Network(unittest.TestCase):
    def play(self, p1, p2, folder, between=lambda: None):
        """The same battle's keys, whoever gives them: heroes, a blow each, the turns passed."""
        p1.hero(1, "p1 hero selected!")
        p2.hero(None, "p2 hero selected!")
        p1.attack(1, [3], folder)
        p1.end_turn(folder, 2)
        p2.attack(3, [1], folder)
        p2 = between() or p2
        p2.end_turn(folder, 1)
        p1.end_turn(folder, 2)

    def test_a_host_and_a_joiner_on_two_displays_play_the_battle_hot_seat_would(self):
        hot_seat = harness.play_folder("ones_7x2.txt")
        with harness.Game(hot_seat, args=ARMIES, seed=SEED) as game:
            keys = Keys(game, lambda: game, hot_seat)
            self.play(keys, keys, hot_seat)
            self.assertEqual(game.quit(), 0)

        port = str(free_port())
        host_folder = harness.play_folder("ones_7x2.txt")
        joiner_folder = harness.play_folder()
        recording = os.path.join(host_folder, "battle.kreplay")
        second = harness.another_display()
        joiner_env = {"DISPLAY": second}
        with harness.Game(host_folder, args=["--host", port, "--record", recording] + ARMIES, seed=SEED,
                          env={"KESTRAVA_NET_SILENCE": "8"}) as host:
            host.wait_for("Hosting the battle on UDP port %s" % port)
            with harness.Game(joiner_folder, args=["--join", "127.0.0.1:" + port], env=joiner_env) as joiner:
                joiner.wait_for("Joined the battle as player 2.")

                def kill_and_rejoin():
                    waited = len(host.output)
                    joiner.process.send_signal(signal.SIGKILL)
                    joiner.wait_exit()
                    host.wait_for("Player 2 was silent for 8 s and was dropped.", start=waited)
                    host.wait_for("WAITING FOR PLAYER 2", start=waited)
                    again = harness.Game(joiner_folder, args=["--join", "127.0.0.1:" + port], env=joiner_env)
                    self.rejoined = again
                    again.wait_for("Joined the battle as player 2.")
                    return Keys(again, lambda: host, host_folder)

                self.play(Keys(host, lambda: host, host_folder), Keys(joiner, lambda: host, host_folder), host_folder,
                          kill_and_rejoin)
                with self.rejoined as again:
                    self.assertEqual(host.quit(), 0)
                    again.wait_for("The host has quit the game.")
                    self.assertEqual(again.wait_exit(), 0)
        self.assertEqual(without_tick(kept(host_folder)), without_tick(kept(hot_seat)))
        self.assertIn("Hit range = ", host.output)

        with harness.Game(host_folder, args=["--replay", recording]) as replay:
            replay.window()
            replay.key("g", "g", "g")
            harness.until(lambda: "The replay is over" in replay.errors, "the end of the replay", timeout=120)
            self.assertEqual(replay.quit(), 0)
        self.assertEqual(without_tick(kept(host_folder, "kestrava-replay-save.txt")), without_tick(kept(host_folder)))

    def test_a_server_plays_a_joiner_against_the_computer_and_refuses_a_third(self):
        port = str(free_port())
        folder = harness.play_folder("ones_7x2.txt")
        with harness.Game(folder, args=["--serve", port, "--computer", "1"] + ARMIES, seed=SEED,
                          env={"KESTRAVA_COMPUTER_PACE": "0"}) as server:
            server.wait_for("Serving the battle on UDP port %s." % port)
            with harness.Game(harness.play_folder(), args=["--join", "127.0.0.1:" + port]) as joiner:
                joiner.wait_for("Joined the battle as player 2.")
                with harness.Game(harness.play_folder(), args=["--join", "127.0.0.1:" + port]) as third:
                    self.assertEqual(third.wait_exit(), 1)
                    self.assertEqual(third.output, "Refused: the game is full.\n")
                server.wait_for(re.compile(r"Refused 127\.0\.0\.1:\d+: the game is full\.\n"))
                Keys(joiner, lambda: server, folder).hero(None, "p2 hero selected!")
                for _ in range(40):
                    if "p1Wins=1" in kept(folder):
                        break
                    harness.until(lambda: turn_of(folder) == 2 or "p1Wins=1" in kept(folder), "player 2's turn")
                    if turn_of(folder) == 2 and "p1Wins=1" not in kept(folder):
                        Keys(joiner, lambda: server, folder).end_turn(folder, 1)
                self.assertIn("p1Wins=1", kept(folder))
                self.assertIn("Hit range = ", server.output)
                server.process.send_signal(signal.SIGTERM)
                joiner.wait_for("The server has stopped the game.")
                self.assertEqual(joiner.wait_exit(), 0)
            self.assertEqual(server.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
