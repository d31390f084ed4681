// app/installed.h — the game installed on the system: its data beside it, its battles in the player's home
#pragma once
#include <string>

struct StartOptions;

// When this program is an installed game (game/folders.h), reads the maps,
// pictures and sounds from its share/kestrava folder and moves into the
// folder it keeps the battle, settings and replays in, made first when
// missing; the files the options name stay the ones the player meant, in
// the folder the game was started from. A WorldDesc.txt the player puts
// there is the battlefield, the bundled one otherwise. Started anywhere else
// (a run folder) nothing changes. False, with the reason in problem, when
// that folder cannot be made or entered.
bool settleInstalledGame(StartOptions& options, std::string& problem);
