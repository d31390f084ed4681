"""The real game's sound, heard through OpenAL Soft's own device that writes
the mix to a file instead of a sound card (its wave backend, chosen by a
configuration file in ALSOFT_CONF). Player 1 picks a hero: the menu opening
and the turn banner are heard, unless o was pressed first (which the screen
says) or KESTRAVA_VOLUME is 0. Quitting closes the device, which finishes the
file."""
import os
import struct
import unittest

import harness
import test_battle

ARMIES = [1, 0, 0, 0, 1, 1, 0, 0, 0, 1]


def samples(path):
    """The written file's samples, both ears, from its data chunk."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.index(b"data") + 8
    body = data[at:len(data) - (len(data) - at) % 2]
    return struct.unpack("<%dh" % (len(body) // 2), body)


class Sound(unittest.TestCase):
    def hear_a_hero_chosen(self, keys_first=(), env=None):
        """The loudest sample of the mix (0 to 32767) from the start to three
        seconds after a hero choice, and what the game said on standard error."""
        folder = harness.play_folder("ones_7x2.txt")
        mix = os.path.join(folder, "mix.wav")
        config = os.path.join(folder, "alsoft.conf")
        with open(config, "w") as f:
            # Undithered, so that silence is all zeros.
            f.write("[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\ndither = false\n"
                    "[wave]\nfile = %s\n" % mix)
        env = dict(env or {}, ALSOFT_CONF=config, KESTRAVA_DEBUG_HUD="1")
        with harness.Game(folder, args=ARMIES, seed=5, env=env) as game:
            person = test_battle.Battle(game)
            if keys_first:
                game.key(*keys_first)
                game.wait_for("HUD band: SOUND %s" % ("OFF" if len(keys_first) % 2 else "ON"))   # said on screen
            grid = person.occupancy()
            person.open_menu(*next((r, c) for r in range(3) for c in range(2) if grid[r][c] == 1))   # the Mage
            # Once player 2's banner has had its three seconds: the menu's
            # sound and the banner's have long been started, or dropped.
            game.wait_for("HUD top: PLAYER 2", start=game.wait_for("p1 hero selected!"))
            self.assertEqual(game.quit(), 0)
            errors = game.errors
        return max(abs(s) for s in samples(mix)), errors

    def test_a_hero_choice_is_heard_unless_muted_or_at_volume_0(self):
        for what, keys_first, env, heard in [
            ("as it starts", (), None, True),
            ("o pressed", ("o",), None, False),
            ("o pressed twice", ("o", "o"), None, True),
            ("KESTRAVA_VOLUME=0", (), {"KESTRAVA_VOLUME": "0"}, False),
        ]:
            with self.subTest(what):
                loudest, errors = self.hear_a_hero_chosen(keys_first, env)
                self.assertEqual(errors, "")   # the device opened, and closed at the end
                if heard:
                    self.assertGreater(loudest, 300)
                else:
                    self.assertEqual(loudest, 0)


if __name__ == "__main__":
    unittest.main()
