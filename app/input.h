// app/input.h — the one way in: every key, click, computer move and replayed command
//
// The window's key callbacks, the mouse (app/pointer.h), the computer's keys
// (ai/computer.h) and a replay each hand their commands to dispatch, and
// nothing else reaches the battle. Battle commands go on to rules/; view
// commands to the camera and the looks. While the side whose keys command
// the battle (activeSide) belongs to the computer, a person's battle
// commands do nothing, and the computer's do nothing on a person's turn.
#pragma once

enum CommandKind {
    CMD_KEY,           // a character key pressed: code
    CMD_KEY_UP,        // a character key let go: code
    CMD_SPECIAL,       // a special key pressed: code, as rules/cursor.h numbers them
    CMD_SPECIAL_UP,    // a special key let go: code
    CMD_POINT,         // the pointer is over square (row, col); row -1 for none
    CMD_CLICK,         // a left click on square (row, col); row -1 off the board
    CMD_CLICK_ENTRY,   // a left click on the open menu's entry code, 1–4
    CMD_BACK,          // a right click: Home
    CMD_ZOOM,          // the wheel: code notches toward the view, away when negative
    CMD_TURN,          // a left drag of (dx, dy) pixels, y up the window
    CMD_CAMERA_MODE,   // the middle button's menu: code MODE_TRANSLATE, MODE_SCALE or MODE_ROTATE
};

enum CommandSource { FROM_PERSON, FROM_COMPUTER };

struct Command {
    CommandKind   kind;
    int           code = 0;
    int           row = -1, col = -1;
    int           dx = 0, dy = 0;
    CommandSource source = FROM_PERSON;
};

void dispatch(const Command& command);

// The special key the computer chose (computerTick), as its command.
inline Command computerKey(int key) { return {CMD_SPECIAL, key, -1, -1, 0, 0, FROM_COMPUTER}; }

// Sees every command as it enters, before it acts, a refused one too: the
// doorway for a recorder. None at start.
extern void (*commandWatcher)(const Command& command);

// A joined game (app/net_client.h): the battle runs on the host, so a
// person's battle commands (the battle keys, the special keys once past the
// held-key check, clicks, and any key while the victory banner waits to be put
// away) go there instead of to the rules here. None otherwise.
extern void (*battleCommandsTo)(const Command& command);

// Enter and the character keys that go to the rules (m, t, e, u, Tab,
// Backspace) and wait for the side's turn; the others act on this screen.
bool isBattleKey(unsigned char key);

// Once per update, after idleUpdate: what a command set going over several
// frames goes on with (a click's walk takes its next step once the last has glided).
void inputTick();

// A person's battle commands act: the side whose keys command the battle is
// a person's; after a victory (when Enter starts a new battle), a side is.
bool personMayCommand();

void resetInput();   // nothing held down, no walk under way (a fresh start for the tests)
