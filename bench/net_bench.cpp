// bench/net_bench.cpp — what a networked battle costs on the wire: the default battle (WorldDesc.txt,
// two of each class a side, seed 7) played to a victory through a server on the loopback address,
// the computer on one side and a joiner on the other pressing the keys the computer would choose
// for it, once with the joiner as each player. Prints on standard error the bytes of the messages each side was
// sent (ENet's own headers and acknowledgements come on top), per turn and in all.
//
//   net_bench [SEED]      run in the run folder (build/run)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/net_client.h"
#include "app/net_server.h"
#include "game/random.h"
#include "game/startup.h"
#include "rules/game_state.h"
#include "save/battle_save.h"
#include "tests/support/battle.h"

namespace {

long bytesSent = 0, messagesSent = 0, largest = 0;

void pump(int taken) {
    std::string line;
    for (int i = 0; i < 2000 && joinedView.commandsTaken <= taken; i++) {
        serviceServer(1);
        sendViews();
        serviceJoin(line);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* seed = argc > 1 ? argv[1] : "7";
    for (int side : {1, 2}) {
        setenv("KESTRAVA_SEED", seed, 1);
        resetBattleState();
        const char* armies[] = {"net_bench", "2", "2", "2", "2", "2", "2", "2", "2", "2", "2"};
        // The battle's own console lines are not what is measured.
        if (!std::freopen("/dev/null", "w", stdout)) return 1;
        startBattle(11, const_cast<char**>(armies));
        keepingBattle = false;
        commander[1] = commander[2] = BY_PERSON;
        commander[3 - side] = BY_COMPUTER;
        computerPace = 0;
        ServerSettings settings;
        settings.port = 0;
        settings.loopbackOnly = true;
        settings.seatOpen[side] = true;
        settings.seatOpen[3 - side] = false;
        std::string problem;
        if (!startServer(settings, problem)) return std::fprintf(stderr, "%s\n", problem.c_str()), 1;
        bytesSent = messagesSent = largest = 0;
        static int measured;
        measured = side;
        serverSent = [](int to, const std::string& message) {
            if (to != measured) return;
            bytesSent += static_cast<long>(message.size());
            messagesSent++;
            if (static_cast<long>(message.size()) > largest) largest = static_cast<long>(message.size());
        };
        Hello hello;
        hello.side = side;
        std::string line;
        JoinState state = startJoin("127.0.0.1", serverPort(), hello, line);
        for (int i = 0; i < 2000 && state == JOIN_ASKING; i++) {
            serviceServer(1);
            state = serviceJoin(line);
        }
        int turns = 0, lastPlayer = currentPlayer;
        for (int tick = 0; tick < 200000 && !battleWon(); tick++) {
            runBattleTick(false);
            sendViews();
            serviceServer();
            serviceJoin(line);
            if (!choosingHeroes && currentPlayer != lastPlayer) turns++;
            lastPlayer = currentPlayer;
            if (activeSide() != side) continue;
            commander[side] = BY_COMPUTER;
            const int key = computerTick(TICK_SECONDS);
            commander[side] = BY_PERSON;
            if (!key) continue;
            const int taken = commandsSent;
            sendCommand({CMD_SPECIAL, key});
            pump(taken);
        }
        leaveGame();
        stopServer("over");
        std::fprintf(stderr,
                     "joiner as player %d: %s after %d turns; %ld messages, %ld bytes, %ld bytes a turn, "
                     "the largest message %ld bytes\n",
                     side, battleWon() ? "a victory" : "no victory", turns + 1, messagesSent, bytesSent,
                     bytesSent / (turns + 1), largest);
    }
    return 0;
}
