// app/net_server.cpp — the seats, the handshake, the joiners' commands and the views, over ENet
#include "app/net_server.h"

#include <enet/enet.h>
#include <enet/time.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/input.h"
#include "app/net_protocol.h"
#include "app/net_view.h"
#include "game/battle_map.h"
#include "game/looks.h"
#include "game/startup.h"
#include "rules/cues.h"
#include "rules/cursor.h"
#include "rules/game_state.h"

void (*serverSent)(int side, const std::string& message) = nullptr;

namespace {

constexpr int MOST_PEERS = 8;            // two seats and a few to refuse
constexpr uint32_t TAKE_OVER_MS = 1500;  // a seat whose joiner missed three pings may be taken over
constexpr uint32_t HELLO_MS = 5000;      // a new peer says hello within this, or is dropped
constexpr uint32_t LEAVING_MS = 1000;    // a refused or dropped peer is let go after this, heard or not

struct Peer {
    ENetPeer* peer = nullptr;
    int side = 0;                 // seated for that side; 0 before its hello
    bool leaving = false;
    bool ready = false;           // its window is up: silence counts from now on
    uint32_t since = 0;           // when it connected, or began to leave
    int secondStart = 0;          // the battle's tick the count began at
    int messages = 0;             // in the battle's second since secondStart
};

struct Seat {
    bool open = false;
    uint32_t key = 0;
    Peer* joiner = nullptr;       // null while its player is waited for
    ViewParts sent;               // the view it was last sent
    int commandsTaken = 0;
};

ENetHost* host = nullptr;
ServerSettings settings;
Seat seats[3];
Peer peers[MOST_PEERS];
bool hostLeft = false;
std::vector<CueEvent> heard;      // the battle's cues not yet sent

std::string addressOf(const ENetPeer* peer) {
    char ip[64] = "?";
    enet_address_get_host_ip(&peer->address, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(peer->address.port);
}

void send(Peer& peer, const std::string& message) {
    if (serverSent) serverSent(peer.side, message);
    ENetPacket* packet = enet_packet_create(message.data(), message.size(), ENET_PACKET_FLAG_RELIABLE);
    if (enet_peer_send(peer.peer, 0, packet) < 0) enet_packet_destroy(packet);
}

bool playerSeat(int side) { return seats[side].open || seats[side].key; }

// The peer is told the line once (refused, or dropped) and let go; its seat,
// if it had one, is waited for.
void letGo(Peer& peer, MessageKind kind, const std::string& line) {
    if (peer.leaving) return;
    send(peer, lineMessage(kind, line));
    enet_peer_disconnect_later(peer.peer, 0);
    peer.leaving = true;
    peer.since = host->serviceTime;
    if (peer.side && seats[peer.side].joiner == &peer) seats[peer.side].joiner = nullptr;
}

void refuse(Peer& peer, const std::string& why) {
    std::printf("Refused %s: %s.\n", addressOf(peer.peer).c_str(), why.c_str());
    letGo(peer, MSG_REFUSED, "Refused: " + why + ".");
}

// The seat a hello asks for, or why there is none.
int seatFor(const Hello& hello, std::string& why) {
    for (int side = 1; side <= 2; side++)
        if (hello.seatKey && seats[side].key == hello.seatKey) return side;
    auto taken = [](int side) {
        Peer* joiner = seats[side].joiner;
        return joiner && ENET_TIME_DIFFERENCE(host->serviceTime, joiner->peer->lastReceiveTime) < TAKE_OVER_MS;
    };
    if (hello.side) {
        const std::string player = "player " + std::to_string(hello.side);
        if (seats[hello.side].key) why = player + "'s side is kept for the host";
        else if (!seats[hello.side].open) why = player + " is the computer";
        else if (taken(hello.side)) why = player + "'s side is taken";
        else return hello.side;
        return 0;
    }
    for (int side = 1; side <= 2; side++)
        if (seats[side].open && !taken(side)) return side;
    why = "the game is full";
    return 0;
}

void seat(Peer& peer, int side) {
    Seat& chosen = seats[side];
    if (chosen.joiner) letGo(*chosen.joiner, MSG_BYE, "Player " + std::to_string(side) + " joined again from elsewhere.");
    chosen.joiner = &peer;
    chosen.sent = ViewParts();   // the whole view goes with the next
    peer.side = side;
    Welcome welcome;
    welcome.side = side;
    welcome.rows = mapRows;
    welcome.cols = mapCols;
    welcome.terrain = terrainInPlay();
    std::copy(placedCounts.begin(), placedCounts.end(), welcome.counts.begin());
    welcome.sky = skyChoice;
    for (int s = 1; s <= 2; s++) welcome.computer[s] = commander[s] != BY_PERSON;
    send(peer, welcomeMessage(welcome));
    std::printf("Player %d joined from %s.\n", side, addressOf(peer.peer).c_str());
}

void hello(Peer& peer, const std::string& message) {
    Hello said;
    if (!readHello(message, said)) return refuse(peer, "its hello is malformed");
    std::array<int, NET_ARMY_COUNTS> counts;
    std::copy(placedCounts.begin(), placedCounts.end(), counts.begin());
    std::string why = helloMismatch(said, mapDigest(mapRows, mapCols, terrainInPlay()), counts);
    const int side = why.empty() ? seatFor(said, why) : 0;
    if (!side) return refuse(peer, why);
    seat(peer, side);
}

// The side may command now: its turn, its hero choice, or, after a victory, either.
bool sideMayCommand(int side) { return battleWon() || activeSide() == side; }

// A command as the host's dispatcher takes a person's. Insert and Home are
// let go at once: the joiner's own dispatcher has kept a held key from
// repeating. Any other character key than the battle's comes only to put the
// victory banner away, which a key that does nothing else does here.
void command(Peer& peer, const std::string& message) {
    Command given{CMD_KEY};
    if (!readCommand(message, given)) return refuse(peer, "it sent a malformed command");
    Seat& own = seats[peer.side];
    own.commandsTaken++;
    if (!sideMayCommand(peer.side)) return;
    if (given.kind == CMD_KEY && !isBattleKey(static_cast<unsigned char>(given.code))) given.code = 'n';
    given.source = FROM_PERSON;
    dispatch(given);
    if (given.kind == CMD_SPECIAL && (given.code == KEY_INSERT || given.code == KEY_HOME))
        dispatch({CMD_SPECIAL_UP, given.code});
}

void receive(Peer& peer, const ENetPacket* packet) {
    if (peer.leaving) return;
    // Counted by the battle's clock, which the server runs at its own pace.
    if (battleTick - peer.secondStart >= TICKS_PER_SECOND || battleTick < peer.secondStart) {
        peer.secondStart = battleTick;
        peer.messages = 0;
    }
    if (++peer.messages > NET_MOST_MESSAGES_PER_SECOND)
        return refuse(peer, "it sent more than " + std::to_string(NET_MOST_MESSAGES_PER_SECOND) + " messages in a second");
    if (packet->dataLength > NET_MOST_JOINER_BYTES)
        return refuse(peer, "it sent a message of " + std::to_string(packet->dataLength) + " bytes, more than " +
                                std::to_string(NET_MOST_JOINER_BYTES));
    const std::string message(reinterpret_cast<const char*>(packet->data), packet->dataLength);
    if (!peer.side) return hello(peer, message);
    if (message.size() == 1 && message[0] == MSG_READY) {
        peer.ready = true;
        return;
    }
    command(peer, message);
}

Peer* freePeer() {
    for (Peer& peer : peers)
        if (!peer.peer) return &peer;
    return nullptr;
}

void gone(Peer& peer) {
    const int side = peer.side;
    if (side && seats[side].joiner == &peer) {
        seats[side].joiner = nullptr;
        if (seats[side].key) hostLeft = true;
        else std::printf("Player %d left: waiting for them to join again.\n", side);
    }
    peer = Peer();
}

// Silent joiners are told once and dropped; refused ones let go.
void dropTheSilent() {
    const uint32_t now = host->serviceTime;
    for (Peer& peer : peers) {
        if (!peer.peer) continue;
        if (peer.leaving) {
            if (ENET_TIME_DIFFERENCE(now, peer.since) > LEAVING_MS) {
                enet_peer_reset(peer.peer);
                gone(peer);
            }
            continue;
        }
        if (!peer.side && ENET_TIME_DIFFERENCE(now, peer.since) > HELLO_MS) {
            refuse(peer, "it said no hello");
            continue;
        }
        const uint32_t silent = ENET_TIME_DIFFERENCE(now, peer.peer->lastReceiveTime);
        if (peer.ready && silent > settings.silenceSeconds * 1000) {
            char line[96];
            std::snprintf(line, sizeof line, "Player %d was silent for %g s and was dropped.", peer.side,
                          settings.silenceSeconds);
            std::printf("%s\n", line);
            letGo(peer, MSG_BYE, line);
        }
    }
}

int waitingBits() {
    int bits = 0;
    for (int side = 1; side <= 2; side++)
        if (playerSeat(side) && !seats[side].joiner) bits |= 1 << (side - 1);
    return bits;
}

}  // namespace

bool startServer(const ServerSettings& given, std::string& problem) {
    settings = given;
    if (enet_initialize() != 0) {
        problem = "the network could not be set up";
        return false;
    }
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    if (settings.loopbackOnly) enet_address_set_host_ip(&address, "127.0.0.1");
    address.port = static_cast<enet_uint16>(settings.port);
    host = enet_host_create(&address, MOST_PEERS, 1, 0, 0);
    if (!host) {
        problem = "port " + std::to_string(settings.port) + " cannot be bound (is another game serving on it?)";
        return false;
    }
    // ENet itself refuses larger packets before they are put together.
    host->maximumPacketSize = 64 * 1024;
    host->maximumWaitingData = 256 * 1024;
    for (int side = 1; side <= 2; side++) {
        seats[side] = Seat();
        seats[side].open = settings.seatOpen[side] && !settings.seatKey[side];
        seats[side].key = settings.seatKey[side];
    }
    for (Peer& peer : peers) peer = Peer();
    hostLeft = false;
    heard.clear();
    return true;
}

int serverPort() { return host ? host->address.port : 0; }

void serviceServer(int milliseconds) {
    ENetEvent event;
    for (int result = enet_host_service(host, &event, static_cast<enet_uint32>(milliseconds)); result > 0;
         result = enet_host_check_events(host, &event)) {
        Peer* peer = static_cast<Peer*>(event.peer->data);
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                peer = freePeer();
                if (!peer) {
                    enet_peer_reset(event.peer);
                    break;
                }
                *peer = Peer();
                peer->peer = event.peer;
                peer->since = host->serviceTime;
                peer->secondStart = battleTick;
                event.peer->data = peer;
                // Setting up a window takes a while with no word from it; ENet's own
                // patience covers that, and the silence of a ready joiner is ours to judge.
                enet_peer_timeout(event.peer, 32, 60000, 90000);
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (peer) receive(*peer, event.packet);
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (peer) gone(*peer);
                event.peer->data = nullptr;
                break;
            default: break;
        }
    }
    dropTheSilent();
    enet_host_flush(host);
}

void sendViews() {
    heard.insert(heard.end(), pendingCues.begin(), pendingCues.end());
    pendingCues.clear();
    for (int side = 1; side <= 2; side++) {
        Seat& s = seats[side];
        if (!s.joiner) continue;
        BattleView view = captureView(side);
        view.waitingFor = waitingBits() & ~(1 << (side - 1));
        view.commandsTaken = s.commandsTaken;
        ViewParts parts = viewParts(view);
        const std::string message = viewMessage(s.sent, parts, cuesHeardBy(side, heard));
        if (!message.empty()) send(*s.joiner, message);
        s.sent = std::move(parts);
    }
    heard.clear();
    enet_host_flush(host);
}

bool hostWindowLeft() { return hostLeft; }

void stopServer(const std::string& line) {
    if (!host) return;
    for (Peer& peer : peers)
        if (peer.peer && !peer.leaving) letGo(peer, MSG_BYE, line);
    // A moment for the goodbyes to go out and be heard.
    const enet_uint32 until = enet_time_get() + 500;
    ENetEvent event;
    while (enet_time_get() < until && enet_host_service(host, &event, 50) >= 0)
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
    enet_host_destroy(host);
    host = nullptr;
}

void forgetServer() {
    if (!host) return;
    enet_socket_destroy(host->socket);
    host = nullptr;
}
