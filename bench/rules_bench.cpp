// bench/rules_bench.cpp — the rules' per-frame update, idleUpdate, on a full 50 × 50 battle
//
// 150 units a side, placed by start-up's placement on a map tiled from the
// default one. The window seam is the tests' recording fake, so no display is
// needed. Run from the run folder (it reads WorldDesc.txt for the terrain).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/battle_setup.h"
#include "game/unit.h"
#include "rules/game_state.h"
#include "rules/movement.h"

namespace {

constexpr unsigned BATTLE_SEED = 7;
constexpr int EACH_CLASS_PER_SIDE = 30;   // 150 a side, 300 in all

std::vector<int> classSight;   // each unit's sight as its class gave it

void setUpFullBattle() {
    if (!allUnits.empty()) return;
    bench::SilencedOutput silenced;
    const std::string defaultMap = bench::readTextFile("WorldDesc.txt");
    bench::setUpBattle(bench::tiledMapText(bench::terrainRows(defaultMap), 50, 50), EACH_CLASS_PER_SIDE, BATTLE_SEED);
    for (const Unit* unit : allUnits) classSight.push_back(unit->sight);
}

int visibleUnits() {
    int visible = 0;
    for (const Unit* unit : allUnits) visible += unit->visible;
    return visible;
}

// Every unit sees the whole board: all 300 are visible and animated each update.
void BM_IdleUpdateAllVisible(benchmark::State& state) {
    setUpFullBattle();
    bench::seeWholeBoard();
    for (auto _ : state) idleUpdate();
    const int visible = visibleUnits();
    if (visible != static_cast<int>(allUnits.size())) state.SkipWithError("the fog of war hid some units");
    state.counters["units"] = static_cast<double>(allUnits.size());
    state.counters["visible"] = visible;
}
BENCHMARK(BM_IdleUpdateAllVisible)->Unit(benchmark::kMicrosecond);

// The classes' own sight: the two armies stand 44 rows apart and see none of
// each other, so only the current player's 150 are animated.
void BM_IdleUpdateClassSight(benchmark::State& state) {
    setUpFullBattle();
    for (size_t i = 0; i < allUnits.size(); i++) allUnits[i]->sight = classSight[i];
    for (auto _ : state) idleUpdate();
    const int visible = visibleUnits();
    if (visible != static_cast<int>(allUnits.size()) / 2) state.SkipWithError("expected only one army in sight");
    state.counters["units"] = static_cast<double>(allUnits.size());
    state.counters["visible"] = visible;
}
BENCHMARK(BM_IdleUpdateClassSight)->Unit(benchmark::kMicrosecond);

// The sight pass alone: every unit of one side against every unit of the other.
void BM_UpdateVisibility(benchmark::State& state) {
    setUpFullBattle();
    for (auto _ : state) updateVisibility(1);
    state.counters["units"] = static_cast<double>(allUnits.size());
}
BENCHMARK(BM_UpdateVisibility)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
