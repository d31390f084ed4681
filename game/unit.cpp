// game/unit.cpp — the class constructors, their statistics, and the army lists
#include "game/unit.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Starting statistics; hp and mp also give the ceilings maxHp and maxMp.
const ClassStats classStats[] = {
    //  class          hp   mp  move range  accuracy defence factor evasion power  sight
    { CLASS_ARCHER,    80,  20,  5,   3,    0.85f,   0.24f,  1.0f,  15.0f,  25.0f,  7 },
    { CLASS_FIGHTER,  100,   0,  5,   1,    0.95f,   0.3f,   1.0f,   6.0f,  30.0f,  4 },
    { CLASS_FLIER,    100,   0,  7,   1,    1.0f,    0.1f,   1.0f,  25.0f,  23.0f, 10 },
    { CLASS_HEALER,    55, 100,  7,   2,    0.95f,   0.3f,   1.0f,  20.0f,  15.0f,  9 },
    { CLASS_MAGE,      65,  50,  6,   3,    0.95f,   0.27f,  0.85f, 18.0f,  20.0f,  6 },
};

void becomeClass(Unit& unit, UnitClassId unitClass, float x, float y, float z, int player) {
    unit = startingUnit(unitClass);
    unit.position = Vector(x, y, z);
    unit.player = player;
    unit.id = nextUnitId++;
}

}  // namespace

const ClassStats& statsOf(int unitClass) { return classStats[unitClass - 1]; }

Unit startingUnit(int unitClass) {
    const ClassStats& stats = statsOf(unitClass);
    Unit unit;
    unit.unitClass = stats.unitClass;
    unit.hp = unit.maxHp = stats.hp;
    unit.mp = unit.maxMp = stats.mp;
    unit.movePoints = stats.movePoints;
    unit.attackRange = stats.attackRange;
    unit.accuracy = stats.accuracy;
    unit.defence = stats.defence;
    unit.attackFactor = stats.attackFactor;
    unit.evasion = stats.evasion;
    unit.attackPower = stats.attackPower;
    unit.sight = stats.sight;
    // A new unit counts as defending and able to act, whoever owns it.
    unit.defending = true;
    unit.canAct = true;
    unit.dead = false;
    unit.hero = false;
    unit.menuOpen = false;
    unit.visible = false;
    return unit;
}

int nextUnitId = 0;

std::vector<Unit*> allUnits;
std::vector<Archer*>  p1Archers, p2Archers;
std::vector<Fighter*> p1Fighters, p2Fighters;
std::vector<Flier*>   p1Fliers, p2Fliers;
std::vector<Healer*>  p1Healers, p2Healers;
std::vector<Mage*>    p1Mages, p2Mages;

#if defined(__SANITIZE_ADDRESS__)
namespace {
// Units live as long as the process and are never freed, but at exit the
// lists above are destroyed before the leak checker looks, and it would then
// report every unit. Defined after the lists, this is destroyed before them:
// the check runs while they still hold the armies.
struct LeakCheckWhileListsStand {
    ~LeakCheckWhileListsStand() { __lsan_do_leak_check(); }
} leakCheckWhileListsStand;
}  // namespace
#endif

// Start-up points both at its placeholders before anything reads them.
Unit* selectedUnit = nullptr;
Unit* targetUnit = nullptr;

// No virtual destructor: each unit is deleted as the class it was built as.
void releaseUnit(Unit* unit) {
    switch (unit->unitClass) {
        case CLASS_ARCHER: delete static_cast<Archer*>(unit); break;
        case CLASS_FIGHTER: delete static_cast<Fighter*>(unit); break;
        case CLASS_FLIER: delete static_cast<Flier*>(unit); break;
        case CLASS_HEALER: delete static_cast<Healer*>(unit); break;
        default: delete static_cast<Mage*>(unit); break;
    }
}

void disbandArmies() {
    for (Unit* unit : allUnits) releaseUnit(unit);
    allUnits.clear();
    p1Archers.clear();
    p2Archers.clear();
    p1Fighters.clear();
    p2Fighters.clear();
    p1Fliers.clear();
    p2Fliers.clear();
    p1Healers.clear();
    p2Healers.clear();
    p1Mages.clear();
    p2Mages.clear();
    nextUnitId = 0;
}

Archer::Archer(float x, float y, float z, int player) { becomeClass(*this, CLASS_ARCHER, x, y, z, player); }
Fighter::Fighter(float x, float y, float z, int player) { becomeClass(*this, CLASS_FIGHTER, x, y, z, player); }
Flier::Flier(float x, float y, float z, int player) { becomeClass(*this, CLASS_FLIER, x, y, z, player); }
Healer::Healer(float x, float y, float z, int player) { becomeClass(*this, CLASS_HEALER, x, y, z, player); }
Mage::Mage(float x, float y, float z, int player) { becomeClass(*this, CLASS_MAGE, x, y, z, player); }
