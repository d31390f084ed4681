// app/net_protocol.h — what two machines say to each other: the messages, their bytes and limits,
// and the handshake's checks
//
// Every message is one ENet packet on one reliable, ordered channel; its
// first byte says what it is. Numbers are little-endian, floats IEEE 754
// single precision. A joiner says hello with the protocol version, the side it
// wants and, when its player gave them, the map and the armies it expects; the
// host answers with a welcome (the side, the map, the armies) or one refusing
// line. From then on the joiner sends the commands its player gives and the
// host sends views of the battle (app/net_view.h), until one says goodbye.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/input.h"

constexpr int NET_DEFAULT_PORT = 7531;    // UDP
constexpr int NET_PROTOCOL_VERSION = 1;
// Nothing a joiner has to say comes near this; anything longer is refused.
constexpr size_t NET_MOST_JOINER_BYTES = 4096;
// Messages a joiner may send in one second of the battle: a person's keys
// held down, clicks and all, stay far below it.
constexpr int NET_MOST_MESSAGES_PER_SECOND = 200;
constexpr int NET_ARMY_COUNTS = 10;

enum MessageKind : uint8_t {
    MSG_HELLO = 1,   // joiner → host
    MSG_WELCOME,     // host → joiner: the side taken, the map, the armies
    MSG_REFUSED,     // host → joiner: one line, then the host hangs up
    MSG_VIEW,        // host → joiner: what changed of the battle as the joiner's side sees it
    MSG_COMMAND,     // joiner → host: one command of its player
    MSG_BYE,         // host → joiner: one line, the game is over for it (the host quit, or it was silent)
    MSG_READY,       // joiner → host: its window has drawn a frame; from now on its silence counts
};

// Bytes out, little-endian.
struct ByteWriter {
    std::string bytes;
    void u8(unsigned value);
    void u16(unsigned value);
    void i16(int value);
    void u32(uint32_t value);
    void f32(float value);
    void text(const std::string& value);   // u16 length, then the bytes
};

// Bytes in: every read past the end, or of a value out of its range, leaves
// the reader failed and returns 0, so a message is read whole and checked once.
class ByteReader {
public:
    ByteReader(const void* data, size_t size);
    unsigned u8();
    unsigned u16();
    int      i16();
    uint32_t u32();
    float    f32();   // finite only
    std::string text(size_t most);
    int  whole(int lo, int hi, bool wide = true);   // an i16 (or a u8) in lo…hi
    bool flag();
    void fail() { good = false; }
    bool ok() const { return good; }
    bool finished() const { return good && at == size; }   // read whole, nothing left over

private:
    const uint8_t* data;
    size_t size, at = 0;
    bool good = true;
};

struct Hello {
    int version = NET_PROTOCOL_VERSION;
    int side = 0;                  // 1 or 2, or 0 for whichever is free
    uint32_t seatKey = 0;          // the host's own window: the key of the seat kept for it
    bool armiesGiven = false;
    std::array<int, NET_ARMY_COUNTS> counts{};
    uint32_t mapDigest = 0;        // of the map the joiner expects; 0 for any
};

struct Welcome {
    int side = 0;
    int rows = 0, cols = 0;
    std::vector<std::string> terrain;   // one string of digits per row
    std::array<int, NET_ARMY_COUNTS> counts{};
    int sky = 0;                        // the backdrop the battle began with
    bool computer[3] = {};              // the computer commands that side
};

std::string helloMessage(const Hello& hello);
std::string welcomeMessage(const Welcome& welcome);
std::string lineMessage(MessageKind kind, const std::string& line);   // MSG_REFUSED or MSG_BYE
std::string commandMessage(const Command& command);

// Each reads a whole message of its kind (first byte included): false for
// anything else, a byte short or over, or a value out of range.
bool readHello(const std::string& message, Hello& hello);
bool readWelcome(const std::string& message, Welcome& welcome);
bool readLine(const std::string& message, MessageKind kind, std::string& line);
// Only the commands a joiner sends: keys, special keys, clicks on a square
// of the map or a menu entry, and the right button.
bool readCommand(const std::string& message, Command& command);

// The map in play, one string of terrain digits per row.
std::vector<std::string> terrainInPlay();
// The digest a joiner names the map by: FNV-1a of its rows of terrain digits.
uint32_t mapDigest(int rows, int cols, const std::vector<std::string>& terrain);

// Why the host refuses this hello ("" when it may join), with the map and
// armies in play: the first of a protocol version, map or armies not the host's.
std::string helloMismatch(const Hello& hello, uint32_t digest, const std::array<int, NET_ARMY_COUNTS>& counts);

// "HOST[:PORT]" into its parts; false for an empty host or a port outside 1–65535.
bool splitAddress(const std::string& address, std::string& host, int& port);
