// app/net_server.h — the host's side of a networked battle: the seats, the handshake, the
// joiners' commands in and the views out
//
// The battle runs here and nowhere else. Each side is a seat: a joiner's,
// the computer's, or one kept for the host's own window. A joiner's command
// reaches the dispatcher only when the rules let that side command now (its
// turn, its hero choice, anyone after a victory), as a person's key does in
// hot-seat; a command of the other side, out of its turn, is taken and does
// nothing, as a person's key on the computer's turn. A seat whose player has
// gone (quit, dropped, silent) is waited for, and the next joiner for that
// side takes it up where the battle stands.
#pragma once
#include <cstdint>
#include <string>

struct ServerSettings {
    int port = 7531;                          // 0 for any free one
    bool loopbackOnly = false;                // only 127.0.0.1 (the host's own window, the tests)
    bool seatOpen[3] = {false, true, true};   // a joiner may take that side: not the computer's
    uint32_t seatKey[3] = {};                 // a seat kept for whoever says hello with this key
    float silenceSeconds = 10;                // a ready joiner heard nothing from this long is dropped
};

// Binds the port and opens the seats: false, with the reason, when it cannot.
bool startServer(const ServerSettings& settings, std::string& problem);
int serverPort();                   // the port bound, also when 0 was asked for
// Takes what has arrived: hellos answered, commands dispatched or refused,
// goodbyes, and drops whoever has been silent too long. Waits for up to
// `milliseconds` for the first event.
void serviceServer(int milliseconds = 0);
// After each tick: to each seated joiner, what changed of its view.
void sendViews();
bool hostWindowLeft();              // the seat kept for the host's own window was left
// Every joiner is told the line, then the port is closed.
void stopServer(const std::string& line);
// The open port closed without a word: the copy a forked process holds of it.
void forgetServer();

// Sees every message the server sends, with the side it goes to (0 for a
// joiner not seated): the tests read every byte a side is sent.
extern void (*serverSent)(int side, const std::string& message);
