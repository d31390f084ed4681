// app/net_client.h — the joining side: says hello, sends its player's commands, takes the views
#pragma once
#include <string>
#include <vector>

#include "app/input.h"
#include "app/net_protocol.h"
#include "app/net_view.h"

extern BattleView joinedView;             // the battle as this side sees it, as last sent
extern std::vector<CueEvent> joinedCues;  // heard in views taken since the window last played them
extern Welcome joinedWelcome;             // what the host said when it let this side in
extern int commandsSent;                  // commands sent to the host so far

enum JoinState { JOIN_ASKING, JOIN_IN, JOIN_OVER };

// Starts to connect to host:port; the hello goes once the host answers.
// JOIN_OVER, with the line to print, when the host's name means nothing.
JoinState startJoin(const std::string& hostName, int port, const Hello& hello, std::string& line);
// Takes what has arrived: the welcome, then views into joinedView. JOIN_OVER
// once the game is over for this side (refused; the host said goodbye, hung
// up, or sent what is no view of this battle), with the line to print.
JoinState serviceJoin(std::string& line);
// startJoin, then serviceJoin until welcomed or refused, at most `seconds`.
bool joinGame(const std::string& hostName, int port, const Hello& hello, float seconds, std::string& line);
void sendCommand(const Command& command);
void sendReady();   // the window is up (MSG_READY)
// Hangs up, waiting a moment for the host to hear it.
void leaveGame();
// The map of the welcome in play, for the frame and the guides.
void takeUpJoinedMap();

// Sees every message the joiner takes, before it is read (the tests).
extern void (*joinerReceived)(const std::string& message);
