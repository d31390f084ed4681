// tests/unit/test_net.cpp — two machines, one battle, in one process over the loopback address: every
// byte a side is sent holds what it sees and no more, the host refuses what the rules or the
// protocol would not have, and a player who drops takes the battle up again where it stands
#include <enet/enet.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/camera.h"
#include "app/camera_follow.h"
#include "app/net_client.h"
#include "app/net_protocol.h"
#include "app/net_server.h"
#include "app/net_view.h"
#include "game/random.h"
#include "game/startup.h"
#include "render/captions.h"
#include "rules/battle_log.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "save/battle_save.h"
#include "tests/support/window_link_fake.h"

// A 14 × 8 field: the armies start out of each other's sight.
const char* const NET_MAP =
    "11111111#\n11111111#\n11112111#\n11131111#\n12111111#\n11111411#\n11111111#\n"
    "11111111#\n11211111#\n11111311#\n11141111#\n11111111#\n11111111#\n11111111#";

class NetTest : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        keepingBattle = false;
        loadMap(NET_MAP);
        seedRandom(placementSeed);
        ArmyCounts counts;
        counts.fill(1);
        placedCounts = counts;
        captureOutput([&] { placeArmies(counts); });
        computerPace = 0;
    }
    // With these seeds a blow comes out of the fog in the whole battle below:
    // 4 where the joiner commands player 2 (the pinned first view's), 3 where
    // it commands player 1.
    unsigned placementSeed = 4;

    void TearDown() override {
        serverSent = nullptr;
        joinerReceived = nullptr;
        leaveGame();
        stopServer("The test is over.");
        keepingBattle = true;
        BattleTest::TearDown();
    }

    // The server on a free loopback port, the seats given.
    void serve(bool side1Open, bool side2Open, float silence = 5) {
        ServerSettings settings;
        settings.port = 0;
        settings.loopbackOnly = true;
        settings.seatOpen[1] = side1Open;
        settings.seatOpen[2] = side2Open;
        settings.silenceSeconds = silence;
        std::string problem;
        ASSERT_TRUE(startServer(settings, problem)) << problem;
    }

    JoinState joinState = JOIN_OVER;
    std::string joinLine;   // the joiner's last word, once it is over

    // Both ends serviced until `done`, for at most two seconds.
    template <class F> bool pumpUntil(F done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            serviceServer(1);
            sendViews();
            if (joinState != JOIN_OVER) joinState = serviceJoin(joinLine);
        }
        return true;
    }

    JoinState join(int side, std::string& line) {
        Hello hello;
        hello.side = side;
        joinState = startJoin("127.0.0.1", serverPort(), hello, joinLine);
        pumpUntil([&] { return joinState != JOIN_ASKING; });
        line = joinLine;
        return joinState;
    }
};

// ---- A raw peer, for saying what no joiner of ours would ----

struct RawPeer {
    ENetHost* host = enet_host_create(nullptr, 1, 1, 0, 0);
    ENetPeer* peer = nullptr;
    std::vector<std::string> heard;
    bool hungUp = false;

    ~RawPeer() { enet_host_destroy(host); }
    void service() {
        ENetEvent event;
        while (enet_host_service(host, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                heard.emplace_back(reinterpret_cast<const char*>(event.packet->data), event.packet->dataLength);
                enet_packet_destroy(event.packet);
            }
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) hungUp = true;
        }
    }
    void say(const std::string& bytes) {
        enet_peer_send(peer, 0, enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(host);
    }
    int port() const {
        ENetAddress bound;
        enet_socket_get_address(host->socket, &bound);
        return bound.port;
    }
    // The line the host last refused or dropped it with, or "".
    std::string told() const {
        std::string line;
        for (const std::string& message : heard)
            if (readLine(message, MSG_REFUSED, line) || readLine(message, MSG_BYE, line)) return line;
        return "";
    }
};

// Everything the battle is, as the kept battle has it.
std::string netBattleNow() {
    std::ostringstream text;
    writeSave(captureBattle(), text);
    text << choosingHeroes << p1ChoosingHero << p2ChoosingHero << moveAnimating << attackAnimating;
    return text.str();
}

// The units a side's player sees in hot-seat: what updateVisibility shows
// them, the living and the falling; the battle's own flags left as they were.
std::set<int> unitsInSightOf(int side) {
    std::vector<bool> was;
    for (const Unit* unit : allUnits) was.push_back(unit->visible);
    updateVisibility(side);
    std::set<int> ids;
    for (const Unit* unit : allUnits) {
        bool falling = false;
        for (const FallingUnit& fall : fallingUnits) falling |= fall.unitId == unit->id;
        if (unit->player == side || (unit->visible && (!unit->dead || falling))) ids.insert(unit->id);
    }
    for (size_t i = 0; i < allUnits.size(); i++) allUnits[i]->visible = was[i];
    return ids;
}

// A whole seeded battle, the computer on one side and the joiner on the
// other pressing the keys the computer would choose for it. Every message
// the joiner's side is sent is read as it goes: after it, the joiner holds
// exactly the units that side sees at that moment, each where it stands and
// with its hit points, and names no other anywhere (selected, struck,
// under the cursor, a number, a fall). Its console lines and log events are
// those of the deeds it sees, none of a hidden unit's. The battle ends as it
// would in hot-seat: the same keys and the same rolls.
TEST_F(NetTest, EachSideIsSentWhatItSeesAndNothingMoreOverAWholeBattle) {
    for (int side : {2, 1}) {
        SCOPED_TRACE("the joiner commands player " + std::to_string(side));
        placementSeed = side == 2 ? 4 : 3;
        SetUp();
        const int other = 3 - side;
        commander[other] = BY_COMPUTER;
        serve(side == 1, side == 2);
        ViewParts parts;
        BattleView view;
        Heard heard;
        int messages = 0, hiddenNamed = 0, enemiesSeen = 0, hiddenBlows = 0;
        std::string firstProblem;
        static std::function<void(int, const std::string&)> check;
        std::vector<std::string> sent;
        check = [&](int to, const std::string& message) {
            if (to == side && sent.size() < 2) sent.push_back(message);
            if (to != side || message[0] != MSG_VIEW) return;
            messages++;
            if (!takeViewMessage(message, mapRows, mapCols, parts, view, heard)) {
                hiddenNamed++;
                return;
            }
            const std::set<int> seen = unitsInSightOf(side);
            std::set<int> held;
            for (const UnitView& u : view.units) {
                held.insert(u.id);
                const Unit& truth = *allUnits[u.id];
                if (u.player != side) enemiesSeen++;
                if (u.row != truth.row || u.col != truth.col || u.hp != truth.hp || u.unitClass != truth.unitClass)
                    hiddenNamed++;
            }
            std::vector<int> named = {view.selected, view.target, view.cursorUnitId};
            for (const FloatingNumber& n : view.numbers) named.push_back(n.unitId);
            for (const FallingUnit& f : view.falls) named.push_back(f.unitId);
            for (int id : named) hiddenNamed += id >= 0 && !seen.count(id);
            // The other side's cursor only over a square the side sees, its blow only by a unit it sees.
            if (view.cursorShown && activeSide() != side) {
                Unit probe;
                probe.position = battleMap[view.cursorRow][view.cursorCol].centre;
                bool squareSeen = false;
                for (const Unit* unit : allUnits) squareSeen |= unit->player == side && inSight(*unit, probe);
                hiddenNamed += !squareSeen;
            }
            hiddenNamed += view.attackAnimating && view.selected < 0;
            hiddenBlows += attackAnimating && selectedUnit->player != side && !seen.count(selectedUnit->id);
            if (held != seen && firstProblem.empty())
                firstProblem = "at tick " + std::to_string(battleTick) + " the joiner held " +
                               std::to_string(held.size()) + " units where its side sees " + std::to_string(seen.size());
        };
        serverSent = [](int to, const std::string& message) { check(to, message); };
        // What the side is due to be told, by hot-seat's sight at the moment
        // the rules say it: the console lines of deeds of the units it sees,
        // and of none (a hero chosen); the log's events naming only units it sees.
        static int watching;
        static std::vector<std::string> linesDue;
        static std::vector<LogEvent> eventsDue;
        static int linesWithheld, eventsWithheld;
        static void (*serverLine)(const std::string&, const Unit*);
        static void (*serverEvent)(const LogEvent&);
        watching = side;
        linesDue.clear();
        eventsDue.clear();
        linesWithheld = eventsWithheld = 0;
        serverLine = consoleWatcher;
        serverEvent = logWatcher;
        consoleWatcher = [](const std::string& said, const Unit* actor) {
            if (!actor || unitsInSightOf(watching).count(actor->id)) linesDue.push_back(said);
            else linesWithheld++;
            serverLine(said, actor);
        };
        logWatcher = [](const LogEvent& event) {
            const std::set<int> seen = unitsInSightOf(watching);
            auto sees = [&seen](const LogUnit& unit) { return unit.id < 0 || seen.count(unit.id); };
            if (sees(event.actor) && sees(event.target)) eventsDue.push_back(event);
            else eventsWithheld++;
            serverEvent(event);
        };
        std::string line;
        ASSERT_EQ(join(side, line), JOIN_IN) << line;

        const std::string console = captureOutput([&] {
            for (int tick = 0; tick < 40000 && !battleWon(); tick++) {
                runBattleTick(false);
                sendViews();
                serviceServer();
                joinState = serviceJoin(joinLine);
                if (activeSide() != side) continue;
                // The key the computer would press for the joiner's side, given by the joiner.
                commander[side] = BY_COMPUTER;
                const int key = computerTick(TICK_SECONDS);
                commander[side] = BY_PERSON;
                if (!key) continue;
                const int taken = commandsSent;
                sendCommand({CMD_SPECIAL, key});
                ASSERT_TRUE(pumpUntil([&] { return joinedView.commandsTaken > taken; }))
                    << "the host never took the key " << key;
            }
        });
        // The welcome and the first view, pinned to the bytes a build of the
        // day sent (each after two bytes of its length): a joiner of that
        // build reads this one's.
        if (side == 2) {
            std::ifstream pinned(TEST_DATA_DIR "/net/joined-as-2.bin", std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(pinned)), std::istreambuf_iterator<char>());
            std::string now;
            for (const std::string& m : sent) now += std::string{char(m.size() & 255), char(m.size() >> 8)} + m;
            EXPECT_EQ(now, bytes) << "the welcome and the first view are no longer the bytes of tests/data/net";
        }
        EXPECT_TRUE(battleWon()) << "the battle did not end after " << commandsSent << " keys of the joiner:\n"
                                 << console.substr(console.size() > 600 ? console.size() - 600 : 0);
        EXPECT_EQ(firstProblem, "");
        EXPECT_EQ(hiddenNamed, 0) << "of " << messages << " messages";
        EXPECT_GT(enemiesSeen, 0) << "the enemy was never in sight";
        EXPECT_GT(hiddenBlows, 0) << "no blow came out of the fog";
        EXPECT_NE(console.find("Hit range = "), std::string::npos);
        // Told exactly what it saw, in order: the lines to print and the log's events.
        EXPECT_EQ(heard.lines, linesDue);
        auto worded = [](const std::vector<LogEvent>& events) {
            std::vector<std::string> lines;
            int colour = 0;
            for (const LogEvent& event : events) lines.push_back(logLine(event, colour));
            return lines;
        };
        EXPECT_EQ(worded(heard.log), worded(eventsDue));
        EXPECT_GT(linesWithheld, 0) << "no line of a hidden unit's deed";
        EXPECT_GT(eventsWithheld, 0) << "no event of a hidden unit";
        leaveGame();
        stopServer("over");
        serverSent = nullptr;
    }
}

// What no joiner of ours would say, each from a peer of its own, while a
// joiner holds player 2's side: every one is refused in one line on both
// ends and let go; none changes the battle; the host goes on serving, and the
// seated joiner's commands out of its turn, on the other side's units, change
// nothing either.
TEST_F(NetTest, TheHostRefusesWhatTheRulesOrTheProtocolWouldNot) {
    commander[1] = BY_COMPUTER;
    serve(false, true);
    std::string line;
    ASSERT_EQ(join(2, line), JOIN_IN) << line;
    // Player 1's hero chosen by the computer: the keys are its own now.
    for (int tick = 0; tick < 600 && choosingHeroes && activeSide() == 1; tick++) runBattleTick(false);
    ASSERT_TRUE(choosingHeroes && activeSide() == 2);

    auto hello = [](auto change) {
        Hello said;
        change(said);
        return helloMessage(said);
    };
    const std::string seated = hello([](Hello& h) { h.side = 2; });
    const struct {
        const char* what;
        std::vector<std::string> said;
        std::string told;
    } cases[] = {
        {"the version before, with no console lines or log in its views", {hello([](Hello& h) { h.version = 1; })},
         "Refused: it speaks protocol version 1, the host version 2."},
        {"other armies", {hello([](Hello& h) { h.armiesGiven = true, h.counts.fill(2); })},
         "Refused: it expects other armies than the host's (1 1 1 1 1 1 1 1 1 1)."},
        {"another map", {hello([](Hello& h) { h.mapDigest = 12345; })}, "Refused: it expects another map than the host's."},
        {"the computer's side", {hello([](Hello& h) { h.side = 1; })}, "Refused: player 1 is the computer."},
        {"a taken side", {seated}, "Refused: player 2's side is taken."},
        {"a full game", {hello([](Hello&) {})}, "Refused: the game is full."},
        {"garbage", {std::string("\x05\xff\x00garbage", 10)}, "Refused: its hello is malformed."},
        {"oversized", {std::string(NET_MOST_JOINER_BYTES + 1, '\x05')},
         "Refused: it sent a message of 4097 bytes, more than 4096."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = netBattleNow();
        RawPeer raw;
        ENetAddress address;
        enet_address_set_host_ip(&address, "127.0.0.1");
        address.port = static_cast<enet_uint16>(serverPort());
        raw.peer = enet_host_connect(raw.host, &address, 1, 0);
        const std::string console = captureOutput([&] {
            ASSERT_TRUE(pumpUntil([&] { return raw.service(), raw.peer->state == ENET_PEER_STATE_CONNECTED; }));
            for (const std::string& bytes : c.said) raw.say(bytes);
            ASSERT_TRUE(pumpUntil([&] { return raw.service(), raw.hungUp; })) << "the host never let it go";
        });
        EXPECT_EQ(raw.told(), c.told);
        EXPECT_EQ(console, c.told.substr(0, 7) + " 127.0.0.1:" + std::to_string(raw.port()) + ": " +
                               c.told.substr(9) + "\n");
        EXPECT_EQ(netBattleNow(), before) << "the battle changed";
    }

    // The seated joiner, out of its turn and on the other side's units.
    for (int tick = 0; tick < 600 && (choosingHeroes || currentPlayer != 1); tick++) {
        if (activeSide() == 2) {
            sendCommand({CMD_SPECIAL, KEY_INSERT});
            const int taken = commandsSent;
            ASSERT_TRUE(pumpUntil([&] { return joinedView.commandsTaken >= taken; }));
        }
        runBattleTick(false);
    }
    ASSERT_EQ(currentPlayer, 1) << "player 2 chose a hero and player 1's turn began";
    // Player 1 a person now (one who has not joined): only the host's seats
    // keep player 2's keys off player 1's turn, as between two joiners.
    commander[1] = BY_PERSON;
    const std::string before = netBattleNow();
    const Unit* enemy = nullptr;
    for (const Unit* unit : allUnits)
        if (unit->player == 1) enemy = unit;
    const Command outOfTurn[] = {{CMD_SPECIAL, KEY_INSERT}, {CMD_SPECIAL, KEY_DOWN}, {CMD_KEY, 'e'}, {CMD_KEY, 't'},
                                 {CMD_CLICK, 0, enemy->row, enemy->col}, {CMD_CLICK_ENTRY, 2}, {CMD_BACK}};
    for (const Command& command : outOfTurn) sendCommand(command);
    const int taken = commandsSent;
    ASSERT_TRUE(pumpUntil([&] { return joinedView.commandsTaken >= taken; }));
    EXPECT_EQ(netBattleNow(), before) << "a command out of turn changed the battle";

    // A command of no kind the dispatcher knows (the fuzzer's first find).
    Command none{CMD_KEY};
    EXPECT_FALSE(readCommand(std::string("\x05\xfe\x0e\xf1\x01\x00\x01\x00", 8), none));

    // A flood from the seated joiner: refused and dropped, and its side
    // taken up again by the next joiner.
    for (int i = 0; i <= NET_MOST_MESSAGES_PER_SECOND; i++) sendCommand({CMD_SPECIAL, KEY_UP});
    const std::string console = captureOutput([&] { pumpUntil([&] { return joinState == JOIN_OVER; }); });
    EXPECT_EQ(joinLine, "Refused: it sent more than 200 messages in a second.");
    EXPECT_EQ(console.substr(0, 18), "Refused 127.0.0.1:");
    EXPECT_EQ(netBattleNow(), before);
    EXPECT_EQ(join(2, line), JOIN_IN) << line;

    // On its own turn the joiner's Tab is the host's too: the cursor onto the next of its units that may act.
    captureOutput([] { dispatch({CMD_KEY, 'e'}); });
    for (int tick = 0; tick < 1200 && (currentPlayer != 2 || bannerP1EndTurn || bannerP2BeginTurn); tick++)
        runBattleTick(false);
    ASSERT_TRUE(currentPlayer == 2 && !bannerP2BeginTurn);
    const int from = cursorRow * MAP_LIMIT + cursorCol;
    sendCommand({CMD_KEY, 9});
    ASSERT_TRUE(pumpUntil([&] { return cursorRow * MAP_LIMIT + cursorCol != from; })) << "the host never took Tab";
    const int occupant = battleMap[cursorRow][cursorCol].occupant;
    ASSERT_GE(occupant, 0);
    EXPECT_TRUE(allUnits[occupant]->player == 2 && allUnits[occupant]->canAct);
    // And on the joining screen, once the host has taken it, the camera brings that unit into view.
    ASSERT_TRUE(pumpUntil([&] { return joinedView.commandsTaken >= commandsSent; }));
    const Vector unitAt = allUnits[occupant]->position;
    stopServer("over");
    windowWidth = 800;
    windowHeight = 600;
    placeCameraAtHome(1);
    Vector eye, centre;
    aimFreeCamera(eye, centre);
    for (int notch = 0; notch < 100 && cameraEye.y > 2.5f; notch++) dispatch({CMD_ZOOM, 1});
    auto shown = [&unitAt] {
        float x = 0, y = 0;
        return viewPoint(cameraGoal(), 800.0f / 600, unitAt, x, y) && std::abs(x) < 800.0f / 600 && std::abs(y) < 1;
    };
    ASSERT_FALSE(shown()) << "the camera looks away from it";
    showJoined();
    EXPECT_TRUE(shown());
}

// A player who hangs up or falls silent is waited for: the other side's
// screen says so, and the next joiner for that side takes the battle up where
// it stands. The silent one is told once.
TEST_F(NetTest, ADroppedPlayerIsWaitedForAndTakesTheBattleUpAgain) {
    serve(true, true, 1);
    std::vector<std::string> byes;
    static std::vector<std::string>* told;
    told = &byes;
    serverSent = [](int side, const std::string& message) {
        std::string line;
        if (side == 2 && readLine(message, MSG_BYE, line)) told->push_back(line);
    };
    RawPeer first;
    ENetAddress address;
    enet_address_set_host_ip(&address, "127.0.0.1");
    address.port = static_cast<enet_uint16>(serverPort());
    first.peer = enet_host_connect(first.host, &address, 1, 0);
    std::string line;
    captureOutput([&] {
        ASSERT_TRUE(pumpUntil([&] { return first.service(), first.peer->state == ENET_PEER_STATE_CONNECTED; }));
        Hello hello;
        hello.side = 1;
        first.say(helloMessage(hello));
        ASSERT_TRUE(pumpUntil([&] { return first.service(), !first.heard.empty(); }));
        ASSERT_EQ(join(2, line), JOIN_IN) << line;
    });
    ASSERT_TRUE(pumpUntil([&] { return first.service(), joinedView.units.size() == 5 && joinedView.waitingFor == 0; }));

    enet_peer_disconnect(first.peer, 0);
    std::string console = captureOutput([&] {
        ASSERT_TRUE(pumpUntil([&] { return first.service(), joinedView.waitingFor == 1; }));
    });
    EXPECT_EQ(console, "Player 1 left: waiting for them to join again.\n");

    // Player 2 hangs up, and joins again: the battle as it stands.
    const ViewParts standing = viewParts(captureView(2));
    console = captureOutput([&] {
        leaveGame();
        joinState = JOIN_OVER;
        int services = 0;   // its goodbye is on its way already: a few services take it
        pumpUntil([&] { return ++services > 20; });
    });
    EXPECT_EQ(console, "Player 2 left: waiting for them to join again.\n");
    console = captureOutput([&] { ASSERT_EQ(join(2, line), JOIN_IN) << line; });
    ASSERT_TRUE(pumpUntil([&] { return !joinedView.units.empty(); }));
    EXPECT_EQ(viewParts(joinedView).units, standing.units);

    // Silent past the second it is given, once its window is up: told once,
    // dropped, waited for.
    sendReady();
    pumpUntil([] { return false; });
    EXPECT_TRUE(byes.empty()) << "dropped while it answered";
    joinState = JOIN_OVER;   // nothing more is taken on the joiner's end
    console = captureOutput([&] { pumpUntil([&] { return byes.size() > 1; }); });
    EXPECT_EQ(byes, std::vector<std::string>{"Player 2 was silent for 1 s and was dropped."});
    EXPECT_EQ(console, "Player 2 was silent for 1 s and was dropped.\n");
    console = captureOutput([&] { ASSERT_EQ(join(2, line), JOIN_IN) << line; });

    // On the joining side's screen: its units and the enemies it sees, the
    // line that says who is waited for.
    ASSERT_TRUE(pumpUntil([&] { return joinedView.units.size() == standing.units.size(); }));
    const BattleView view = joinedView;
    stopServer("over");
    showView(view, 2);
    ASSERT_EQ(allUnits.size(), view.units.size());
    for (size_t i = 0; i < allUnits.size(); i++) {
        EXPECT_EQ(allUnits[i]->id, view.units[i].id);
        EXPECT_EQ(battleMap[allUnits[i]->row][allUnits[i]->col].occupant, allUnits[i]->id);
    }
    EXPECT_STREQ(notice, "WAITING FOR PLAYER 1");
    EXPECT_GT(noticeSeconds, 0);
}

// On a joining machine the dispatcher sends the battle's commands to the host
// and keeps the view's own: each kind of command, in the states that decide.
// The battle speed, the hurry and the skip are no joiner's to change (the host
// runs the ticks): while a turn's banner is up here, Space runs none of them.
TEST_F(NetTest, AJoinersDispatcherSendsTheBattlesCommandsAndKeepsTheViews) {
    static std::vector<Command> sent;
    sent.clear();
    battleCommandsTo = [](const Command& command) { sent.push_back(command); };
    battleRunElsewhere = true;
    choosingHeroes = false;
    bannerP1BeginTurn = true;
    const struct {
        const char* what;
        Command command;
        bool toHost;
    } cases[] = {
        {"a battle key", {CMD_KEY, 'e'}, true},
        {"Enter", {CMD_KEY, 13}, true},
        {"a view key", {CMD_KEY, 'v'}, false},
        {"the help", {CMD_KEY, 'h'}, false},
        {"Tab", {CMD_KEY, 9}, true},
        {"Backspace", {CMD_KEY, 8}, true},
        {"a quarter turn", {CMD_KEY, ','}, false},
        {"the view from above", {CMD_KEY, '5'}, false},
        {"the log", {CMD_KEY, 'j'}, false},
        {"the battle speed", {CMD_KEY, 'g'}, false},
        {"the hurry", {CMD_KEY, 'w'}, false},
        {"the skip", {CMD_KEY, ' '}, false},
        {"an arrow", {CMD_SPECIAL, KEY_UP}, true},
        {"Insert", {CMD_SPECIAL, KEY_INSERT}, true},
        {"Insert still held", {CMD_SPECIAL, KEY_INSERT}, false},
        {"F1", {CMD_SPECIAL, KEY_F1}, true},
        {"a click", {CMD_CLICK, 0, 2, 3}, true},
        {"a menu entry", {CMD_CLICK_ENTRY, 2}, true},
        {"the right button", {CMD_BACK}, true},
        {"the wheel", {CMD_ZOOM, 1}, false},
        {"pointing", {CMD_POINT, 0, 2, 3}, false},
    };
    const std::string before = netBattleNow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t count = sent.size();
        dispatch(c.command);
        EXPECT_EQ(sent.size(), count + c.toHost);
    }
    EXPECT_EQ(netBattleNow(), before) << "a command acted here";
    EXPECT_TRUE(bannerP1BeginTurn && battleTick == 0) << "space ran the battle's ticks here";
    EXPECT_TRUE(battleSpeed == 1 && !computerHurry);
    EXPECT_FALSE(showRunTime) << "F1 switches the line on the joiner's own screen";
    EXPECT_TRUE(helpShown && showLog);
    bannerP1BeginTurn = false;

    // Once the victory banner has had its time, any key goes, to put it away for both.
    bannerP1Wins = true;
    victorySeconds = VICTORY_BANNER_SECONDS;
    dispatch({CMD_KEY, 'v'});
    EXPECT_EQ(sent.back().code, 'v');
    EXPECT_FALSE(afterVictory) << "the host puts it away";
}

// The joining screen takes up what the host tells it: the console lines
// printed as they come, the log's events worded for its side (a new battle's
// log begun afresh), and through the other side's turn the camera brought to
// what it is shown of that side's doing (a unit of it it sees acting, not a
// cursor it is not shown), and back to the player's own view after.
TEST_F(NetTest, AJoiningScreenShowsWhatItIsToldAndFollowsWhatItSees) {
    loadUniformMap(30, 5, 1);
    windowWidth = 800;
    windowHeight = 600;
    Unit* hidden = placeUnit<Fighter>(1, 0, 0);
    Unit* seen = placeUnit<Archer>(1, 6, 2);
    placeUnit<Flier>(2, 10, 2);   // its sight reaches the Archer four squares off
    placeUnit<Mage>(2, 28, 2);
    choosingHeroes = p1ChoosingHero = false;
    currentPlayer = 1;
    selectedUnit = seen;
    seen->menuOpen = true;
    const BattleView acting = captureView(2);
    seen->menuOpen = false;
    selectedUnit = hidden;
    cursorRow = cursorCol = 0;
    const BattleView hiddenCursor = captureView(2);
    currentPlayer = 2;
    const BattleView ownTurn = captureView(2);
    battlesStarted++;
    const BattleView newBattle = captureView(2);
    ASSERT_EQ(acting.selected, seen->id);
    ASSERT_FALSE(hiddenCursor.cursorShown);
    const Vector archerAt = seen->position;

    joinedWelcome.side = 2;
    placeCameraAtHome(2);
    Vector eye, centre;
    aimFreeCamera(eye, centre);
    for (int notch = 0; notch < 100 && cameraEye.y > 2.5f; notch++) dispatch({CMD_ZOOM, 1});   // close over its own rows
    const CameraPose own = cameraGoal();
    auto inView = [](const CameraPose& pose, const Vector& point) {
        float x = 0, y = 0;
        const float aspect = 800.0f / 600;
        return viewPoint(pose, aspect, point, x, y) && std::abs(x) < aspect && std::abs(y) < 1;
    };
    ASSERT_FALSE(inView(own, archerAt));

    const LogEvent hit{LOG_HIT, logUnit(*seen), {2, CLASS_FLIER, false}, 12};
    joinedView = acting;
    joinedHeard = Heard();
    joinedHeard.lines = {"Hit range = 40 Miss Range 27.5"};
    joinedHeard.log = {hit, {LOG_TURN, {2}}};
    std::string printed = captureOutput([] { showJoined(); });
    followBattle(0);
    EXPECT_EQ(printed, "Hit range = 40 Miss Range 27.5\n");
    std::vector<std::string> logged;
    int colour = 0;
    for (const LogEvent& event : battleLog) logged.push_back(logLine(event, colour));
    EXPECT_EQ(logged, (std::vector<std::string>{"ENEMY ARCHER HIT YOUR FLIER: 12 DAMAGE", "YOUR TURN"}));
    EXPECT_TRUE(inView(cameraGoal(), archerAt)) << "the enemy's acting unit it sees brought into view";

    const CameraPose following = cameraGoal();
    joinedView = hiddenCursor;
    printed = captureOutput([] { showJoined(); });
    followBattle(0);
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(cameraGoal().eye.x == following.eye.x && cameraGoal().eye.z == following.eye.z)
        << "the camera went to a cursor the screen is not shown";

    joinedView = ownTurn;
    captureOutput([] { showJoined(); });
    followBattle(0);
    EXPECT_TRUE(cameraGoal().eye.x == own.eye.x && cameraGoal().eye.y == own.eye.y && cameraGoal().eye.z == own.eye.z)
        << "back to the player's own view";

    joinedView = newBattle;
    joinedHeard.log = {{LOG_TURN, {2}}};
    captureOutput([] { showJoined(); });
    ASSERT_EQ(battleLog.size(), 1u) << "a new battle's log";
    EXPECT_EQ(logLine(battleLog[0], colour), "YOUR TURN");

    // The hurry is the host's to give: w says so, and the next view leaves the word up.
    dispatch({CMD_KEY, 'w'});
    captureOutput([] { showJoined(); });
    EXPECT_FALSE(computerHurry);
    EXPECT_STREQ(notice, "NOT IN A NETWORK BATTLE");
    EXPECT_GT(noticeSeconds, 0);
}
