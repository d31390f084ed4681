// fuzz/net_fuzz.cpp — any bytes as the messages of a networked battle: what a host reads from a
// joiner (a hello, a command) and what a joiner reads from a host (a welcome, a line, the views
// one after another), never a crash; a view taken is on the map and is sent again as the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/net_protocol.h"
#include "app/net_view.h"
#include "rules/window_link.h"

// Nothing here draws: the rules' requests to the window go nowhere.
void requestRedisplay() {}
void reapplyProjection() {}
void setLighting(bool) {}
void applyMaterial(const MaterialPreset&) {}

namespace {

void require(bool holds) {
    if (!holds) abort();
}

}  // namespace

// The input is a run of messages, each two bytes of length and then its
// bytes: each is read by every reader, and the views in turn, as a joiner
// takes them on a 9 × 8 map.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ViewParts parts;
    BattleView view;
    std::vector<CueEvent> cues;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t length = data[at] | data[at + 1] << 8;
        at += 2;
        const std::string message(reinterpret_cast<const char*>(data + at), std::min(length, size - at));
        at += message.size();
        Hello hello;
        Welcome welcome;
        Command command{CMD_KEY};
        std::string line;
        if (readHello(message, hello) && hello.version == NET_PROTOCOL_VERSION) require(helloMessage(hello) == message);
        if (readWelcome(message, welcome)) require(welcomeMessage(welcome) == message);
        if (readLine(message, MSG_REFUSED, line)) require(lineMessage(MSG_REFUSED, line) == message);
        if (readCommand(message, command)) require(command.row < 50 && command.col < 50);
        if (takeViewMessage(message, 9, 8, parts, view, cues)) {
            for (const UnitView& unit : view.units) require(unit.row < 9 && unit.col < 8);
            require(view.cursorRow < 9 && view.cursorCol < 8);
            const ViewParts again = viewParts(view);
            require(again.phase == parts.phase && again.cursor == parts.cursor && again.blow == parts.blow &&
                    again.told == parts.told && again.units == parts.units);
        }
        cues.clear();
    }
    return 0;
}
