// app/net_client.cpp — the joining side over ENet: hello, commands out, views in
#include "app/net_client.h"

#include <enet/enet.h>
#include <enet/time.h>

#include <unistd.h>

#include "game/battle_map.h"
#include "game/looks.h"

BattleView joinedView;
std::vector<CueEvent> joinedCues;
Welcome joinedWelcome;
int commandsSent = 0;
void (*joinerReceived)(const std::string& message) = nullptr;

namespace {

ENetHost* client = nullptr;
ENetPeer* server = nullptr;
ViewParts joinedParts;
std::string where;     // host:port, for the lines
std::string said;      // the hello, sent once the host answers
bool welcomed = false;

std::string messageOf(const ENetPacket* packet) {
    return std::string(reinterpret_cast<const char*>(packet->data), packet->dataLength);
}

// A line from the host, else what became of the link.
bool heardLine(const std::string& message, std::string& line) {
    if (readLine(message, MSG_REFUSED, line) || readLine(message, MSG_BYE, line)) return true;
    return false;
}

void closeClient() {
    if (client) enet_host_destroy(client);
    client = nullptr;
    server = nullptr;
}

}  // namespace

JoinState startJoin(const std::string& hostName, int port, const Hello& hello, std::string& line) {
    where = hostName + ":" + std::to_string(port);
    said = helloMessage(hello);
    closeClient();
    ENetAddress address;
    if (enet_initialize() != 0 || enet_address_set_host(&address, hostName.c_str()) != 0) {
        line = "Cannot join " + where + ": no such host.";
        return JOIN_OVER;
    }
    address.port = static_cast<enet_uint16>(port);
    client = enet_host_create(nullptr, 1, 1, 0, 0);
    if (client) server = enet_host_connect(client, &address, 1, 0);
    if (!server) {
        closeClient();
        line = "Cannot join " + where + ": the network could not be set up.";
        return JOIN_OVER;
    }
    client->maximumPacketSize = 4 << 20;
    enet_peer_timeout(server, 32, 5000, 10000);
    welcomed = false;
    joinedParts = ViewParts();
    joinedView = BattleView();
    joinedCues.clear();
    commandsSent = 0;
    return JOIN_ASKING;
}

JoinState serviceJoin(std::string& line) {
    if (!client) {
        line = "Not in a game.";
        return JOIN_OVER;
    }
    ENetEvent event;
    for (int result = enet_host_service(client, &event, 0); result > 0; result = enet_host_check_events(client, &event)) {
        if (event.type == ENET_EVENT_TYPE_CONNECT) {
            enet_peer_send(server, 0, enet_packet_create(said.data(), said.size(), ENET_PACKET_FLAG_RELIABLE));
            continue;
        }
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            closeClient();
            line = welcomed ? "Lost the connection to the host." : "Cannot join " + where + ": no game answered there.";
            return JOIN_OVER;
        }
        if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
        const std::string message = messageOf(event.packet);
        enet_packet_destroy(event.packet);
        if (joinerReceived) joinerReceived(message);
        if (!welcomed && readWelcome(message, joinedWelcome)) {
            welcomed = true;
            continue;
        }
        if (welcomed &&
            takeViewMessage(message, joinedWelcome.rows, joinedWelcome.cols, joinedParts, joinedView, joinedCues))
            continue;
        if (!heardLine(message, line))
            line = welcomed ? "The host sent what is no view of this battle: leaving it."
                            : "Cannot join " + where + ": it answered with no welcome.";
        enet_peer_disconnect_now(server, 0);
        closeClient();
        return JOIN_OVER;
    }
    enet_host_flush(client);
    return welcomed ? JOIN_IN : JOIN_ASKING;
}

bool joinGame(const std::string& hostName, int port, const Hello& hello, float seconds, std::string& line) {
    JoinState state = startJoin(hostName, port, hello, line);
    const enet_uint32 until = enet_time_get() + static_cast<enet_uint32>(seconds * 1000);
    while (state == JOIN_ASKING && ENET_TIME_LESS(enet_time_get(), until)) {
        state = serviceJoin(line);
        if (state == JOIN_ASKING) usleep(10000);
    }
    if (state == JOIN_ASKING) {
        closeClient();
        line = "Cannot join " + where + ": no game answered there.";
    }
    return state == JOIN_IN;
}

void sendCommand(const Command& command) {
    if (!server) return;
    const std::string message = commandMessage(command);
    enet_peer_send(server, 0, enet_packet_create(message.data(), message.size(), ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(client);
    commandsSent++;
}

void sendReady() {
    if (!server) return;
    const char ready = MSG_READY;
    enet_peer_send(server, 0, enet_packet_create(&ready, 1, ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(client);
}

void leaveGame() {
    if (!server) return;
    enet_peer_disconnect(server, 0);
    const enet_uint32 until = enet_time_get() + 300;
    ENetEvent event;
    while (ENET_TIME_LESS(enet_time_get(), until) && enet_host_service(client, &event, 20) >= 0) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) break;
    }
    closeClient();
}

void takeUpJoinedMap() {
    const Welcome& w = joinedWelcome;
    mapRows = w.rows;
    mapCols = w.cols;
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            MapCell& cell = battleMap[r][c];
            cell = MapCell(w.terrain[r][c] - '0', c, 0, r + 1, -1);
            cell.centre = Vector(cell.corner.x + 0.5f, 0, cell.corner.z + 0.5f);
        }
    skyChoice = w.sky;
}
