// ai/squad.cpp — the squad: an arena opponent that fights as a group, from the rules alone
#include "ai/squad.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/combat.h"
#include "rules/game_state.h"
#include "rules/movement.h"

namespace {

constexpr float HEAL_HERO_BELOW = 0.6f;   // shares of the unit's hit points
constexpr float HEAL_BELOW = 0.7f;
constexpr float RETREAT_BELOW = 0.35f;
constexpr int   WARNING = TURN_POINTS + 3;   // an enemy this far off may strike next turn

int gap(Place a, Place b) { return std::abs(a.row - b.row) + std::abs(a.col - b.col); }
Place at(const Unit& unit) { return {unit.row, unit.col}; }

// Where one unit can stand this turn, and the cheapest way to each square.
struct Moves {
    const Unit* unit;
    int cost[MAP_LIMIT][MAP_LIMIT];

    explicit Moves(const Unit& u) : unit(&u) { movementCosts(u, cost); }
    bool canStand(Place p) const {
        if (p.row == unit->row && p.col == unit->col) return true;
        int c = cost[p.row][p.col];
        return c != NO_PATH && c - stepCost(*unit, p.row, p.col) < unit->movePoints;
    }
    std::vector<Place> wayTo(Place to) const {
        std::vector<Place> way;
        const Place steps[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (bool stepped = true; stepped && (to.row != unit->row || to.col != unit->col);) {
            way.insert(way.begin(), to);
            stepped = false;
            for (Place s : steps) {
                Place back{to.row + s.row, to.col + s.col};
                if (back.row < 0 || back.row >= mapRows || back.col < 0 || back.col >= mapCols) continue;
                bool start = back.row == unit->row && back.col == unit->col;
                int before = cost[back.row][back.col];
                if ((start || battleMap[back.row][back.col].occupant == -1) && before != NO_PATH &&
                    before + stepCost(*unit, to.row, to.col) == cost[to.row][to.col]) {
                    to = back;
                    stepped = true;
                    break;
                }
            }
        }
        return way;
    }
    template <class F> void forEachStand(F f) const {
        for (int r = 0; r < mapRows; r++)
            for (int c = 0; c < mapCols; c++)
                if (canStand({r, c})) f(Place{r, c});
    }
};

struct Side {
    int player;
    std::vector<Unit*> able, own, foes;
    Unit* hero = nullptr;
    bool heroMustFight = true;     // nobody but Healers left beside it
    std::vector<std::unique_ptr<Moves>> moves;

    const Moves& movesOf(const Unit& unit) {
        for (const auto& m : moves)
            if (m->unit == &unit) return *m;
        moves.push_back(std::make_unique<Moves>(unit));
        return *moves.back();
    }
};

float hitShare(const Unit& attacker, const Unit& target, bool special) {
    float misses = missRange(attacker, target, special);
    int hits = 0;
    for (int roll = 0; roll <= 100; roll++) hits += roll >= misses;
    return hits / 101.0f;
}

float expected(const Unit& attacker, const Unit& target, bool special) {
    float damage = std::max(0.0f, hitDamage(attacker, target, special ? SPECIAL_EXTRA_MAX / 2 : 0));
    return hitShare(attacker, target, special) * damage * strikesPerHit(attacker);
}

bool specialAllowed(const Unit& unit) {
    return unit.mp >= 10 || unit.unitClass == CLASS_FIGHTER || unit.unitClass == CLASS_FLIER;
}

int foesNear(const Side& side, Place p, const Unit* except) {
    int near = 0;
    for (const Unit* foe : side.foes) near += foe != except && gap(at(*foe), p) <= WARNING;
    return near;
}

// The square from which the unit strikes the target with the fewest other
// enemies about it, the cheaper of two such.
bool strikeSquare(Side& side, const Unit& unit, const Unit& target, Place& best) {
    const Moves& m = side.movesOf(unit);
    int bestNear = INT_MAX, bestCost = INT_MAX;
    m.forEachStand([&](Place p) {
        int d = gap(p, at(target));
        if (d < 1 || d > unit.attackRange) return;
        int near = foesNear(side, p, &target), cost = p.row == unit.row && p.col == unit.col ? 0 : m.cost[p.row][p.col];
        if (near < bestNear || (near == bestNear && cost < bestCost)) {
            bestNear = near;
            bestCost = cost;
            best = p;
        }
    });
    return bestNear != INT_MAX;
}

Plan act(Side& side, Unit& unit, Place from, int entry, Place target) {
    Plan plan;
    plan.unit = &unit;
    plan.path = side.movesOf(unit).wayTo(from);
    plan.entry = entry;
    plan.target = target;
    return plan;
}

Plan strike(Side& side, Unit& unit, const Unit& target, Place from) {
    bool special = unit.unitClass != CLASS_HEALER && specialAllowed(unit) &&
                   expected(unit, target, true) > expected(unit, target, false);
    return act(side, unit, from, special ? MENU_CLASS_ACTION : MENU_ATTACK, at(target));
}

// The hero strikes only from where it stands, unless it has to fight.
bool mayStrikeFrom(const Side& side, const Unit& unit, Place p) {
    return !unit.hero || side.heroMustFight || (p.row == unit.row && p.col == unit.col);
}

bool healerReady(const Unit& unit) { return unit.unitClass == CLASS_HEALER && unit.mp >= 10; }

bool healPlan(Side& side, Unit& healer, const Unit& patient, Plan& plan) {
    if (&healer == &patient || !healerReady(healer)) return false;
    const Moves& m = side.movesOf(healer);
    bool found = false;
    Place best{};
    int bestNear = INT_MAX;
    m.forEachStand([&](Place p) {
        int d = gap(p, at(patient));
        if (d < 1 || d > healer.attackRange) return;
        int near = foesNear(side, p, nullptr);
        if (near < bestNear) {
            bestNear = near;
            best = p;
            found = true;
        }
    });
    if (found) plan = act(side, healer, best, MENU_CLASS_ACTION, at(patient));
    return found;
}

// Toward the goal as far as this turn's points go, keeping the given
// distance from it; then Defend.
Plan march(Side& side, Unit& unit, Place goal, int keep) {
    const Moves& m = side.movesOf(unit);
    Place best = at(unit);
    int bestGap = std::abs(gap(best, goal) - keep);
    m.forEachStand([&](Place p) {
        int g = std::abs(gap(p, goal) - keep);
        if (g < bestGap) {
            bestGap = g;
            best = p;
        }
    });
    return act(side, unit, best, MENU_DEFEND, {-1, -1});
}

const Unit* nearestFoe(const Side& side, Place p) {
    const Unit* nearest = nullptr;
    for (const Unit* foe : side.foes)
        if (!nearest || gap(at(*foe), p) < gap(at(*nearest), p)) nearest = foe;
    return nearest;
}

}  // namespace

Plan squadPlan(int player) {
    Side side;
    side.player = player;
    for (Unit* unit : allUnits) {
        if (unit->dead) continue;
        if (unit->player == player) {
            side.own.push_back(unit);
            if (unit->canAct) side.able.push_back(unit);
            if (unit->hero) side.hero = unit;
            if (!unit->hero && unit->unitClass != CLASS_HEALER) side.heroMustFight = false;
        } else if (unit->visible) {
            side.foes.push_back(unit);
        }
    }
    if (side.able.empty()) return Plan();
    Plan plan;

    // A wounded hero is healed first.
    if (side.hero && side.hero->hp < HEAL_HERO_BELOW * side.hero->maxHp)
        for (Unit* healer : side.able)
            if (healPlan(side, *healer, *side.hero, plan)) return plan;

    // The focus: the enemy hero if anyone can strike it, else the weakest enemy in reach.
    const Unit* focus = nullptr;
    for (const Unit* foe : side.foes) {
        bool reached = false;
        for (Unit* unit : side.able) {
            Place p;
            reached = reached || (unit->unitClass != CLASS_HEALER && strikeSquare(side, *unit, *foe, p) &&
                                  mayStrikeFrom(side, *unit, p));
        }
        if (!reached) continue;
        if (!focus || (foe->hero && !focus->hero) || (foe->hero == focus->hero && foe->hp < focus->hp)) focus = foe;
    }
    if (focus) {
        Unit* striker = nullptr;
        Place from{};
        for (Unit* unit : side.able) {
            Place p;
            bool reaches = strikeSquare(side, *unit, *focus, p) && mayStrikeFrom(side, *unit, p);
            if (unit->unitClass == CLASS_HEALER || !reaches) continue;
            if (!striker || expected(*unit, *focus, false) > expected(*striker, *focus, false)) {
                striker = unit;
                from = p;
            }
        }
        return strike(side, *striker, *focus, from);
    }

    // Heal whoever is worst off within a Healer's reach.
    for (Unit* healer : side.able) {
        const Unit* patient = nullptr;
        for (const Unit* friendly : side.own) {
            if (friendly->hp >= HEAL_BELOW * friendly->maxHp) continue;
            if (!patient || friendly->hp * patient->maxHp < patient->hp * friendly->maxHp) patient = friendly;
        }
        if (patient && healPlan(side, *healer, *patient, plan)) return plan;
    }

    // Anything a Healer can strike.
    for (Unit* unit : side.able)
        for (const Unit* foe : side.foes) {
            Place p;
            if (strikeSquare(side, *unit, *foe, p) && mayStrikeFrom(side, *unit, p))
                return strike(side, *unit, *foe, p);
        }

    // A badly wounded unit goes back beside a Healer that can mend it.
    for (Unit* unit : side.able) {
        if (unit->hero || unit->hp >= RETREAT_BELOW * unit->maxHp || side.foes.empty()) continue;
        for (const Unit* healer : side.own)
            if (healer != unit && healerReady(*healer)) return march(side, *unit, at(*healer), 1);
    }

    // The others march: toward the nearest enemy in view, stopping where
    // they could strike it; Healers a step behind the friend nearest the
    // enemy; with no enemy in view, to the enemy's home rows.
    Place enemyHome{player == 1 ? mapRows - 2 : 1, mapCols / 2};
    for (Unit* unit : side.able) {
        if (unit->hero && !side.heroMustFight) continue;
        const Unit* foe = nearestFoe(side, at(*unit));
        if (unit->unitClass == CLASS_HEALER && !side.heroMustFight) {
            const Unit* front = nullptr;
            for (const Unit* friendly : side.own)
                if (friendly != unit && !friendly->hero && friendly->unitClass != CLASS_HEALER &&
                    (!front || gap(at(*friendly), enemyHome) < gap(at(*front), enemyHome)))
                    front = friendly;
            if (front) return march(side, *unit, at(*front), 2);
        }
        if (foe) return march(side, *unit, at(*foe), unit->attackRange);
        return march(side, *unit, enemyHome, 0);
    }

    // The hero: as far from the enemies in view as its points allow, else
    // two rows behind the middle of its army.
    Unit& hero = *side.able.front();
    if (!side.foes.empty()) {
        const Moves& m = side.movesOf(hero);
        Place best = at(hero);
        int bestGap = gap(best, at(*nearestFoe(side, best)));
        m.forEachStand([&](Place p) {
            int g = gap(p, at(*nearestFoe(side, p)));
            if (g > bestGap) {
                bestGap = g;
                best = p;
            }
        });
        return act(side, hero, best, MENU_DEFEND, {-1, -1});
    }
    int rows = 0, cols = 0, count = 0;
    for (const Unit* friendly : side.own)
        if (friendly != &hero) {
            rows += friendly->row;
            cols += friendly->col;
            count++;
        }
    if (count == 0) return act(side, hero, at(hero), MENU_DEFEND, {-1, -1});
    int behind = player == 1 ? -2 : 2;
    Place rear{std::clamp(rows / count + behind, 0, mapRows - 1), cols / count};
    return march(side, hero, rear, 0);
}

Unit* squadHero(int player) {
    Unit* hero = nullptr;
    auto backness = [player](const Unit& u) { return player == 1 ? -u.row : u.row; };
    auto sturdiness = [](const Unit& u) { return u.maxHp * (1 + u.defence); };
    for (Unit* unit : allUnits) {
        if (unit->player != player || unit->dead) continue;
        if (!hero || backness(*unit) > backness(*hero) ||
            (backness(*unit) == backness(*hero) && sturdiness(*unit) > sturdiness(*hero)))
            hero = unit;
    }
    return hero;
}
