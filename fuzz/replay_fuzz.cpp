// fuzz/replay_fuzz.cpp — any bytes as a replay file: what the reader accepts is
// exactly what the recorder would write for the battle it read (up to where
// the file is cut short, when it is), and leaves the map in play untouched.
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
    if (replay.cut) {
        // What follows the last command kept: a line without its break, after
        // at most an Enter whose seed never came.
        require(bytes.compare(0, text.size(), text) == 0);
        const std::string rest = bytes.substr(text.size());
        const size_t lineBreak = rest.find('\n');
        if (lineBreak != std::string::npos) {
            const std::string enter = " person key 13\n", line = rest.substr(0, lineBreak + 1);
            require(rest.find('\n', lineBreak + 1) == std::string::npos);
            require(line.size() > enter.size() && line.compare(line.size() - enter.size(), enter.size(), enter) == 0);
        }
        require(replay.endTick == (replay.entries.empty() ? 0 : replay.entries.back().tick));
        return 0;
    }
    char end[64];
    std::snprintf(end, sizeof end, "end %lld %08x\n", static_cast<long long>(replay.endTick), fnv1a(text, FNV_START));
    require(text + end == bytes);
    return 0;
}
