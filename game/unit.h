// game/unit.h — the unit record, the five classes and the army lists
#pragma once
#include <vector>
#include "game/vector.h"

enum UnitClassId { CLASS_ARCHER = 1, CLASS_FIGHTER = 2, CLASS_FLIER = 3, CLASS_HEALER = 4, CLASS_MAGE = 5 };

// The base record holds everything the rules need; the classes only add
// animation state. There is no virtual dispatch: code switches on unitClass
// or walks the per-class lists.
struct Unit {
    int    hp = 0, maxHp = 0;
    int    mp = 0, maxMp = 0;
    Vector position;
    int    row = 0, col = 0;
    int    movePoints = 0;
    int    attackRange = 0;
    float  accuracy = 0;       // fraction of 1
    float  defence = 0;        // damage taken is reduced by defence × hp × 0.25
    float  attackFactor = 0;
    float  evasion = 0;        // added to the attacker's miss range
    float  attackPower = 0;
    bool   defending = false;
    bool   canAct = false;
    float  facing = 0;         // degrees about the vertical axis
    bool   dead = false;
    int    unitClass = 0;
    bool   hero = false;
    bool   menuOpen = false;
    int    player = 0;         // 1 or 2
    int    sight = 0;
    int    id = 0;             // the occupant value of the unit's square
    bool   visible = false;
};

// Each class: construction takes the position and the owning player;
// animate() advances the idle animation once (rules), draw() draws the
// model at the origin (render).
struct Archer : Unit {
    float swingAngle = 0, swingStep = 0, flexAngle = 0, flexStep = 0.05f;
    Archer(float x, float y, float z, int player);
    void animate();
    void draw();
};

struct Fighter : Unit {
    float crownSpin = 0, spikeSpin = 0;
    Fighter(float x, float y, float z, int player);
    void animate();
    void draw();
};

struct Flier : Unit {
    float ringSpin = 0, tailAngle = 0, tailStep = 0.5f, wingAngle = 0, wingStep = 1.0f,
          hoverHeight = 0, hoverStep = 0.005f;
    Flier(float x, float y, float z, int player);
    void animate();
    void draw();
};

struct Healer : Unit {
    float spinLarge = 0, spinSmall = 0, spinMiddle = 0;
    Healer(float x, float y, float z, int player);
    void animate();
    void draw();
};

struct Mage : Unit {
    float spin = 0, spinStep = 0.5f;
    Mage(float x, float y, float z, int player);
    void animate();
    void draw();
};

// A class's starting statistics; hp and mp are also its ceilings maxHp and maxMp.
struct ClassStats {
    int   unitClass;
    int   hp, mp, movePoints, attackRange;
    float accuracy, defence, attackFactor, evasion, attackPower;
    int   sight;
};
const ClassStats& statsOf(int unitClass);   // 1 Archer … 5 Mage
// A unit of the class as built: its statistics and the flags of a new unit,
// with no owner, id or place; the class constructors start from it.
Unit startingUnit(int unitClass);

extern int nextUnitId;                  // id of the next unit built; ids follow creation order

extern std::vector<Unit*> allUnits;     // both armies, in creation order; the fallen stay until disbandArmies
extern std::vector<Archer*>  p1Archers, p2Archers;
extern std::vector<Fighter*> p1Fighters, p2Fighters;
extern std::vector<Flier*>   p1Fliers, p2Fliers;
extern std::vector<Healer*>  p1Healers, p2Healers;
extern std::vector<Mage*>    p1Mages, p2Mages;

void releaseUnit(Unit* unit);   // frees the unit as the class it was built as

// Frees every unit and empties allUnits and the class lists; ids start again
// from 0. selectedUnit and targetUnit are left for the caller to point elsewhere.
void disbandArmies();

extern Unit* selectedUnit;   // under the cursor or acting; a placeholder until the first selection
extern Unit* targetUnit;     // being attacked or healed; a placeholder until the first attack
