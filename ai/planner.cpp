// ai/planner.cpp — scoring what a unit could do this turn, and choosing
#include "ai/planner.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <queue>

#include "ai/knowledge.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"

std::minstd_rand randomPlayDraws;

Place placeOf(const Unit& unit) { return {unit.row, unit.col}; }

namespace {

// What things are worth, in hit points of damage dealt to an ordinary enemy.
constexpr float WIN = 100000;             // the enemy hero falls (or, as a danger, ours)
// A blow on the enemy hero, or one fewer enemy, counts for far more than the
// blows our own units may take for it: an army that holds back where the
// enemy reaches everything anyway (a small map) only lets it strike first.
constexpr float HERO_HIT_WEIGHT = 10;     // each point off the enemy hero, or off our own
constexpr float KILL_BONUS = 150;         // one enemy fewer to strike back, besides its hit points
constexpr float HERO_HEAL_WEIGHT = 4;     // each point healed on our hero
constexpr float FRONT_HEAL_WEIGHT = 2;    // each point healed on a unit the enemy can strike; 1 elsewhere
constexpr float DEFEND_WEIGHT = 0.5f;     // each point Defend gives back
constexpr float WOUNDED_DEFEND_WEIGHT = 1.5f;   // the same for a wounded unit
constexpr float HERO_THREAT = 200;        // for each enemy that could strike our hero next turn
constexpr float DANGER_WEIGHT = 0.3f;     // expected damage to any other unit next turn
constexpr float TRAVEL_WEIGHT = 2;        // each movement point still to go to where a blow opens
constexpr float HERO_BEHIND = 3;          // movement points the hero keeps behind its army's middle
constexpr float FOG_WEIGHT = 2;           // each square out of sight near the hero, on the enemy's side of it
constexpr int   FOG_NEAR = 6;             // how near such a square is counted
constexpr float SEARCH_WEIGHT = 5;        // each turn an enemy may have hidden on a square
constexpr float ENEMY_HOME = 10;          // a square of the enemy's home rows, where its hero likely stands
constexpr float OWN_HOME = 60;            // a square of our home rows, in a long search: where an enemy that lost us looks
constexpr float SHORT_WAY = 0.01f;        // of two equal squares, the one nearer to hand
constexpr float WOUNDED = 0.4f;           // below this share of its hit points a unit falls back
constexpr float FALL_BACK = 1.5f;         // each missing hit point, near a Healer that can mend it
constexpr float CURSOR_WEIGHT = 0.05f;    // of two near-equal plans, the unit nearer the cursor
constexpr float HERO_BOLDNESS = 0.001f;   // the hero's caution once it must fight
constexpr int   HEALER_REACH = TURN_POINTS + 2;   // a Healer's step and reach: who it can mend next turn
constexpr int   PATIENCE = 2;             // quiet turns before danger weighs less; thrice that, nothing
constexpr float IMPATIENCE = 0.25f;       // how much danger weighs after PATIENCE quiet turns
constexpr int   STALEMATE = 8;            // turns without a fall before danger weighs nothing
constexpr float LEAD = 3;                 // movement points a unit may run ahead of its army's middle
constexpr float BOXED_IN = 150;           // the hero left without a free square beside it
constexpr float COHESION = 1;             // each square further than GATHERED from the army's middle
constexpr int   GATHERED = 4;
constexpr float HERO_WAY = 500;           // standing on the way to the safest square our hero can reach

constexpr float NOTHING = -std::numeric_limits<float>::infinity();
constexpr float FAR = 1e6f;               // a field's value where no way leads
constexpr int   SQUARES = MAP_LIMIT * MAP_LIMIT;

int squareOf(int row, int col) { return row * MAP_LIMIT + col; }
int squareOf(Place p) { return squareOf(p.row, p.col); }
Place placeOf(int square) { return {square / MAP_LIMIT, square % MAP_LIMIT}; }
int distance(Place a, Place b) { return std::abs(a.row - b.row) + std::abs(a.col - b.col); }
bool onMap(int row, int col) { return row >= 0 && row < mapRows && col >= 0 && col < mapCols; }
bool living(const Unit& unit) { return !unit.dead; }
bool mayAct(const Unit& unit, int player) { return unit.player == player && unit.canAct && living(unit); }
bool wounded(const Unit& unit) { return unit.hp < WOUNDED * unit.maxHp; }
const int STEPS[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

// The menu's own test for its second entry.
bool classActionAllowed(const Unit& unit) {
    return unit.mp >= 10 || unit.unitClass == CLASS_FIGHTER || unit.unitClass == CLASS_FLIER;
}

// The share of the 101 rolls, 0 to 100, that are not below the miss range.
float hitChance(const Unit& attacker, const Unit& target, bool special) {
    float misses = missRange(attacker, target, special);
    int missed = std::clamp(static_cast<int>(std::ceil(misses)), 0, 101);
    return (101 - missed) / 101.0f;
}

// The hit points one hit takes off the target at the hit points it has,
// both strikes of a Mage's spell together.
int blowDamage(const Unit& attacker, Unit victim, int extra = 0) {
    int before = victim.hp;
    for (int strike = 0; strike < strikesPerHit(attacker); strike++)
        victim.hp -= std::max(0, static_cast<int>(hitDamage(attacker, victim, extra)));
    return before - victim.hp;
}

float killWorth(const Unit& target, int hp) {
    return target.hero ? WIN : hp + KILL_BONUS + target.attackPower * target.attackFactor;
}

// ---- Where a unit can go this turn ----

// The squares found, each with the cheapest cost of the way there and the
// square before it. A step is taken while points are left, whatever it costs.
struct Reach {
    std::vector<int> squares;        // the unit's own square first
    int cost[SQUARES];
    int before[SQUARES];
    int mark[SQUARES] = {};          // == stamp: found in this search
    int stamp = 0;
    bool found(int square) const { return mark[square] == stamp; }
};

template <class Blocked, class Cost>
void searchReach(Place from, int points, Blocked blocked, Cost stepCost, Reach& reach) {
    reach.stamp++;
    reach.squares.clear();
    using Entry = std::pair<int, int>;   // cost, square
    static std::vector<Entry> open;      // a heap, kept from one search to the next so as not to allocate
    open.clear();
    auto push = [](int cost, int square) {
        open.emplace_back(cost, square);
        std::push_heap(open.begin(), open.end(), std::greater<Entry>());
    };
    int start = squareOf(from);
    reach.mark[start] = reach.stamp;
    reach.cost[start] = 0;
    reach.before[start] = -1;
    push(0, start);
    while (!open.empty()) {
        std::pop_heap(open.begin(), open.end(), std::greater<Entry>());
        auto [paid, square] = open.back();
        open.pop_back();
        if (paid > reach.cost[square]) continue;
        reach.squares.push_back(square);
        if (paid >= points) continue;   // no point left for another step
        Place at = placeOf(square);
        for (const auto& step : STEPS) {
            int r = at.row + step[0], c = at.col + step[1];
            if (!onMap(r, c) || blocked(r, c)) continue;
            int next = squareOf(r, c), cost = paid + stepCost(r, c);
            if (reach.found(next) && reach.cost[next] <= cost) continue;
            reach.mark[next] = reach.stamp;
            reach.cost[next] = cost;
            reach.before[next] = square;
            push(cost, next);
        }
    }
}

std::vector<Place> wayTo(const Reach& reach, int square) {
    std::vector<Place> way;
    for (int at = square; reach.before[at] >= 0; at = reach.before[at]) way.insert(way.begin(), placeOf(at));
    return way;
}

// Squares each unit stepped off in this turn.
std::vector<std::pair<const Unit*, int>> steppedOff;

Reach fromTurnStart;

// Over free squares, never back onto one the unit left in this turn. A unit
// that has stepped keeps to ways that, with the steps behind it, are still
// the cheapest from where it started the turn.
void findOwnReach(const Unit& unit, Reach& reach) {
    static bool left[SQUARES];
    std::vector<int> trail;
    for (const auto& [who, square] : steppedOff)
        if (who == &unit) {
            left[square] = true;
            trail.push_back(square);
        }
    searchReach(
        placeOf(unit), unit.movePoints,
        [](int r, int c) { return battleMap[r][c].occupant != -1 || left[squareOf(r, c)]; },
        [&unit](int r, int c) { return stepCost(unit, r, c); }, reach);
    for (int square : trail) left[square] = false;
    if (trail.empty()) return;

    int here = squareOf(placeOf(unit)), paid = 0;
    trail.push_back(here);
    for (size_t k = 1; k < trail.size(); k++) paid += stepCost(unit, trail[k] / MAP_LIMIT, trail[k] % MAP_LIMIT);
    searchReach(
        placeOf(trail.front()), unit.movePoints + paid,
        [here](int r, int c) { return battleMap[r][c].occupant != -1 && squareOf(r, c) != here; },
        [&unit](int r, int c) { return stepCost(unit, r, c); }, fromTurnStart);
    auto dearer = [&](int square) {
        return !fromTurnStart.found(square) || paid + reach.cost[square] > fromTurnStart.cost[square];
    };
    if (dearer(here)) return;   // a stray key's steps: no cheapest way left to keep to
    reach.squares.erase(std::remove_if(reach.squares.begin(), reach.squares.end(), dearer), reach.squares.end());
}

// ---- The enemies' reach in their next turn ----

// A known enemy from where it was last seen: a full turn's points over every
// square but those of our own units (its friends may step aside first), then
// its attack range.
struct Threat {
    const Unit* unit;
    int row, col;
    int top, left, bottom, right;   // the squares it may stand on, one square wider
    std::vector<int> strikes;
};

struct ThreatMap {
    std::vector<Threat> threats;
    std::vector<int> ownSquares;      // where our units (fallen too) stood when the threats were worked out
    int revision = -1;                // the knowledge they were worked out from
    // The threats that can strike each square: strikers[firstAt[s]] up to strikers[firstAt[s + 1]].
    std::vector<int> firstAt = std::vector<int>(SQUARES + 1);
    std::vector<int> strikers;
    int strikerCount(int square) const { return firstAt[square + 1] - firstAt[square]; }
    const int* strikersOf(int square) const { return strikers.data() + firstAt[square]; }
};
ThreatMap threatMaps[3];
Reach threatScratch;

Threat threatFrom(const Sighting& seen, const std::vector<bool>& ownBlock, int points = TURN_POINTS) {
    Unit there = *seen.unit;
    there.row = seen.row;
    there.col = seen.col;
    searchReach(
        {seen.row, seen.col}, points, [&ownBlock](int r, int c) { return ownBlock[squareOf(r, c)]; },
        [&there](int r, int c) { return stepCost(there, r, c); }, threatScratch);
    Threat threat{seen.unit, seen.row, seen.col, seen.row, seen.col, seen.row, seen.col, {}};
    // Out from the squares it may stand on, a square at a time, as far as its range.
    static int struck[SQUARES];   // == the search's stamp: already among the strikes
    const int stamp = threatScratch.stamp, range = there.attackRange;
    for (int square : threatScratch.squares) {
        Place at = placeOf(square);
        threat.top = std::min(threat.top, at.row);
        threat.bottom = std::max(threat.bottom, at.row);
        threat.left = std::min(threat.left, at.col);
        threat.right = std::max(threat.right, at.col);
        struck[square] = stamp;
        threat.strikes.push_back(square);
    }
    for (size_t first = 0, ring = 1; ring <= static_cast<size_t>(range); ring++) {
        size_t last = threat.strikes.size();
        for (size_t k = first; k < last; k++) {
            Place at = placeOf(threat.strikes[k]);
            for (const auto& step : STEPS) {
                int r = at.row + step[0], c = at.col + step[1];
                if (!onMap(r, c) || struck[squareOf(r, c)] == stamp) continue;
                struck[squareOf(r, c)] = stamp;
                threat.strikes.push_back(squareOf(r, c));
            }
        }
        first = last;
    }
    threat.top--;
    threat.left--;
    threat.bottom++;
    threat.right++;
    return threat;
}

bool within(const Threat& threat, int square) {
    Place at = placeOf(square);
    return at.row >= threat.top && at.row <= threat.bottom && at.col >= threat.left && at.col <= threat.right;
}

// Worked out again only for an enemy seen somewhere new, or whose way one of
// our units has since stepped into or out of (or fallen on).
const ThreatMap& threatsAgainst(int player) {
    ThreatMap& map = threatMaps[player];
    std::vector<int> own;
    for (const Unit* unit : allUnits)
        if (unit->player == player) own.push_back(squareOf(unit->row, unit->col));
    std::sort(own.begin(), own.end());
    if (own == map.ownSquares && map.revision == knowledgeRevision[player]) return map;

    std::vector<int> moved;
    std::set_symmetric_difference(own.begin(), own.end(), map.ownSquares.begin(), map.ownSquares.end(),
                                  std::back_inserter(moved));
    std::vector<bool> ownBlock(SQUARES);
    for (int square : own) ownBlock[square] = true;
    std::vector<Threat> kept;
    bool changed = false;
    for (const Sighting& seen : sightings[player]) {
        auto old = std::find_if(map.threats.begin(), map.threats.end(),
                                [&seen](const Threat& t) { return t.unit == seen.unit; });
        bool stands = old != map.threats.end() && old->row == seen.row && old->col == seen.col &&
                      std::none_of(moved.begin(), moved.end(), [&old](int sq) { return within(*old, sq); });
        if (stands) {
            kept.push_back(std::move(*old));
        } else {
            kept.push_back(threatFrom(seen, ownBlock));
            changed = true;
        }
    }
    changed = changed || kept.size() != map.threats.size();
    map.threats = std::move(kept);
    map.ownSquares = std::move(own);
    map.revision = knowledgeRevision[player];
    if (changed) {
        std::fill(map.firstAt.begin(), map.firstAt.end(), 0);
        for (const Threat& threat : map.threats)
            for (int square : threat.strikes) map.firstAt[square + 1]++;
        for (int square = 0; square < SQUARES; square++) map.firstAt[square + 1] += map.firstAt[square];
        map.strikers.assign(map.firstAt[SQUARES], 0);
        std::vector<int> filled(map.firstAt.begin(), map.firstAt.end() - 1);
        for (size_t i = 0; i < map.threats.size(); i++)
            for (int square : map.threats[i].strikes) map.strikers[filled[square]++] = static_cast<int>(i);
    }
    return map;
}

// ---- The way toward the enemy ----

// For every square, the fewest movement points from it to a square from
// which a blow opens on a known enemy; or, with no enemy known, to where the
// side has not looked for longest, that length counting against the way.
// Known enemies and our own fallen block the way; our living units do not,
// since they move.
// Worked out once a turn: the enemies seen during the turn change the
// threats and the blows at once, the way toward them from the next turn on
// (or at once when the first is seen, or the last lost).
struct Field {
    int turn = -1, fallen = -1;
    bool searching = false, longSearch = false;   // a standoff: the search has lasted
    std::vector<float> cost;
};
Field fields[3][2][4];   // player, Flier or not, attack range

const std::vector<float>& approachField(int player, bool flier, int range) {
    Field& field = fields[player][flier][range];
    int fallen = 0;
    for (const Unit* unit : allUnits) fallen += unit->player == player && unit->dead;
    const std::vector<Sighting>& known = sightings[player];
    int turn = turnsBegun[player];
    bool searching = known.empty();
    // In a long search (a standoff), an enemy that lost sight of us may well
    // be looking for us where we started, as we look where it did.
    bool longSearch = quietTurns[player] >= 3 * PATIENCE || turnsSinceFall[player] >= STALEMATE;
    if (!field.cost.empty() && field.turn == turn && field.fallen == fallen && field.searching == searching &&
        field.longSearch == longSearch)
        return field.cost;
    field.longSearch = longSearch;
    field.searching = searching;
    field.turn = turn;
    field.fallen = fallen;

    std::vector<bool> wall(SQUARES);
    for (const Sighting& seen : known) wall[squareOf(seen.row, seen.col)] = true;
    for (const Unit* unit : allUnits)
        if (unit->player == player && unit->dead) wall[squareOf(unit->row, unit->col)] = true;

    // In half points, so that the search's goals weigh in whole numbers: a
    // bucket for each cost, taken in order; a step costs at most 18.
    constexpr int UNREACHED = std::numeric_limits<int>::max(), BUCKETS = 19;
    static int half[SQUARES];
    std::fill(half, half + SQUARES, UNREACHED);
    auto source = [&](int r, int c, int cost) {
        int square = squareOf(r, c);
        if (!wall[square]) half[square] = std::min(half[square], cost);
    };
    if (!searching) {
        for (const Sighting& seen : known)
            for (int r = seen.row - range; r <= seen.row + range; r++)
                for (int c = seen.col - range; c <= seen.col + range; c++)
                    if (onMap(r, c) && distance({r, c}, {seen.row, seen.col}) <= range) source(r, c, 0);
    } else {
        // Where an enemy may hide, the longer it may have hidden there the
        // likelier: the middle of what the enemy could reach unseen.
        int firstEnemyRow = player == 1 ? mapRows - 3 : 0, firstOwnRow = player == 1 ? 0 : mapRows - 3;
        for (int r = 0; r < mapRows; r++)
            for (int c = 0; c < mapCols; c++) {
                int since = hiddenSince[player][r][c];
                if (since == 0) continue;
                bool enemyHome = r >= firstEnemyRow && r < firstEnemyRow + 3;
                bool ownHome = longSearch && r >= firstOwnRow && r < firstOwnRow + 3;
                float wanted = SEARCH_WEIGHT * (turn - since) + (enemyHome ? ENEMY_HOME : 0) + (ownHome ? OWN_HOME : 0);
                source(r, c, -static_cast<int>(std::lround(2 * wanted / TRAVEL_WEIGHT)));
            }
    }
    std::vector<std::pair<int, int>> goals;   // cost, square
    for (int square = 0; square < SQUARES; square++)
        if (half[square] != UNREACHED) goals.emplace_back(half[square], square);
    std::sort(goals.begin(), goals.end());
    // Outward from the goals: stepping from a square onto the one nearer the
    // goal costs that nearer square's terrain.
    static std::vector<int> bucket[BUCKETS];
    size_t nextGoal = 0;
    long pending = 0;
    for (int cost = goals.empty() ? 0 : goals.front().first; pending > 0 || nextGoal < goals.size(); cost++) {
        if (pending == 0) cost = goals[nextGoal].first;
        std::vector<int>& now = bucket[((cost % BUCKETS) + BUCKETS) % BUCKETS];
        for (; nextGoal < goals.size() && goals[nextGoal].first == cost; nextGoal++, pending++)
            now.push_back(goals[nextGoal].second);
        for (size_t k = 0; k < now.size(); k++) {
            int square = now[k];
            pending--;
            if (half[square] != cost) continue;   // reached more cheaply since
            Place at = placeOf(square);
            int enter = 2 * (flier ? 1 : battleMap[at.row][at.col].terrain);
            for (const auto& step : STEPS) {
                int r = at.row + step[0], c = at.col + step[1];
                int next = squareOf(r, c);
                if (!onMap(r, c) || wall[next] || cost + enter >= half[next]) continue;
                half[next] = cost + enter;
                bucket[(((cost + enter) % BUCKETS) + BUCKETS) % BUCKETS].push_back(next);
                pending++;
            }
        }
        now.clear();
    }
    field.cost.resize(SQUARES);
    for (int square = 0; square < SQUARES; square++)
        field.cost[square] = half[square] == UNREACHED ? FAR : half[square] / 2.0f;
    return field.cost;
}

// ---- One decision's view of the battle ----

// What standing on a square may cost a unit in the enemy's next turn: the
// harm expected, and the worth of the unit times the chance of losing it.
struct Peril {
    float harm = 0, loss = 0;
};

// The way a unit on foot with the given reach has still to go: the one
// measure in which every class's progress is compared, so that a Flier,
// for which a square of desert costs a third of what it costs the others,
// keeps in step with them rather than always seeming far ahead.
const std::vector<float>& footField(int player, int range) {
    return approachField(player, false, std::clamp(range, 1, 3));
}

struct Outlook {
    int player;
    bool focus;                        // kills are shared out among the units that may still act
    std::vector<Unit*> byId;
    std::vector<float> potential;      // by id of an enemy in view: the damage we can still deal it this turn
    std::vector<float> strikeMemo;     // by attacker class, special or not, and target id
    std::vector<float> harmMemo;       // by enemy class and id of our unit: expected damage of a blow
    std::vector<int> worstMemo;        // the same, the damage of a hit
    const ThreatMap* threats;
    float armyWay;                     // the mean way still to go of our fighting units, on foot
    float armyWays = 0;                // its sum, over
    int armyCount = 0;                 // so many units
    const Unit* hero = nullptr;        // our hero, while it lives
    Place middle{-1, -1};              // the middle of our living units' squares
    int quiet, sinceFall;
    bool heroFights;
    bool heroAlone;                    // nobody but Healers left beside our hero
    bool heroLapses = false;           // this turn our hero minds no danger (a beginner's slip)
    std::vector<const Unit*> marks;    // what a blow or a heal may fall on: enemies in view, wounded friends
    std::vector<bool> seen;            // what our side sees, once the hero's plan asks
    std::vector<int> exposed;          // by threat: our living units standing where it can strike
    std::vector<bool> doomed;          // by threat: an enemy in view that our side can kill this turn
    std::vector<float> relief;         // by id of an enemy in view: what its fall would spare our hero
    std::vector<int> heroWay;          // the squares of the way to the safest square our hero can reach
    // Our units by id: the dangers already worked out for each crowd of strikers.
    std::vector<std::vector<std::pair<uint64_t, Peril>>> dangerMemo;

    Outlook(int who, bool sharesKills);
    Unit* at(int row, int col) const {
        int id = battleMap[row][col].occupant;
        return id >= 0 && id < static_cast<int>(byId.size()) ? byId[id] : nullptr;
    }
    size_t memoIndex(int unitClass, int variant, int id) const { return (unitClass * 2 + variant) * byId.size() + id; }
};

bool enemyInView(const Unit& unit, int player) { return unit.player != player && unit.visible && living(unit); }

// The hero joins the fighting once the rest of its army can no longer win
// it (nobody but Healers is left), or when a standoff has lasted.
bool heroAlone(int player) {
    for (const Unit* unit : allUnits)
        if (unit->player == player && living(*unit) && !unit->hero && unit->unitClass != CLASS_HEALER) return false;
    return true;
}
bool heroShouldFight(int player) { return quietTurns[player] >= 2 * PATIENCE || heroAlone(player); }

float expectedDamage(const Unit& attacker, const Unit& target) {
    return hitChance(attacker, target, false) * blowDamage(attacker, target);
}

Outlook::Outlook(int who, bool sharesKills)
    : player(who), focus(sharesKills), threats(&threatsAgainst(who)), quiet(quietTurns[who]),
      sinceFall(turnsSinceFall[who]), heroFights(heroShouldFight(who)),
      heroAlone(::heroAlone(who)) {
    for (Unit* unit : allUnits) {
        if (unit->id >= static_cast<int>(byId.size())) byId.resize(unit->id + 1, nullptr);
        byId[unit->id] = unit;
    }
    const size_t ids = byId.size();
    potential.assign(ids, 0);
    relief.assign(ids, 0);
    strikeMemo.assign(12 * ids, -1);
    harmMemo.assign(12 * ids, -1);
    worstMemo.assign(12 * ids, -1);
    dangerMemo.resize(ids);
    float ways = 0;
    int counted = 0;
    for (const Unit* unit : allUnits) {
        if (unit->player != player || !living(*unit) || unit->hero || wounded(*unit)) continue;
        float way = footField(player, unit->attackRange)[squareOf(unit->row, unit->col)];
        if (way >= FAR) continue;
        ways += way;
        counted++;
    }
    armyWay = counted ? ways / counted : -FAR;   // with no army to keep with, no bound
    armyWays = ways;
    armyCount = counted;
    int rows = 0, cols = 0, own = 0;
    for (const Unit* unit : allUnits) {
        if (unit->player != player || !living(*unit)) continue;
        if (unit->hero) hero = unit;
        rows += unit->row;
        cols += unit->col;
        own++;
    }
    if (own) middle = {rows / own, cols / own};
    for (const Unit* unit : allUnits)
        if (living(*unit) && (unit->player == player ? unit->hp < unit->maxHp : unit->visible)) marks.push_back(unit);
    exposed.assign(threats->threats.size(), 0);
    doomed.assign(threats->threats.size(), false);
    for (const Unit* unit : allUnits) {
        if (unit->player != player || !living(*unit)) continue;
        int square = squareOf(unit->row, unit->col);
        for (int k = 0; k < threats->strikerCount(square); k++) exposed[threats->strikersOf(square)[k]]++;
    }
    if (!focus) return;
    // What our units that may still act can deal each enemy in view this turn:
    // those that could get in reach, each with its expected damage.
    std::vector<float> expected(6 * ids, -1);
    for (const Unit* unit : allUnits) {
        if (!mayAct(*unit, player)) continue;
        for (const Unit* enemy : allUnits) {
            if (!enemyInView(*enemy, player)) continue;
            if (distance(placeOf(*unit), placeOf(*enemy)) > unit->movePoints + unit->attackRange) continue;
            float& e = expected[unit->unitClass * ids + enemy->id];
            if (e < 0) e = expectedDamage(*unit, *enemy);
            potential[enemy->id] += e;
        }
    }
    for (size_t i = 0; i < threats->threats.size(); i++) {
        const Unit& enemy = *threats->threats[i].unit;
        doomed[i] = enemyInView(enemy, player) && potential[enemy.id] >= enemy.hp;
    }
}

// A blow on an enemy in view: the chance to hit times the mean worth over a
// special's random extras (a Mage strikes twice, the second time on what the
// first left). Short of a kill, each point is a share of the kill when our
// side can finish the enemy this turn.
float strikeWorth(Outlook& o, const Unit& attacker, const Unit& target, bool special) {
    float& memo = o.strikeMemo[o.memoIndex(attacker.unitClass, special, target.id)];
    if (memo >= 0) return memo;
    const int hp = target.hp;
    const bool killable = o.focus && o.potential[target.id] >= hp;
    const int extras = special ? SPECIAL_EXTRA_MAX + 1 : 1;
    const bool twice = strikesPerHit(attacker) == 2;
    Unit victim = target;
    float sum = 0;
    int cases = 0;
    for (int first = 0; first < extras; first++) {
        for (int second = 0; second < (twice ? extras : 1); second++) {
            victim.hp = hp;
            victim.hp -= std::max(0, static_cast<int>(hitDamage(attacker, victim, first)));
            if (twice) victim.hp -= std::max(0, static_cast<int>(hitDamage(attacker, victim, second)));
            int dealt = hp - victim.hp;
            if (dealt >= hp) sum += killWorth(target, hp) + o.relief[target.id];
            else if (killable) sum += (killWorth(target, hp) + o.relief[target.id]) * dealt / hp;
            else sum += dealt * (target.hero ? HERO_HIT_WEIGHT : 1);
            cases++;
        }
    }
    memo = hitChance(attacker, target, special) * sum / cases;
    return memo;
}

// A heal adds a point per update until 30 % of maxHp is gained or hp is
// full. The hero first, then those the enemy can reach.
float healWorth(const Outlook& o, const Unit& patient) {
    int gain = 0;
    while (patient.hp + gain < patient.maxHp && !healComplete(patient.hp + gain, patient.hp, patient.maxHp)) gain++;
    bool front = o.threats->strikerCount(squareOf(patient.row, patient.col)) > 0;
    return gain * (patient.hero ? HERO_HEAL_WEIGHT : front ? FRONT_HEAL_WEIGHT : 1);
}

float defendWorth(const Unit& unit) {
    int healed = std::min(unit.maxHp, static_cast<int>(unit.hp + unit.maxHp * 0.1));
    return (healed - unit.hp) * (wounded(unit) ? WOUNDED_DEFEND_WEIGHT : DEFEND_WEIGHT);
}

struct Option {
    int   entry = MENU_DEFEND;
    Place target{-1, -1};
    float worth = NOTHING;
};

// The best attack, skill, magic or heal the unit could make standing on the
// square, on the enemies its side sees and its wounded friends.
Option bestOption(Outlook& o, const Unit& unit, Place from) {
    Option best;
    const int range = unit.attackRange;
    const bool heals = unit.unitClass == CLASS_HEALER && classActionAllowed(unit);
    for (int r = std::max(0, from.row - range); r <= std::min(mapRows - 1, from.row + range); r++) {
        for (int c = std::max(0, from.col - range); c <= std::min(mapCols - 1, from.col + range); c++) {
            int reach = distance(from, {r, c});
            const Unit* other = o.at(r, c);
            if (reach < 1 || reach > range || !other || other == &unit || !living(*other)) continue;
            auto consider = [&](int entry, float worth) {
                if (worth > best.worth) best = {entry, {r, c}, worth};
            };
            if (other->player != unit.player) {
                if (!other->visible) continue;
                consider(MENU_ATTACK, strikeWorth(o, unit, *other, false));
                if (classActionAllowed(unit) && unit.unitClass != CLASS_HEALER)
                    consider(MENU_CLASS_ACTION, strikeWorth(o, unit, *other, true));
            } else if (heals && other->hp < other->maxHp) {
                consider(MENU_CLASS_ACTION, healWorth(o, *other));
            }
        }
    }
    return best;
}

// One enemy's blow as it may fall on a unit: the chance that it strikes
// this unit and hits, and the damage.
struct Blow {
    const Unit* striker;
    float chance;
    int extra = 0;   // a Skills or Magic blow's extra damage
};

// An enemy strikes with its Skills or Magic where it has them: the extra
// damage costs Fighters and Fliers hardly a roll and the others nothing.
bool strikesSpecial(int unitClass) { return unitClass != CLASS_HEALER; }
constexpr int MEAN_EXTRA = SPECIAL_EXTRA_MAX / 2;

// The chance that the blows bring the unit's hit points to 0 between them;
// each hit's damage as the rules work it out on the hit points left.
float killChance(const Unit& unit, const std::vector<Blow>& blows) {
    std::vector<float> chance(unit.hp + 1);   // by hit points left; 0 for fallen
    chance[unit.hp] = 1;
    Unit victim = unit;
    for (const Blow& blow : blows) {
        std::vector<float> next(unit.hp + 1);
        next[0] = chance[0];
        for (int hp = 1; hp <= unit.hp; hp++) {
            if (chance[hp] == 0) continue;
            victim.hp = hp;
            int left = std::max(0, hp - blowDamage(*blow.striker, victim, blow.extra));
            next[hp] += chance[hp] * (1 - blow.chance);
            next[left] += chance[hp] * blow.chance;
        }
        chance.swap(next);
    }
    return chance[0];
}

// A unit of each class as it starts, for sums that depend on the class alone.
Unit strikerSpecimens[6] = {{}, startingUnit(1), startingUnit(2), startingUnit(3), startingUnit(4), startingUnit(5)};

// What standing where the given enemies (threats by index, in order) can
// strike it may cost the unit in the enemy's next turn: the damage expected,
// and where they could kill it, that chance of losing it. An enemy that can
// strike several of our units is shared out among them, and one we can kill
// this turn counts for half; but the hero is the one the enemy goes for, with
// everything it has.
Peril perilOf(Outlook& o, const Unit& unit, const std::vector<int>& strikers) {
    const ThreatMap& map = *o.threats;
    const int count = static_cast<int>(strikers.size());
    if (count == 0) return {};
    uint64_t crowd = 1469598103934665603ull;
    for (int k = 0; k < count; k++) crowd = (crowd ^ static_cast<uint64_t>(strikers[k])) * 1099511628211ull;
    auto& memo = o.dangerMemo[unit.id];
    for (const auto& [seen, value] : memo)
        if (seen == crowd) return value;

    const int home = squareOf(unit.row, unit.col);
    const int* homeStrikers = map.strikersOf(home);
    const int homeCount = map.strikerCount(home);
    float expected = 0;
    int worst = 0;
    std::vector<Blow> blows;
    for (int k = 0; k < count; k++) {
        int i = strikers[k];
        int cls = map.threats[i].unit->unitClass;
        float& harm = o.harmMemo[o.memoIndex(cls, 0, unit.id)];
        int& hit = o.worstMemo[o.memoIndex(cls, 0, unit.id)];
        if (harm < 0) {
            hit = blowDamage(strikerSpecimens[cls], unit, strikesSpecial(cls) ? MEAN_EXTRA : 0);
            harm = hitChance(strikerSpecimens[cls], unit, strikesSpecial(cls));
        }
        int others = o.exposed[i] - std::binary_search(homeStrikers, homeStrikers + homeCount, i);
        float share = unit.hero ? 1.0f : (o.doomed[i] ? 0.5f : 1.0f) / (1 + others);
        expected += share * harm * hit;
        worst += hit;
        blows.push_back({&strikerSpecimens[cls], share * harm, strikesSpecial(cls) ? MEAN_EXTRA : 0});
    }
    // Enough blows to fell it twice over, on average, leave no doubt.
    float lost = worst < unit.hp ? 0 : expected >= 2 * unit.hp ? 1 : killChance(unit, blows);
    Peril value = unit.hero ? Peril{expected * HERO_HIT_WEIGHT + count * HERO_THREAT, lost * WIN}
                            : Peril{expected * DANGER_WEIGHT, lost * killWorth(unit, unit.hp)};
    memo.emplace_back(crowd, value);
    return value;
}

// The same on a square; `without`: a threat left out, as if our side had felled it first.
Peril danger(Outlook& o, const Unit& unit, int square, int without = -1) {
    const ThreatMap& map = *o.threats;
    const int* all = map.strikersOf(square);
    static std::vector<int> strikers;
    strikers.clear();
    for (int k = 0; k < map.strikerCount(square); k++)
        if (all[k] != without) strikers.push_back(all[k]);
    return perilOf(o, unit, strikers);
}

// How much the danger of a square weighs: fully, but less once neither side
// has struck for a few turns, so that a standoff ends. The hero that must
// fight minds the blows it may take little, but the chance of falling as
// much as ever: no standoff is worth the battle. Only a hero left alone (but
// for Healers) in a standoff, which nobody else can end, takes that chance.
bool standoff(const Outlook& o) { return o.quiet >= 3 * PATIENCE || o.sinceFall >= STALEMATE; }
bool heroMindful(const Outlook& o) { return !o.heroLapses && !(o.heroAlone && standoff(o)); }
float caution(const Outlook& o, const Unit& unit) {
    if (unit.hero && heroMindful(o)) return o.heroFights ? HERO_BOLDNESS : 1;
    if (standoff(o) || (unit.hero && o.heroLapses)) return 0;
    return o.quiet >= PATIENCE ? IMPATIENCE : 1;
}
float lossCaution(const Outlook& o, const Unit& unit) { return unit.hero && heroMindful(o) ? 1 : caution(o, unit); }

Reach heroReach;   // where our hero can go this turn
// What felling each enemy would spare our hero: its danger on the safest
// square it can reach this turn, with that enemy and without. A kill is
// worth that much more; a wound alone spares nothing, since a wounded unit
// strikes as hard.
void weighThreatsToHero(Outlook& o) {
    if (!o.hero) return;
    const Unit& hero = *o.hero;
    if (hero.canAct && hero.movePoints > 0) {
        findOwnReach(hero, heroReach);
    } else {
        const int square = squareOf(placeOf(hero));
        heroReach.stamp++;
        heroReach.squares.assign(1, square);
        heroReach.mark[square] = heroReach.stamp;
        heroReach.cost[square] = 0;
        heroReach.before[square] = -1;
    }
    const float care = caution(o, hero);
    int refuge = heroReach.squares.front();
    auto safest = [&](int without) {
        float least = std::numeric_limits<float>::max();
        for (int square : heroReach.squares) {
            Peril p = danger(o, hero, square, without);
            if (care * p.harm + p.loss < least) {
                least = care * p.harm + p.loss;
                if (without < 0) refuge = square;
            }
        }
        return least;
    };
    const float withAll = safest(-1);
    if (withAll <= 0) return;
    // Our other units keep the way there free, in case nothing they do this turn spares it.
    for (Place step : wayTo(heroReach, refuge)) o.heroWay.push_back(squareOf(step));
    std::vector<bool> near(o.threats->threats.size());
    for (int square : heroReach.squares)
        for (int k = 0; k < o.threats->strikerCount(square); k++) near[o.threats->strikersOf(square)[k]] = true;
    for (size_t i = 0; i < near.size(); i++) {
        const Unit& enemy = *o.threats->threats[i].unit;
        if (near[i] && enemyInView(enemy, o.player)) o.relief[enemy.id] = withAll - safest(static_cast<int>(i));
    }
}

// How near the enemy the way toward it still pays, on foot: the hero stays
// behind the middle of its army, the others may run a little ahead of it.
// A unit keeps with the rest of its army: one that is all the army left
// has nobody to wait for.
float wayFloor(const Outlook& o, const Unit& unit) {
    if (unit.hero) return o.heroFights ? o.armyWay - LEAD : o.armyWay + HERO_BEHIND;
    const float here = footField(o.player, unit.attackRange)[squareOf(placeOf(unit))];
    const bool counted = !wounded(unit) && here < FAR;
    const int others = o.armyCount - counted;
    return others > 0 ? (o.armyWays - (counted ? here : 0)) / others - LEAD : -FAR;
}

// The free squares beside our hero once the unit has left its square for
// the given one (the hero itself counts its own square as free).
int heroRoom(const Outlook& o, const Unit& unit, Place to) {
    const Unit& hero = *o.hero;
    const Place at = &unit == &hero ? to : placeOf(hero);
    int room = 0;
    for (const auto& step : STEPS) {
        Place next{at.row + step[0], at.col + step[1]};
        if (!onMap(next.row, next.col) || (next.row == to.row && next.col == to.col)) continue;
        int id = battleMap[next.row][next.col].occupant;
        room += id == -1 || id == unit.id;
    }
    return room;
}

// The squares near the hero that its side cannot see, on the enemy's side
// of it: an enemy may stand there unseen.
float fogAbout(const std::vector<bool>& seen, const std::vector<float>& field, Place at) {
    const float here = field[squareOf(at)];
    int fog = 0;
    for (int r = std::max(0, at.row - FOG_NEAR); r <= std::min(mapRows - 1, at.row + FOG_NEAR); r++)
        for (int c = std::max(0, at.col - FOG_NEAR); c <= std::min(mapCols - 1, at.col + FOG_NEAR); c++)
            fog += distance(at, {r, c}) <= FOG_NEAR && !seen[squareOf(r, c)] && field[squareOf(r, c)] <= here;
    return FOG_WEIGHT * fog;
}

// A wounded unit gains by standing where a Healer with magic left can mend it next turn.
float shelter(const Outlook& o, const Unit& unit, Place at) {
    if (!wounded(unit)) return 0;
    for (const Unit* healer : allUnits)
        if (healer != &unit && healer->player == o.player && healer->unitClass == CLASS_HEALER &&
            living(*healer) && healer->mp >= 10 && distance(at, placeOf(*healer)) <= HEALER_REACH)
            return FALL_BACK * (unit.maxHp - unit.hp);
    return 0;
}

Reach reach;   // a large grid, reused for every unit looked at

Plan planFor(Outlook& o, Unit& unit) {
    findOwnReach(unit, reach);
    const std::vector<float>& field =
        approachField(o.player, unit.unitClass == CLASS_FLIER, std::clamp(unit.attackRange, 1, 3));
    const std::vector<float>& ruler = footField(o.player, unit.attackRange);
    const float care = caution(o, unit), lossCare = lossCaution(o, unit);
    const float travel = wounded(unit) && !unit.hero ? 0 : TRAVEL_WEIGHT;   // the wounded hold back
    // A long search for an enemy nobody sees: every unit goes its own way.
    const bool scatter = sightings[o.player].empty() && standoff(o);
    const float floor = scatter ? -FAR : wayFloor(o, unit);
    const Place heroAt = o.hero ? placeOf(*o.hero) : Place{-1, -1};
    if (unit.hero && o.seen.empty()) o.seen = squaresInSight(o.player);
    // Whether anything is within the unit's reach this turn, to strike or to heal.
    int top = unit.row, bottom = unit.row, left = unit.col, right = unit.col;
    for (int square : reach.squares) {
        top = std::min(top, square / MAP_LIMIT);
        bottom = std::max(bottom, square / MAP_LIMIT);
        left = std::min(left, square % MAP_LIMIT);
        right = std::max(right, square % MAP_LIMIT);
    }
    const int range = unit.attackRange;
    const bool aims = std::any_of(o.marks.begin(), o.marks.end(), [&](const Unit* mark) {
        return mark != &unit && mark->row >= top - range && mark->row <= bottom + range && mark->col >= left - range &&
               mark->col <= right + range;
    });
    Plan best;
    best.unit = &unit;
    best.score = NOTHING;
    int bestSquare = squareOf(placeOf(unit));
    for (int square : reach.squares) {
        Place at = placeOf(square);
        const Peril peril = danger(o, unit, square);
        float standing = -care * peril.harm - lossCare * peril.loss -
                         travel * (field[square] + std::max(0.0f, floor - ruler[square])) + shelter(o, unit, at) -
                         SHORT_WAY * reach.cost[square];
        if (!scatter) standing -= COHESION * std::max(0, distance(at, o.middle) - GATHERED);
        if (&unit != o.hero && std::find(o.heroWay.begin(), o.heroWay.end(), square) != o.heroWay.end())
            standing -= HERO_WAY;
        if (o.hero && (&unit == o.hero || distance(at, heroAt) <= 1) && heroRoom(o, unit, at) == 0)
            standing -= BOXED_IN;
        if (unit.hero) standing -= care * fogAbout(o.seen, field, at);
        Option option = aims ? bestOption(o, unit, at) : Option();
        if (option.worth <= 0) option = {MENU_DEFEND, {-1, -1}, defendWorth(unit)};
        if (option.worth + standing > best.score) {
            best.entry = option.entry;
            best.target = option.target;
            best.score = option.worth + standing;
            bestSquare = square;
        }
    }
    best.path = wayTo(reach, bestSquare);
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

// The draws of a level that plays by chance: the computer's own, apart from
// the battle's generator, seeded from the battle as it stood at the side's
// first plan, so that the same battle is played the same way again.
std::minstd_rand levelDraws[3];
bool levelDrawsSeeded[3];
int  lapseDrawnTurn[3];
bool lapsing[3];

std::minstd_rand& drawsOf(int player) {
    if (!levelDrawsSeeded[player]) {
        uint32_t seed = 2166136261u;
        auto mix = [&seed](int value) { seed = (seed ^ static_cast<uint32_t>(value)) * 16777619u; };
        mix(player);
        for (const Unit* unit : allUnits) {
            mix(unit->row);
            mix(unit->col);
            mix(unit->hp);
        }
        levelDraws[player].seed(seed);
        levelDrawsSeeded[player] = true;
    }
    return levelDraws[player];
}

Outlook outlookAt(int player, Level level) {
    const LevelSetup& setup = LEVEL_SETUPS[level];
    Outlook o(player, setup.focusFire);
    if (setup.heroLapse > 0) {
        if (lapseDrawnTurn[player] != turnsBegun[player]) {
            lapseDrawnTurn[player] = turnsBegun[player];
            lapsing[player] = std::uniform_int_distribution<int>(1, setup.heroLapse)(drawsOf(player)) == 1;
        }
        o.heroLapses = lapsing[player];
    }
    weighThreatsToHero(o);
    return o;
}

// ---- Playing the rest of the turn out ----

Plan bestPlan(int player, Level level, bool foresee);   // below

// A trial of plans on the board: each unit moved to the end of its way with
// its action spent, its blow, heal or defence taken as it most likely falls
// (a blow hits when at least half the rolls hit), the enemies it fells
// forgotten. Everything is put back when the trial ends.
class Trial {
public:
    explicit Trial(int player) : player_(player), known_(sightings[player]), revision_(knowledgeRevision[player]) {
        for (Unit* unit : allUnits)
            kept_.push_back({unit, unit->row, unit->col, unit->hp, unit->movePoints, unit->canAct, unit->dead});
    }
    ~Trial() {
        for (auto square = squares_.rbegin(); square != squares_.rend(); ++square)
            battleMap[square->first / MAP_LIMIT][square->first % MAP_LIMIT].occupant = square->second;
        for (const Kept& k : kept_) {
            Unit& unit = *k.unit;
            unit.row = k.row;
            unit.col = k.col;
            unit.hp = k.hp;
            unit.movePoints = k.movePoints;
            unit.canAct = k.canAct;
            unit.dead = k.dead;
        }
        sightings[player_] = known_;
        knowledgeRevision[player_] = revision_;
        threatMaps[player_].revision = -1;   // worked out from the trial's board
    }
    Trial(const Trial&) = delete;
    Trial& operator=(const Trial&) = delete;

    // The chance that the plan's blow hits, 1 for a plan without one.
    static float hitsWith(const Plan& plan) {
        if (plan.entry == MENU_DEFEND) return 1;
        const int id = battleMap[plan.target.row][plan.target.col].occupant;
        for (const Unit* other : allUnits)
            if (other->id == id && other->player != plan.unit->player)
                return hitChance(*plan.unit, *other, plan.entry == MENU_CLASS_ACTION);
        return 1;
    }

    // False once the enemy hero has fallen. `hits`: whether a blow lands;
    // by default when at least half the rolls hit.
    bool carryOut(const Plan& plan, int hits = -1) {
        Unit& unit = *plan.unit;
        if (!plan.path.empty()) {
            occupy(unit.row, unit.col, -1);
            unit.row = plan.path.back().row;
            unit.col = plan.path.back().col;
            occupy(unit.row, unit.col, unit.id);
        }
        unit.movePoints = 0;
        unit.canAct = false;
        if (plan.entry == MENU_DEFEND) {
            unit.hp = std::min(unit.maxHp, static_cast<int>(unit.hp + unit.maxHp * 0.1));
            return true;
        }
        Unit* target = nullptr;
        for (Unit* other : allUnits)
            if (other->id == battleMap[plan.target.row][plan.target.col].occupant) target = other;
        if (!target) return true;
        if (target->player == unit.player) {
            int gain = 0;
            while (target->hp + gain < target->maxHp && !healComplete(target->hp + gain, target->hp, target->maxHp)) gain++;
            target->hp += gain;
            return true;
        }
        const bool special = plan.entry == MENU_CLASS_ACTION;
        if (hits == 0 || (hits < 0 && hitChance(unit, *target, special) < 0.5f)) return true;
        target->hp -= blowDamage(unit, *target, special ? MEAN_EXTRA : 0);
        if (target->hp > 0) return true;
        if (target->hero) return false;
        target->dead = true;   // the fallen leave their square
        occupy(target->row, target->col, -1);
        std::vector<Sighting>& known = sightings[player_];
        known.erase(std::remove_if(known.begin(), known.end(), [target](const Sighting& s) { return s.unit == target; }),
                    known.end());
        knowledgeRevision[player_]++;
        return true;
    }

private:
    void occupy(int row, int col, int id) {
        squares_.emplace_back(squareOf(row, col), battleMap[row][col].occupant);
        battleMap[row][col].occupant = id;
    }
    std::vector<std::pair<int, int>> squares_;   // square, its occupant before, in the order changed
    struct Kept {
        Unit* unit;
        int row, col, hp, movePoints;
        bool canAct, dead;
    };
    int player_;
    std::vector<Kept> kept_;
    std::vector<Sighting> known_;
    int revision_;
};

// A plan's worth with what follows it: its score, and the scores of the
// plans the computer would make for the rest of the turn after it, at most
// PLAYED_OUT of them (in a large army the least urgent are left unplayed).
// The first plan's blow is played both ways, hit and miss, each as likely as
// the rolls make it; the later ones as they most likely fall.
// Where the turn leaves our units counts as well: the danger of each, from
// the enemies' reach round our units as they then stand (each plan alone
// weighed it with the others where they stood before), so that a turn that
// opens a way to our hero or leaves a unit alone at the front pays for it.
constexpr int PLAYED_OUT = 10;
float perilAtEnd(int player, Level level) {
    Outlook o = outlookAt(player, level);
    float sum = 0;
    for (Unit* unit : allUnits) {
        if (unit->player != player || !living(*unit)) continue;
        const Peril peril = danger(o, *unit, squareOf(placeOf(*unit)));
        sum += caution(o, *unit) * peril.harm + lossCaution(o, *unit) * peril.loss;
    }
    return sum;
}
float playedOut(int player, Level level, const Plan& first, int hits) {
    Trial trial(player);
    float total = 0;
    if (!trial.carryOut(first, hits)) return WIN;
    for (int played = 0; played < PLAYED_OUT; played++) {
        Plan next = bestPlan(player, level, false);
        if (!next.unit) break;
        total += next.score;
        if (!trial.carryOut(next)) return total + WIN;
    }
    return total - perilAtEnd(player, level);
}
float playedOut(int player, Level level, const Plan& first) {
    const float hits = Trial::hitsWith(first);
    float worth = first.score + hits * playedOut(player, level, first, 1);
    if (hits < 1) worth += (1 - hits) * playedOut(player, level, first, 0);
    return worth;
}

// The best plan of any unit of the player's at the level; `foresee`: with
// the level's foresight (none while a turn is being played out).
Plan bestPlan(int player, Level level, bool foresee) {
    Outlook o = outlookAt(player, level);
    Place cursor{cursorRow, cursorCol};
    std::vector<Plan> plans;
    for (Unit* unit : allUnits) {
        if (!mayAct(*unit, player)) continue;
        plans.push_back(planFor(o, *unit));
        plans.back().score -= CURSOR_WEIGHT * distance(cursor, placeOf(*unit));
    }
    if (plans.empty()) return Plan();
    auto byScore = [](const Plan& a, const Plan& b) { return a.score < b.score; };
    auto best = std::max_element(plans.begin(), plans.end(), byScore);
    const int foresight = foresee ? std::min<int>(LEVEL_SETUPS[level].foresight, plans.size()) : 0;
    if (foresight > 1) {
        // The best few, each with the rest of the turn played out after it.
        std::partial_sort(plans.begin(), plans.begin() + foresight, plans.end(),
                          [](const Plan& a, const Plan& b) { return a.score > b.score; });
        best = plans.begin();
        float bestWorth = NOTHING;
        for (int k = 0; k < foresight; k++) {
            const float worth = playedOut(player, level, plans[k]);
            if (worth > bestWorth) {
                bestWorth = worth;
                best = plans.begin() + k;
            }
        }
        return *best;
    }
    const float spread = LEVEL_SETUPS[level].spread;
    if (spread <= 0) return *best;
    // Any good plan: one within the spread of the best.
    std::vector<const Plan*> good;
    for (const Plan& plan : plans)
        if (plan.score >= best->score - spread) good.push_back(&plan);
    return *good[std::uniform_int_distribution<size_t>(0, good.size() - 1)(drawsOf(player))];
}

}  // namespace

Plan planTurn(int player, Level level) { return bestPlan(player, level, true); }

Plan planUnit(Unit& unit, Level level) {
    Outlook o = outlookAt(unit.player, level);
    return planFor(o, unit);
}

void noteStepTaken(const Unit& unit, Place from) { steppedOff.emplace_back(&unit, squareOf(from)); }

void forgetStepsTaken() { steppedOff.clear(); }

void forgetPlanning() {
    steppedOff.clear();
    for (int player = 1; player <= 2; player++) {
        levelDrawsSeeded[player] = false;
        lapseDrawnTurn[player] = 0;
        threatMaps[player] = ThreatMap();
        for (auto& byKind : fields[player])
            for (Field& field : byKind) field = Field();
    }
}

// Thirty for each of the enemy's blows the unit takes to fall, on average
// over the five classes; five for each row further from the enemy's home
// rows, two for each friend nearer the enemy in the columns about it; less
// the blows the enemies in view could deal it in their first turn (with the
// points they have now, which for player 1's army are its classes' own),
// and a thousand for each hundredth of a chance that they fell it.
Unit* chooseHero(int player) {
    std::vector<bool> ownBlock(SQUARES);
    for (const Unit* unit : allUnits)
        if (unit->player == player) ownBlock[squareOf(unit->row, unit->col)] = true;
    std::vector<Threat> threats;
    for (const Unit* enemy : allUnits)
        if (enemyInView(*enemy, player))
            threats.push_back(threatFrom({enemy, enemy->row, enemy->col, enemy->hp, true}, ownBlock,
                                         std::max(TURN_POINTS, enemy->movePoints)));
    Unit* hero = nullptr;
    float best = NOTHING;
    auto rowsFromEnemy = [player](int row) { return player == 1 ? mapRows - 3 - row : row - 2; };
    for (Unit* unit : allUnits) {
        if (unit->player != player || !living(*unit)) continue;
        float perBlow = 0;
        for (int cls = 1; cls <= 5; cls++) perBlow += expectedDamage(strikerSpecimens[cls], *unit) / 5;
        float worth = 30 * unit->hp / std::max(perBlow, 1.0f) + 5.0f * rowsFromEnemy(unit->row);
        std::vector<Blow> blows;
        const int square = squareOf(unit->row, unit->col);
        for (const Threat& threat : threats)
            if (std::find(threat.strikes.begin(), threat.strikes.end(), square) != threat.strikes.end()) {
                const int cls = threat.unit->unitClass;
                const Unit& striker = strikerSpecimens[cls];
                const int extra = strikesSpecial(cls) ? MEAN_EXTRA : 0;
                blows.push_back({&striker, hitChance(striker, *unit, strikesSpecial(cls)), extra});
                worth -= blows.back().chance * blowDamage(striker, *unit, extra);
            }
        worth -= 100000 * killChance(*unit, blows);
        for (const Unit* friendly : allUnits)
            if (friendly != unit && friendly->player == player && living(*friendly) &&
                std::abs(friendly->col - unit->col) <= 2 && rowsFromEnemy(friendly->row) < rowsFromEnemy(unit->row))
                worth += 2;
        if (worth > best) {
            best = worth;
            hero = unit;
        }
    }
    return hero;
}

Plan greedyPlan(int player) {
    Outlook o(player, false);
    return bestOfUnits(player, [&o, player](Unit& unit) {
        Plan plan;
        plan.unit = &unit;
        auto take = [&plan](const Option& option) {
            if (option.worth <= 0) return false;
            plan.entry = option.entry;
            plan.target = option.target;
            plan.score = option.worth;
            return true;
        };
        if (take(bestOption(o, unit, placeOf(unit)))) return plan;
        // Toward the enemy it would most like to hit, or the middle of the
        // enemy's home rows; then whatever blow that brings in reach.
        Place goal{player == 1 ? mapRows - 2 : 1, mapCols / 2};
        float wanted = NOTHING;
        for (const Unit* enemy : allUnits) {
            if (!enemyInView(*enemy, player)) continue;
            float worth = strikeWorth(o, unit, *enemy, false);
            if (worth > wanted) {
                wanted = worth;
                goal = placeOf(*enemy);
            }
        }
        findOwnReach(unit, reach);
        int end = squareOf(placeOf(unit));
        for (int square : reach.squares)
            if (distance(placeOf(square), goal) < distance(placeOf(end), goal)) end = square;
        plan.path = wayTo(reach, end);
        take(bestOption(o, unit, placeOf(end)));
        return plan;
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
            if (!onMap(next.row, next.col)) continue;
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
            int reachOf = distance(at, {r, c});
            if (reachOf < 1 || reachOf > unit.attackRange || battleMap[r][c].occupant == -1) continue;
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
