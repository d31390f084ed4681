// app/net_protocol.cpp — the messages' bytes, read strictly, and the handshake's checks
#include "app/net_protocol.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "game/battle_map.h"
#include "rules/cursor.h"

namespace {

constexpr uint32_t HELLO_MAGIC = 0x5654534b;   // "KSTV"

bool allowedSpecial(int key) {
    switch (key) {
        case KEY_F1: case KEY_F2: case KEY_LEFT: case KEY_UP: case KEY_RIGHT: case KEY_DOWN: case KEY_HOME:
        case KEY_INSERT: return true;
        default: return false;
    }
}

}  // namespace

void ByteWriter::u8(unsigned value) { bytes += static_cast<char>(value & 0xff); }
void ByteWriter::u16(unsigned value) {
    u8(value);
    u8(value >> 8);
}
void ByteWriter::i16(int value) { u16(static_cast<unsigned>(value) & 0xffff); }
void ByteWriter::u32(uint32_t value) {
    u16(value & 0xffff);
    u16(value >> 16);
}
void ByteWriter::f32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    u32(bits);
}
void ByteWriter::text(const std::string& value) {
    u16(static_cast<unsigned>(value.size()));
    bytes += value;
}

ByteReader::ByteReader(const void* data, size_t size) : data(static_cast<const uint8_t*>(data)), size(size) {}

unsigned ByteReader::u8() {
    if (!good || at >= size) {
        good = false;
        return 0;
    }
    return data[at++];
}
unsigned ByteReader::u16() {
    const unsigned low = u8();
    return low | u8() << 8;
}
int ByteReader::i16() { return static_cast<int16_t>(u16()); }
uint32_t ByteReader::u32() {
    const uint32_t low = u16();
    return low | static_cast<uint32_t>(u16()) << 16;
}
float ByteReader::f32() {
    const uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) good = false;
    return good ? value : 0;
}
std::string ByteReader::text(size_t most) {
    const size_t length = u16();
    if (!good || length > most || length > size - at) {
        good = false;
        return "";
    }
    std::string value(reinterpret_cast<const char*>(data + at), length);
    at += length;
    return value;
}
int ByteReader::whole(int lo, int hi, bool wide) {
    const int value = wide ? i16() : static_cast<int>(u8());
    if (value < lo || value > hi) good = false;
    return good ? value : 0;
}
bool ByteReader::flag() { return whole(0, 1, false) == 1; }

std::string helloMessage(const Hello& hello) {
    ByteWriter out;
    out.u8(MSG_HELLO);
    out.u32(HELLO_MAGIC);
    out.u16(static_cast<unsigned>(hello.version));
    out.u8(static_cast<unsigned>(hello.side));
    out.u32(hello.seatKey);
    out.u8(hello.armiesGiven);
    for (int count : hello.counts) out.u16(static_cast<unsigned>(count));
    out.u32(hello.mapDigest);
    return out.bytes;
}

// A hello of another version is read as far as its version, so that the
// refusal can name it; the rest must be this version's.
bool readHello(const std::string& message, Hello& hello) {
    ByteReader in(message.data(), message.size());
    if (in.u8() != MSG_HELLO || in.u32() != HELLO_MAGIC) return false;
    hello = Hello();
    hello.version = static_cast<int>(in.u16());
    if (!in.ok()) return false;
    if (hello.version != NET_PROTOCOL_VERSION) return true;
    hello.side = in.whole(0, 2, false);
    hello.seatKey = in.u32();
    hello.armiesGiven = in.flag();
    for (int& count : hello.counts) count = in.whole(0, 3 * MAP_LIMIT);
    hello.mapDigest = in.u32();
    return in.finished();
}

std::string welcomeMessage(const Welcome& welcome) {
    ByteWriter out;
    out.u8(MSG_WELCOME);
    out.u8(static_cast<unsigned>(welcome.side));
    out.u8(static_cast<unsigned>(welcome.rows));
    out.u8(static_cast<unsigned>(welcome.cols));
    for (const std::string& row : welcome.terrain)
        for (char digit : row) out.u8(static_cast<unsigned>(digit - '0'));
    for (int count : welcome.counts) out.u16(static_cast<unsigned>(count));
    out.u8(static_cast<unsigned>(welcome.sky));
    out.u8(welcome.computer[1] | welcome.computer[2] << 1);
    return out.bytes;
}

bool readWelcome(const std::string& message, Welcome& welcome) {
    ByteReader in(message.data(), message.size());
    if (in.u8() != MSG_WELCOME) return false;
    welcome = Welcome();
    welcome.side = in.whole(1, 2, false);
    welcome.rows = in.whole(7, MAP_LIMIT, false);
    welcome.cols = in.whole(2, MAP_LIMIT, false);
    for (int r = 0; in.ok() && r < welcome.rows; r++) {
        std::string row;
        for (int c = 0; c < welcome.cols; c++) row += static_cast<char>('0' + in.whole(0, 9, false));
        welcome.terrain.push_back(row);
    }
    for (int& count : welcome.counts) count = in.whole(0, 3 * MAP_LIMIT);
    welcome.sky = in.whole(0, 5, false);
    const int computer = in.whole(0, 3, false);
    welcome.computer[1] = computer & 1;
    welcome.computer[2] = computer & 2;
    return in.finished();
}

std::string lineMessage(MessageKind kind, const std::string& line) {
    ByteWriter out;
    out.u8(kind);
    out.text(line);
    return out.bytes;
}

bool readLine(const std::string& message, MessageKind kind, std::string& line) {
    ByteReader in(message.data(), message.size());
    if (in.u8() != kind) return false;
    line = in.text(NET_MOST_JOINER_BYTES);
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) return false;
    return in.finished();
}

std::string commandMessage(const Command& command) {
    ByteWriter out;
    out.u8(MSG_COMMAND);
    out.u8(command.kind);
    out.i16(command.code);
    out.i16(command.row);
    out.i16(command.col);
    return out.bytes;
}

bool readCommand(const std::string& message, Command& command) {
    ByteReader in(message.data(), message.size());
    if (in.u8() != MSG_COMMAND) return false;
    const int kind = in.whole(CMD_KEY, CMD_CAMERA_MODE, false);
    command = Command{static_cast<CommandKind>(kind)};
    command.code = in.i16();
    command.row = in.whole(-1, MAP_LIMIT - 1);
    command.col = in.whole(-1, MAP_LIMIT - 1);
    if (!in.finished()) return false;
    switch (command.kind) {
        case CMD_KEY: return command.code >= 0 && command.code <= 255;
        case CMD_SPECIAL: return allowedSpecial(command.code);
        case CMD_CLICK: return (command.row < 0) == (command.col < 0);
        case CMD_CLICK_ENTRY: return command.code >= 1 && command.code <= 4;
        case CMD_BACK: return true;
        default: return false;
    }
}

std::vector<std::string> terrainInPlay() {
    std::vector<std::string> terrain;
    for (int r = 0; r < mapRows; r++) {
        std::string row;
        for (int c = 0; c < mapCols; c++) row += static_cast<char>('0' + battleMap[r][c].terrain);
        terrain.push_back(row);
    }
    return terrain;
}

uint32_t mapDigest(int rows, int cols, const std::vector<std::string>& terrain) {
    uint32_t hash = 2166136261u;
    auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 16777619u; };
    mix(static_cast<unsigned char>(rows));
    mix(static_cast<unsigned char>(cols));
    for (const std::string& row : terrain)
        for (char c : row) mix(static_cast<unsigned char>(c));
    return hash ? hash : 1;   // 0 stands for any map
}

std::string helloMismatch(const Hello& hello, uint32_t digest, const std::array<int, NET_ARMY_COUNTS>& counts) {
    if (hello.version != NET_PROTOCOL_VERSION)
        return "it speaks protocol version " + std::to_string(hello.version) + ", the host version " +
               std::to_string(NET_PROTOCOL_VERSION);
    if (hello.mapDigest && hello.mapDigest != digest) return "it expects another map than the host's";
    if (hello.armiesGiven && hello.counts != counts) {
        std::string armies;
        for (int count : counts) armies += (armies.empty() ? "" : " ") + std::to_string(count);
        return "it expects other armies than the host's (" + armies + ")";
    }
    return "";
}

bool splitAddress(const std::string& address, std::string& host, int& port) {
    const size_t colon = address.rfind(':');
    host = address.substr(0, colon);
    port = NET_DEFAULT_PORT;
    if (colon != std::string::npos) {
        const std::string digits = address.substr(colon + 1);
        char* end = nullptr;
        const long value = std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || *end || value < 1 || value > 65535) return false;
        port = static_cast<int>(value);
    }
    return !host.empty();
}
