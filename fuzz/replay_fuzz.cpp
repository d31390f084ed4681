// fuzz/replay_fuzz.cpp — any bytes as a replay file: what the reader accepts is
// exactly what the recorder would write for the battle it read, and leaves the
// map in play untouched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/replay_file.h"
#include "game/battle_map.h"

namespace {

void require(bool holds) {
    if (!holds) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    Replay replay;
    const int rows = mapRows, cols = mapCols;
    const std::string problem = readReplay(in, replay);
    require(mapRows == rows && mapCols == cols);
    if (!problem.empty()) {
        require(problem.compare(0, 5, "line ") == 0 && problem.find('\n') == std::string::npos);
        return 0;
    }
    std::string text = replayHeader(replay);
    for (const ReplayEntry& entry : replay.entries) text += replayLine(entry) + "\n";
    char end[64];
    std::snprintf(end, sizeof end, "end %ld %08x\n", replay.endTick, fnv1a(text, FNV_START));
    require(text + end == bytes);
    return 0;
}
