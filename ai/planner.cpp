// ai/planner.cpp — scoring what a unit could do this turn, and choosing
#include "ai/planner.h"

#include <cstdlib>
#include <limits>

#include "ai/knowledge.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/combat.h"
#include "rules/movement.h"

std::minstd_rand randomPlayDraws;

namespace {

// What things are worth, in hit points of damage dealt to an ordinary enemy.
constexpr float WIN = 100000;            // the enemy hero falls
constexpr float HERO_HIT_WEIGHT = 3;     // each point off the enemy hero, or off our own
constexpr float KILL_BONUS = 40;         // one enemy fewer to strike back, besides its hit points
constexpr float HERO_HEAL_WEIGHT = 4;    // each point healed on our hero; 1 on anyone else
constexpr float DEFEND_WEIGHT = 0.5f;    // each point Defend gives back
constexpr float HERO_THREAT = 200;       // for each enemy that could strike our hero next turn
constexpr float DANGER_WEIGHT = 0.25f;   // expected damage to any other unit next turn
constexpr float TRAVEL_WEIGHT = 2;       // each movement point still to go
constexpr float SEARCH_WEIGHT = 1;       // each turn since a square was last in sight
constexpr float ENEMY_HOME = 20;         // a square of the enemy's home rows, where its hero likely stands
constexpr float SHORT_WAY = 0.01f;       // of two equal squares, the one nearer to hand
constexpr int   TURN_POINTS = 5;         // every turn after the first starts with these
constexpr int   PATIENCE = 2;            // quiet turns before units walk into reach regardless

constexpr float NOTHING = -std::numeric_limits<float>::infinity();

int distance(Place a, Place b) { return std::abs(a.row - b.row) + std::abs(a.col - b.col); }
Place placeOf(const Unit& unit) { return {unit.row, unit.col}; }
bool living(const Unit& unit) { return !unit.dead; }
bool mayAct(const Unit& unit, int player) { return unit.player == player && unit.canAct && living(unit); }

// The menu's own test for its second entry.
bool classActionAllowed(const Unit& unit) {
    return unit.mp >= 10 || unit.unitClass == CLASS_FIGHTER || unit.unitClass == CLASS_FLIER;
}

// The share of the 101 rolls, 0 to 100, that are not below the miss range.
float hitChance(const Unit& attacker, const Unit& target, bool special) {
    float misses = missRange(attacker, target, special);
    int hits = 0;
    for (int roll = 0; roll <= 100; roll++) hits += !(roll < misses);
    return hits / 101.0f;
}

float outcomeWorth(const Unit& target, int hp, int dealt) {
    if (dealt >= hp) return target.hero ? WIN : hp + KILL_BONUS + target.attackPower * target.attackFactor;
    return dealt * (target.hero ? HERO_HIT_WEIGHT : 1);
}

// A blow on a target of hp hit points: the chance to hit times the mean worth
// over a special's random extras (a Mage strikes twice, the second time on
// what the first left).
float strikeWorth(const Unit& attacker, const Unit& target, int hp, bool special) {
    Unit victim = target;
    const int extras = special ? 15 : 1;
    const bool twice = attacker.unitClass == CLASS_MAGE;
    float sum = 0;
    int cases = 0;
    for (int first = 0; first < extras; first++) {
        for (int second = 0; second < (twice ? extras : 1); second++) {
            victim.hp = hp;
            victim.hp -= static_cast<int>(hitDamage(attacker, victim, first));
            if (twice) victim.hp -= static_cast<int>(hitDamage(attacker, victim, second));
            int dealt = hp - victim.hp;
            sum += dealt > 0 ? outcomeWorth(target, hp, dealt) : 0;
            cases++;
        }
    }
    return hitChance(attacker, target, special) * sum / cases;
}

// A heal adds a point per update until 30 % of maxHp is gained or hp is full.
float healWorth(const Unit& patient) {
    int gain = 0;
    while (patient.hp + gain < patient.maxHp && static_cast<double>(gain) / patient.maxHp < 0.3) gain++;
    return gain * (patient.hero ? HERO_HEAL_WEIGHT : 1);
}

float defendWorth(const Unit& unit) {
    int healed = static_cast<int>(unit.hp + unit.maxHp * 0.1);
    if (healed > unit.maxHp) healed = unit.maxHp;
    return (healed - unit.hp) * DEFEND_WEIGHT;
}

struct Option {
    int   entry = MENU_DEFEND;
    Place target{-1, -1};
    float worth = NOTHING;
};

// The best attack, skill, magic or heal the unit could make standing on the
// square, on the enemies its side sees and its wounded friends.
Option bestOption(const Unit& unit, Place from) {
    Option best;
    auto consider = [&best](int entry, const Unit& target, float worth) {
        if (worth > best.worth) best = {entry, placeOf(target), worth};
    };
    for (const Unit* other : allUnits) {
        int reach = distance(from, placeOf(*other));
        if (other == &unit || !living(*other) || reach < 1 || reach > unit.attackRange) continue;
        if (other->player != unit.player) {
            if (!other->visible) continue;
            consider(MENU_ATTACK, *other, strikeWorth(unit, *other, other->hp, false));
            if (classActionAllowed(unit) && unit.unitClass != CLASS_HEALER)
                consider(MENU_CLASS_ACTION, *other, strikeWorth(unit, *other, other->hp, true));
        } else if (unit.unitClass == CLASS_HEALER && classActionAllowed(unit) && other->hp < other->maxHp) {
            consider(MENU_CLASS_ACTION, *other, healWorth(*other));
        }
    }
    return best;
}

// Where a unit can go: the cost of every square, and the square before it on
// the cheapest way there.
struct Reach {
    int   cost[MAP_LIMIT][MAP_LIMIT];
    Place before[MAP_LIMIT][MAP_LIMIT];
};

// Along the cheapest costs outward from the unit, a square at a time, so that
// every square gets one way back even where a step costs nothing.
void findReach(const Unit& unit, Reach& reach) {
    movementCosts(unit, reach.cost);
    std::vector<Place> queue{placeOf(unit)};
    bool seen[MAP_LIMIT][MAP_LIMIT] = {};
    seen[unit.row][unit.col] = true;
    const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (size_t next = 0; next < queue.size(); next++) {
        Place at = queue[next];
        for (const auto& step : steps) {
            int r = at.row + step[0], c = at.col + step[1];
            if (r < 0 || r >= mapRows || c < 0 || c >= mapCols || seen[r][c] || reach.cost[r][c] == NO_PATH) continue;
            if (reach.cost[at.row][at.col] + stepCost(unit, r, c) != reach.cost[r][c]) continue;
            seen[r][c] = true;
            reach.before[r][c] = at;
            queue.push_back({r, c});
        }
    }
}

bool withinPoints(const Unit& unit, const Reach& reach, Place to, int points) {
    if (to.row == unit.row && to.col == unit.col) return true;
    int cost = reach.cost[to.row][to.col];
    return cost != NO_PATH && cost - stepCost(unit, to.row, to.col) < points;
}

std::vector<Place> wayTo(const Unit& unit, const Reach& reach, Place to) {
    std::vector<Place> way;
    for (Place at = to; at.row != unit.row || at.col != unit.col; at = reach.before[at.row][at.col])
        way.insert(way.begin(), at);
    return way;
}

// The squares a known enemy could strike in its next turn, from where it was
// last seen: a full turn's points of movement, then its attack range.
struct Threat {
    const Unit* unit;
    std::vector<bool> strikes;   // by row × MAP_LIMIT + column
};

Reach scratch;   // a large grid, reused for every unit looked at

std::vector<Threat> knownThreats(int player) {
    std::vector<Threat> threats;
    for (const Sighting& seen : sightings[player]) {
        Unit there = *seen.unit;
        there.row = seen.row;
        there.col = seen.col;
        movementCosts(there, scratch.cost);
        Threat threat{seen.unit, std::vector<bool>(MAP_LIMIT * MAP_LIMIT)};
        const int range = there.attackRange;
        for (int r = 0; r < mapRows; r++) {
            for (int c = 0; c < mapCols; c++) {
                if (!withinPoints(there, scratch, {r, c}, TURN_POINTS)) continue;
                for (int tr = r - range; tr <= r + range; tr++)
                    for (int tc = c - range; tc <= c + range; tc++)
                        if (tr >= 0 && tr < mapRows && tc >= 0 && tc < mapCols && distance({r, c}, {tr, tc}) <= range)
                            threat.strikes[tr * MAP_LIMIT + tc] = true;
            }
        }
        threats.push_back(std::move(threat));
    }
    return threats;
}

// What standing on the square may cost the unit in the enemy's next turn;
// for a hero kept out of the fighting, each enemy in reach weighs heavily.
float danger(const Unit& unit, Place at, const std::vector<Threat>& threats, bool keptSafe) {
    float expected = 0;
    int worst = 0, strikers = 0;
    for (const Threat& threat : threats) {
        if (!threat.strikes[at.row * MAP_LIMIT + at.col]) continue;
        int dealt = static_cast<int>(hitDamage(*threat.unit, unit, 0));
        expected += hitChance(*threat.unit, unit, false) * dealt;
        worst += dealt;
        strikers++;
    }
    if (keptSafe) return expected * HERO_HIT_WEIGHT + strikers * HERO_THREAT + (worst >= unit.hp ? WIN / 2 : 0);
    return expected * DANGER_WEIGHT + (worst >= unit.hp ? (unit.hp + KILL_BONUS) * DANGER_WEIGHT : 0);
}

// Where to head when nothing is in reach this turn: the square from which
// the best blow on a known enemy opens, less the way there. The unit's own
// square when there is nowhere to go.
Place approachGoal(const Unit& unit, const Reach& reach) {
    Place goal = placeOf(unit);
    float best = NOTHING;
    for (const Sighting& seen : sightings[unit.player]) {
        Place at{seen.row, seen.col};
        const int range = unit.attackRange;
        for (int r = at.row - range; r <= at.row + range; r++) {
            for (int c = at.col - range; c <= at.col + range; c++) {
                if (r < 0 || r >= mapRows || c < 0 || c >= mapCols) continue;
                int reachOf = distance({r, c}, at);
                if (reachOf < 1 || reachOf > range || reach.cost[r][c] == NO_PATH) continue;
                float worth = strikeWorth(unit, *seen.unit, seen.hp, false) - TRAVEL_WEIGHT * reach.cost[r][c];
                if (worth > best) {
                    best = worth;
                    goal = {r, c};
                }
            }
        }
    }
    if (best != NOTHING) return goal;
    // Nobody known: search where the side has not looked for longest,
    // the enemy's home rows above all, since armies start there.
    int firstEnemyRow = unit.player == 1 ? mapRows - 3 : 0;
    int turn = turnsBegun[unit.player];
    for (int r = 0; r < mapRows; r++) {
        for (int c = 0; c < mapCols; c++) {
            int looked = lookedAt[unit.player][r][c];
            if (reach.cost[r][c] == NO_PATH || looked == turn) continue;
            bool enemyHome = r >= firstEnemyRow && r < firstEnemyRow + 3;
            float worth = SEARCH_WEIGHT * (turn - looked) + (enemyHome ? ENEMY_HOME : 0) -
                          TRAVEL_WEIGHT * reach.cost[r][c];
            if (worth > best) {
                best = worth;
                goal = {r, c};
            }
        }
    }
    return goal;
}

bool alone(const Unit& unit) {
    for (const Unit* other : allUnits)
        if (other != &unit && other->player == unit.player && living(*other)) return false;
    return true;
}

Plan planFor(Unit& unit, const std::vector<Threat>& threats) {
    Reach& reach = scratch;
    findReach(unit, reach);
    Plan best;
    best.unit = &unit;
    best.score = NOTHING;
    bool optionOpen = false;
    // The hero keeps out of the fighting while it has an army. An enemy that
    // only waits for us to come is gone to in the end.
    bool fights = !unit.hero || alone(unit);
    float caution = fights && quietTurns[unit.player] >= PATIENCE ? 0 : 1;
    for (int r = 0; r < mapRows; r++) {
        for (int c = 0; c < mapCols; c++) {
            Place at{r, c};
            if (!withinPoints(unit, reach, at, unit.movePoints)) continue;
            float standing = -caution * danger(unit, at, threats, !fights) - SHORT_WAY * reach.cost[r][c];
            Option option = bestOption(unit, at);
            optionOpen = optionOpen || option.worth > 0;
            if (option.worth <= 0) option = {MENU_DEFEND, {-1, -1}, defendWorth(unit)};
            if (option.worth + standing > best.score) {
                best.path = wayTo(unit, reach, at);
                best.entry = option.entry;
                best.target = option.target;
                best.score = option.worth + standing;
            }
        }
    }
    if (optionOpen || !fights) return best;

    // Nothing in reach: as far toward the goal as this turn's points go,
    // stopping short where the last squares are not worth their danger.
    std::vector<Place> way = wayTo(unit, reach, approachGoal(unit, reach));
    best.path.clear();
    best.entry = MENU_DEFEND;
    best.score = defendWorth(unit) - caution * danger(unit, placeOf(unit), threats, !fights);
    for (size_t steps = 1; steps <= way.size(); steps++) {
        Place at = way[steps - 1];
        if (!withinPoints(unit, reach, at, unit.movePoints)) break;
        float score = defendWorth(unit) + TRAVEL_WEIGHT * reach.cost[at.row][at.col] -
                      caution * danger(unit, at, threats, !fights);
        if (score >= best.score) {
            best.path.assign(way.begin(), way.begin() + steps);
            best.score = score;
        }
    }
    return best;
}

template <class Choose> Plan bestOfUnits(int player, Choose choose) {
    Plan best;
    best.score = NOTHING;
    for (Unit* unit : allUnits) {
        if (!mayAct(*unit, player)) continue;
        Plan plan = choose(*unit);
        if (plan.score > best.score) best = plan;
    }
    return best;
}

template <class T> const T& drawFrom(const std::vector<T>& choices) {
    return choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(randomPlayDraws)];
}

}  // namespace

Plan planTurn(int player) {
    std::vector<Threat> threats = knownThreats(player);
    return bestOfUnits(player, [&threats](Unit& unit) { return planFor(unit, threats); });
}

Plan planUnit(Unit& unit) { return planFor(unit, knownThreats(unit.player)); }

Unit* chooseHero(int player) {
    Unit* hero = nullptr;
    float best = NOTHING;
    for (Unit* unit : allUnits) {
        if (unit->player != player || !living(*unit)) continue;
        int rowsFromEnemy = player == 1 ? mapRows - 3 - unit->row : unit->row - 2;
        float worth = unit->maxHp * (1 + unit->defence) + unit->evasion + 10.0f * rowsFromEnemy;
        if (worth > best) {
            best = worth;
            hero = unit;
        }
    }
    return hero;
}

Plan greedyPlan(int player) {
    return bestOfUnits(player, [](Unit& unit) {
        Plan here;
        here.unit = &unit;
        Option option = bestOption(unit, placeOf(unit));
        if (option.worth > 0) {
            here.entry = option.entry;
            here.target = option.target;
            here.score = option.worth;
        }
        return here;
    });
}

Plan randomPlan(int player) {
    std::vector<Unit*> able;
    for (Unit* unit : allUnits)
        if (mayAct(*unit, player)) able.push_back(unit);
    Plan plan;
    if (able.empty()) return plan;
    Unit& unit = *drawFrom(able);
    plan.unit = &unit;

    // A walk over free squares while points last, ending at random.
    Place at = placeOf(unit);
    int points = unit.movePoints;
    const Place steps[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    while (points > 0 && std::uniform_int_distribution<int>(0, 2)(randomPlayDraws) > 0) {
        std::vector<Place> free;
        for (Place step : steps) {
            Place next{at.row + step.row, at.col + step.col};
            if (next.row < 0 || next.row >= mapRows || next.col < 0 || next.col >= mapCols) continue;
            if (battleMap[next.row][next.col].occupant != -1) continue;
            bool walked = next.row == unit.row && next.col == unit.col;
            for (Place was : plan.path) walked = walked || (was.row == next.row && was.col == next.col);
            if (!walked) free.push_back(next);
        }
        if (free.empty()) break;
        at = drawFrom(free);
        plan.path.push_back(at);
        points -= stepCost(unit, at.row, at.col);
    }

    // Defend, or an attack or class action on any other occupied square in reach.
    std::vector<Plan> choices{plan};
    for (int r = 0; r < mapRows; r++) {
        for (int c = 0; c < mapCols; c++) {
            int reach = distance(at, {r, c});
            if (reach < 1 || reach > unit.attackRange || battleMap[r][c].occupant == -1) continue;
            if (r == unit.row && c == unit.col) continue;   // the square it left
            for (int entry : {MENU_ATTACK, MENU_CLASS_ACTION}) {
                if (entry == MENU_CLASS_ACTION && !classActionAllowed(unit)) continue;
                choices.push_back(plan);
                choices.back().entry = entry;
                choices.back().target = {r, c};
            }
        }
    }
    return drawFrom(choices);
}

Unit* randomHero(int player) {
    std::vector<Unit*> own;
    for (Unit* unit : allUnits)
        if (unit->player == player && living(*unit)) own.push_back(unit);
    return own.empty() ? nullptr : drawFrom(own);
}
