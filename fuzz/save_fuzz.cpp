// fuzz/save_fuzz.cpp — any bytes as kestrava-save.txt: what the reader accepts
// keeps every unit on the map, goes into the game and comes out as the same
// battle, and is written as text that reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "game/unit.h"
#include "rules/window_link.h"
#include "save/battle_save.h"

// Nothing here draws: the rules' requests to the window go nowhere.
void requestRedisplay() {}
void reapplyProjection() {}
void setLighting(bool) {}
void applyMaterial(const MaterialPreset&) {}

namespace {

void require(bool holds) {
    if (!holds) abort();
}

std::string written(const SavedBattle& battle) {
    std::ostringstream text;
    writeSave(battle, text);
    return text.str();
}

template <class T> void release(std::vector<T*>& list) {
    for (T* unit : list) delete unit;
    list.clear();
}

// The next input starts from a game without units, as resuming does.
void releaseUnits() {
    release(p1Archers), release(p2Archers), release(p1Fighters), release(p2Fighters), release(p1Fliers);
    release(p2Fliers), release(p1Healers), release(p2Healers), release(p1Mages), release(p2Mages);
    allUnits.clear();
    nextUnitId = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    SavedBattle battle;
    if (!readSave(in, battle).empty()) return 0;
    for (const Unit& unit : battle.units)
        require(unit.row >= 0 && unit.row < battle.rows && unit.col >= 0 && unit.col < battle.cols);

    const std::string text = written(battle);
    restoreBattle(battle);
    require(written(captureBattle()) == text);
    releaseUnits();

    SavedBattle again;
    std::istringstream back(text);
    require(readSave(back, again).empty() && written(again) == text);
    return 0;
}
