// app/net_view.cpp — a side's view of the battle: taken from the game, sent in parts, put on screen
#include "app/net_view.h"

#include <algorithm>
#include <cmath>

#include "app/net_protocol.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"

namespace {

constexpr int MOST_UNITS = 2 * 3 * MAP_LIMIT;   // both armies filling their home rows on the widest map
constexpr int MOST_LISTED = 255;                // numbers, falls, cues in one part
constexpr int BIG = 1 << 30;

enum Part : unsigned { PART_PHASE = 1, PART_CURSOR = 2, PART_BLOW = 4, PART_TOLD = 8 };

// One layout of each part serves both ways: written by Put, read back by Get.
struct Put {
    ByteWriter& out;
    void flag(const bool& value) { out.u8(value); }
    void whole(const int& value, int, int) { out.u32(static_cast<uint32_t>(value)); }
    void small(int value, int, int) { out.u8(static_cast<unsigned>(value)); }
    void real(const float& value) { out.f32(value); }
    void point(const Vector& value) {
        real(value.x);
        real(value.y);
        real(value.z);
    }
};

struct Get {
    ByteReader& in;
    void flag(bool& value) { value = in.flag(); }
    void whole(int& value, int lo, int hi) {
        value = static_cast<int32_t>(in.u32());
        if (value < lo || value > hi) in.fail();
    }
    void small(int& value, int lo, int hi) { value = in.whole(lo, hi, false); }
    void real(float& value) { value = in.f32(); }
    void point(Vector& value) {
        real(value.x);
        real(value.y);
        real(value.z);
    }
};

template <class IO, class V> void phaseLayout(IO& io, V& v) {
    io.small(v.currentPlayer, 1, 2);
    io.flag(v.choosingHeroes);
    io.flag(v.p1ChoosingHero);
    io.flag(v.p2ChoosingHero);
    io.small(v.materialBrowse, 0, MATERIAL_COUNT + 1);
    io.small(v.p1Material, 0, MATERIAL_COUNT + 1);
    io.small(v.p2Material, 0, MATERIAL_COUNT + 1);
    io.flag(v.bannerP1BeginTurn);
    io.flag(v.bannerP1EndTurn);
    io.flag(v.bannerP2BeginTurn);
    io.flag(v.bannerP2EndTurn);
    io.flag(v.bannerP1Wins);
    io.flag(v.bannerP2Wins);
    io.real(v.bannerSeconds);
    io.real(v.victorySeconds);
    io.flag(v.firstTurn);
    io.flag(v.afterVictory);
    io.whole(v.battlesStarted, 0, BIG);
    io.small(v.waitingFor, 0, 3);
    io.whole(v.commandsTaken, 0, BIG);
}

template <class IO, class V> void cursorLayout(IO& io, V& v) {
    io.flag(v.cursorShown);
    io.small(v.cursorRow, 0, MAP_LIMIT - 1);
    io.small(v.cursorCol, 0, MAP_LIMIT - 1);
    io.whole(v.cursorUnitId, -1, MOST_UNITS - 1);
    io.small(v.menuItem, 1, 4);
    io.flag(v.cursorOnUnit);
    io.flag(v.choosingMove);
    io.flag(v.moveTargetValid);
    io.flag(v.moveAnimating);
    io.flag(v.choosingTarget);
    io.flag(v.attackTargetValid);
    io.flag(v.healChosen);
    io.flag(v.specialChosen);
    io.flag(v.missShown);
    io.whole(v.selected, -1, MOST_UNITS - 1);
    io.whole(v.target, -1, MOST_UNITS - 1);
}

template <class IO, class V> void blowLayout(IO& io, V& v) {
    io.flag(v.attackAnimating);
    io.flag(v.attackMissed);
    io.point(v.aimPoint);
    io.point(v.boltPosition);
    io.flag(v.boltActive);
    io.small(v.particleStyle, 0, 2);
    io.whole(v.actionCounter, 0, BIG);
    io.real(v.spellScale);
    io.small(v.volleyState, 0, 1);
    io.small(v.volleyReleased, 0, VOLLEY_TRAIL);
    io.point(v.volleyArrow);
    io.point(v.volleyStart);
    io.point(v.volleyEnd);
    io.real(v.volleyFlightTime);
    io.real(v.volleyFirstAge);
    io.real(v.lungePhase);
    io.point(v.lungeCurrent);
    io.small(v.lungeMode, 0, 2);
    io.whole(v.lungeDrawCount, 0, BIG);
}

template <class IO, class V> void unitLayout(IO& io, V& u) {
    io.whole(u.id, 0, MOST_UNITS - 1);
    io.small(u.unitClass, CLASS_ARCHER, CLASS_MAGE);
    io.small(u.player, 1, 2);
    io.small(u.row, 0, MAP_LIMIT - 1);
    io.small(u.col, 0, MAP_LIMIT - 1);
    io.point(u.position);
    io.real(u.facing);
    io.whole(u.hp, -BIG, BIG);
    io.whole(u.mp, 0, BIG);
    io.whole(u.movePoints, 0, BIG);
    io.flag(u.canAct);
    io.flag(u.defending);
    io.flag(u.dead);
    io.flag(u.hero);
    io.flag(u.menuOpen);
}

template <class IO, class V> void numberLayout(IO& io, V& n) {
    io.point(n.at);
    io.whole(n.amount, -BIG, BIG);
    io.flag(n.heal);
    io.flag(n.killed);
    io.whole(n.unitId, 0, MOST_UNITS - 1);
    io.real(n.age);
}

template <class IO, class V> void fallLayout(IO& io, V& f) {
    io.whole(f.unitId, 0, MOST_UNITS - 1);
    io.real(f.age);
}

void cueLayout(Put& io, const CueEvent& c) {
    io.small(c.cue, CUE_STEP, CUE_MENU_CHOOSE);
    io.point(c.where);
    io.whole(c.detail, 0, 9);
}

void cueLayout(Get& io, CueEvent& c) {
    int cue = 0;
    io.small(cue, CUE_STEP, CUE_MENU_CHOOSE);
    c.cue = static_cast<Cue>(cue);
    io.point(c.where);
    io.whole(c.detail, 0, 9);
}

template <class T, class F> std::string encoded(const T& value, F layout) {
    ByteWriter out;
    Put put{out};
    layout(put, value);
    return out.bytes;
}

// A part read back whole, nothing short and nothing over.
template <class T, class F> bool decoded(const std::string& bytes, T& value, F layout) {
    ByteReader in(bytes.data(), bytes.size());
    Get get{in};
    layout(get, value);
    return in.finished();
}

std::string toldBytes(const BattleView& v) {
    ByteWriter out;
    Put put{out};
    out.u8(static_cast<unsigned>(v.numbers.size()));
    for (const FloatingNumber& n : v.numbers) numberLayout(put, n);
    out.u8(static_cast<unsigned>(v.falls.size()));
    for (const FallingUnit& f : v.falls) fallLayout(put, f);
    out.text(v.notice);
    put.real(v.noticeSeconds);
    return out.bytes;
}

bool readTold(const std::string& bytes, BattleView& v) {
    ByteReader in(bytes.data(), bytes.size());
    Get get{in};
    v.numbers.resize(in.u8());
    for (FloatingNumber& n : v.numbers) numberLayout(get, n);
    v.falls.resize(in.u8());
    for (FallingUnit& f : v.falls) fallLayout(get, f);
    v.notice = in.text(200);
    get.real(v.noticeSeconds);
    for (char c : v.notice)
        if (c < 0x20 || c > 0x7e) in.fail();
    return in.finished();
}

// A probe standing at a spot, to ask the rules' sight about it.
Unit probeAt(const Vector& where) {
    Unit probe;
    probe.position = where;
    return probe;
}

bool spotSeenBy(int side, const Vector& where) {
    const Unit probe = probeAt(where);
    for (const Unit* unit : allUnits)
        if (unit->player == side && inSight(*unit, probe)) return true;
    return false;
}

bool isFalling(int id) {
    return std::any_of(fallingUnits.begin(), fallingUnits.end(), [id](const FallingUnit& f) { return f.unitId == id; });
}

// The units of the view: the side's own, every living enemy it sees, and a
// fallen one it sees while it falls.
bool inView(int side, const Unit& unit) {
    if (unit.player == side) return true;
    return (!unit.dead || isFalling(unit.id)) && seenBy(side, unit);
}

UnitView unitView(const Unit& unit) {
    UnitView u;
    u.id = unit.id;
    u.unitClass = unit.unitClass;
    u.player = unit.player;
    u.row = unit.row;
    u.col = unit.col;
    u.position = unit.position;
    u.facing = unit.facing;
    u.hp = unit.hp;
    u.mp = unit.mp;
    u.movePoints = unit.movePoints;
    u.canAct = unit.canAct;
    u.defending = unit.defending;
    u.dead = unit.dead;
    u.hero = unit.hero;
    u.menuOpen = unit.menuOpen;
    return u;
}

void captureBlow(BattleView& v) {
    v.attackAnimating = attackAnimating;
    v.attackMissed = attackMissed;
    v.aimPoint = aimPoint;
    v.boltPosition = boltPosition;
    v.boltActive = boltActive;
    v.particleStyle = particleStyle;
    v.actionCounter = actionCounter;
    v.spellScale = spellScale;
    v.volleyState = arrowVolley.state;
    v.volleyReleased = arrowVolley.released;
    v.volleyArrow = arrowVolley.arrow;
    v.volleyStart = arrowVolley.start;
    v.volleyEnd = arrowVolley.end;
    v.volleyFlightTime = arrowVolley.flightTime;
    v.volleyFirstAge = arrowVolley.trailAge[0];
    v.lungePhase = lungeEffect.phase;
    v.lungeCurrent = lungeEffect.current;
    v.lungeMode = lungeEffect.mode;
    v.lungeDrawCount = lungeEffect.drawCount;
}

// ---- The joining side's screen ----

template <class T> void enlist(Unit* unit, std::vector<T*>& player1, std::vector<T*>& player2) {
    (unit->player == 1 ? player1 : player2).push_back(static_cast<T*>(unit));
}

Unit* build(const UnitView& u) {
    const Vector& at = u.position;
    switch (u.unitClass) {
        case CLASS_ARCHER: return new Archer(at.x, at.y, at.z, u.player);
        case CLASS_FIGHTER: return new Fighter(at.x, at.y, at.z, u.player);
        case CLASS_FLIER: return new Flier(at.x, at.y, at.z, u.player);
        case CLASS_HEALER: return new Healer(at.x, at.y, at.z, u.player);
        default: return new Mage(at.x, at.y, at.z, u.player);
    }
}

void listByClass(Unit* unit) {
    switch (unit->unitClass) {
        case CLASS_ARCHER: enlist(unit, p1Archers, p2Archers); break;
        case CLASS_FIGHTER: enlist(unit, p1Fighters, p2Fighters); break;
        case CLASS_FLIER: enlist(unit, p1Fliers, p2Fliers); break;
        case CLASS_HEALER: enlist(unit, p1Healers, p2Healers); break;
        default: enlist(unit, p1Mages, p2Mages); break;
    }
}

void clearClassLists() {
    p1Archers.clear(), p2Archers.clear(), p1Fighters.clear(), p2Fighters.clear(), p1Fliers.clear();
    p2Fliers.clear(), p1Healers.clear(), p2Healers.clear(), p1Mages.clear(), p2Mages.clear();
}

// Where the selected and target units point while the side sees neither.
Unit nobodySelected, nobodyTargeted;

// The volley's trail as the host flies it, but for the sideways drift, which
// only shows: each arrow left one tick after the one before it.
void flyTrail(const BattleView& v) {
    ArrowVolley& volley = arrowVolley;
    const float tick = 1.0f / 60;
    const Vector direction = normalize(v.volleyEnd - v.volleyStart);
    const float half = v.volleyFlightTime / 2;
    for (int i = 0; i < VOLLEY_TRAIL; i++) {
        const float age = v.volleyFirstAge - i * tick;
        volley.trailAge[i] = std::max(0.0f, age);
        volley.trailLive[i] = i < v.volleyReleased && age < v.volleyFlightTime;
        Vector p = v.volleyStart;
        for (float a = tick; a <= age + tick / 2 && a < v.volleyFlightTime; a += tick) {
            p.x += direction.x * 1.5f * tick;
            p.z += direction.z * 1.5f * tick;
            p.y += (half - a) * tick * 3.0f;   // up, then down past the top of the arc
        }
        volley.trail[i] = p;
    }
}

void showBlow(const BattleView& v) {
    static float lastScale = 0;
    static bool lastBolt = false;
    attackAnimating = v.attackAnimating;
    attackMissed = v.attackMissed;
    aimPoint = v.aimPoint;
    boltPosition = v.boltPosition;
    // The explosion bursts afresh when the bolt arrives and at each new stage.
    if ((lastBolt && !v.boltActive) || v.spellScale < lastScale)
        for (Particle& p : particles) resetParticle(p);
    lastBolt = boltActive = v.boltActive;
    lastScale = spellScale = v.spellScale;
    particleStyle = v.particleStyle;
    actionCounter = v.actionCounter;
    arrowVolley.state = v.volleyState;
    arrowVolley.released = v.volleyReleased;
    arrowVolley.arrow = v.volleyArrow;
    arrowVolley.start = v.volleyStart;
    arrowVolley.end = v.volleyEnd;
    arrowVolley.flightTime = v.volleyFlightTime;
    if (v.attackAnimating) flyTrail(v);
    lungeEffect.phase = v.lungePhase;
    lungeEffect.current = v.lungeCurrent;
    lungeEffect.mode = v.lungeMode;
    lungeEffect.drawCount = v.lungeDrawCount;
}

std::string waitingLine(int waitingFor) {
    if (waitingFor == 3) return "WAITING FOR PLAYERS 1 AND 2";
    return "WAITING FOR PLAYER " + std::to_string(waitingFor == 1 ? 1 : 2);
}

}  // namespace

bool seenBy(int side, const Unit& unit) {
    if (unit.player == side) return true;
    for (const Unit* observer : allUnits)
        if (observer->player == side && inSight(*observer, unit)) return true;
    return false;
}

BattleView captureView(int side) {
    BattleView v;
    v.currentPlayer = currentPlayer;
    v.choosingHeroes = choosingHeroes;
    v.p1ChoosingHero = p1ChoosingHero;
    v.p2ChoosingHero = p2ChoosingHero;
    v.materialBrowse = materialBrowse;
    v.p1Material = p1Material;
    v.p2Material = p2Material;
    v.bannerP1BeginTurn = bannerP1BeginTurn;
    v.bannerP1EndTurn = bannerP1EndTurn;
    v.bannerP2BeginTurn = bannerP2BeginTurn;
    v.bannerP2EndTurn = bannerP2EndTurn;
    v.bannerP1Wins = bannerP1Wins;
    v.bannerP2Wins = bannerP2Wins;
    v.bannerSeconds = bannerSeconds;
    v.victorySeconds = victorySeconds;
    v.firstTurn = firstTurn;
    v.afterVictory = afterVictory;
    v.battlesStarted = battlesStarted;

    for (const Unit* unit : allUnits)
        if (inView(side, *unit)) v.units.push_back(unitView(*unit));
    auto viewed = [&v](int id) {
        return std::any_of(v.units.begin(), v.units.end(), [id](const UnitView& u) { return u.id == id; });
    };
    // A unit the side sees that is selected or struck; the placeholders of
    // start-up are in no army and so never in a view.
    v.selected = selectedUnit->player && viewed(selectedUnit->id) ? selectedUnit->id : -1;
    v.target = targetUnit->player && viewed(targetUnit->id) ? targetUnit->id : -1;

    const bool own = activeSide() == side;
    v.cursorShown = own || spotSeenBy(side, battleMap[cursorRow][cursorCol].centre);
    if (v.cursorShown) {
        v.cursorRow = cursorRow;
        v.cursorCol = cursorCol;
        v.cursorOnUnit = cursorOnUnit;
    }
    if (own || v.selected >= 0) {
        v.cursorUnitId = v.cursorShown && viewed(cursorUnitId) ? cursorUnitId : -1;
        v.menuItem = menuItem;
        v.choosingMove = choosingMove;
        v.moveTargetValid = moveTargetValid;
        v.moveAnimating = moveAnimating;
        v.choosingTarget = choosingTarget;
        v.attackTargetValid = attackTargetValid;
        v.healChosen = healChosen;
        v.specialChosen = specialChosen;
    }
    // The blow's effects are the acting unit's: the side sees them when it
    // sees that unit; the struck unit's shaking and numbers are its own.
    if (attackAnimating ? v.selected >= 0 : own || v.selected >= 0) v.missShown = missShown;
    if (attackAnimating && v.selected >= 0) captureBlow(v);
    for (const FloatingNumber& n : floatingNumbers)
        if (viewed(n.unitId)) v.numbers.push_back(n);
    for (const FallingUnit& f : fallingUnits)
        if (viewed(f.unitId)) v.falls.push_back(f);
    if (v.numbers.size() > MOST_LISTED) v.numbers.resize(MOST_LISTED);
    if (v.falls.size() > MOST_LISTED) v.falls.resize(MOST_LISTED);
    if (own && noticeSeconds > 0 && notice) {
        v.notice = notice;
        v.noticeSeconds = noticeSeconds;
    }
    return v;
}

std::vector<CueEvent> cuesHeardBy(int side, const std::vector<CueEvent>& cues) {
    std::vector<CueEvent> heard;
    const bool own = activeSide() == side || (selectedUnit->player && seenBy(side, *selectedUnit));
    for (const CueEvent& event : cues) {
        const bool fromScreen = event.cue == CUE_BANNER || event.cue == CUE_VICTORY;
        const bool menu = event.cue == CUE_MENU_MOVE || event.cue == CUE_MENU_CHOOSE;
        if (fromScreen || (menu && own) || (!menu && spotSeenBy(side, event.where))) heard.push_back(event);
    }
    return heard;
}

ViewParts viewParts(const BattleView& view) {
    ViewParts parts;
    parts.phase = encoded(view, [](Put& io, const BattleView& v) { phaseLayout(io, v); });
    parts.cursor = encoded(view, [](Put& io, const BattleView& v) { cursorLayout(io, v); });
    if (view.attackAnimating) parts.blow = encoded(view, [](Put& io, const BattleView& v) { blowLayout(io, v); });
    parts.told = toldBytes(view);
    for (const UnitView& unit : view.units)
        parts.units[unit.id] = encoded(unit, [](Put& io, const UnitView& u) { unitLayout(io, u); });
    return parts;
}

// MSG_VIEW, a byte of the parts that follow, each part's bytes, the units
// that changed (their count, then each), the ids of those gone (their count,
// then each), the cues (their count, then each).
std::string viewMessage(const ViewParts& before, const ViewParts& after, const std::vector<CueEvent>& cues) {
    ByteWriter out;
    out.u8(MSG_VIEW);
    unsigned changed = 0;
    const std::string* parts[] = {&after.phase, &after.cursor, &after.blow, &after.told};
    const std::string* old[] = {&before.phase, &before.cursor, &before.blow, &before.told};
    for (int i = 0; i < 4; i++)
        if (*parts[i] != *old[i]) changed |= 1u << i;
    out.u8(changed);
    for (int i = 0; i < 4; i++)
        if (changed & 1u << i) out.text(*parts[i]);
    std::vector<const std::string*> moved;
    for (const auto& [id, bytes] : after.units) {
        auto was = before.units.find(id);
        if (was == before.units.end() || was->second != bytes) moved.push_back(&bytes);
    }
    std::vector<int> gone;
    for (const auto& [id, bytes] : before.units)
        if (!after.units.count(id)) gone.push_back(id);
    const size_t cueCount = std::min(cues.size(), static_cast<size_t>(MOST_LISTED));
    if (!changed && moved.empty() && gone.empty() && cueCount == 0) return "";
    out.u16(static_cast<unsigned>(moved.size()));
    for (const std::string* bytes : moved) out.bytes += *bytes;
    out.u16(static_cast<unsigned>(gone.size()));
    for (int id : gone) out.u16(static_cast<unsigned>(id));
    out.u8(static_cast<unsigned>(cueCount));
    Put put{out};
    for (size_t i = 0; i < cueCount; i++) cueLayout(put, cues[i]);
    return out.bytes;
}

bool takeViewMessage(const std::string& message, int rows, int cols, ViewParts& parts, BattleView& view,
                     std::vector<CueEvent>& cues) {
    ByteReader in(message.data(), message.size());
    if (in.u8() != MSG_VIEW) return false;
    ViewParts next = parts;
    const unsigned changed = in.u8();
    if (changed > 15) return false;
    std::string* slots[] = {&next.phase, &next.cursor, &next.blow, &next.told};
    for (int i = 0; i < 4; i++)
        if (changed & 1u << i) *slots[i] = in.text(1u << 16);
    const unsigned moved = in.u16();
    static const size_t UNIT_BYTES = encoded(UnitView(), [](Put& io, const UnitView& u) { unitLayout(io, u); }).size();
    for (unsigned i = 0; in.ok() && i < moved; i++) {
        std::string bytes;
        for (size_t b = 0; b < UNIT_BYTES; b++) bytes += static_cast<char>(in.u8());
        UnitView unit;
        if (!in.ok() || !decoded(bytes, unit, [](Get& io, UnitView& u) { unitLayout(io, u); })) return false;
        next.units[unit.id] = bytes;
    }
    const unsigned gone = in.u16();
    for (unsigned i = 0; in.ok() && i < gone; i++)
        if (!next.units.erase(static_cast<int>(in.u16()))) return false;
    std::vector<CueEvent> heard(in.u8());
    Get get{in};
    for (CueEvent& event : heard) cueLayout(get, event);
    if (!in.finished() || next.units.size() > static_cast<size_t>(MOST_UNITS)) return false;

    BattleView read;
    if (!decoded(next.phase, read, [](Get& io, BattleView& v) { phaseLayout(io, v); }) ||
        !decoded(next.cursor, read, [](Get& io, BattleView& v) { cursorLayout(io, v); }) ||
        (!next.blow.empty() &&
         (!decoded(next.blow, read, [](Get& io, BattleView& v) { blowLayout(io, v); }) || !read.attackAnimating)) ||
        !readTold(next.told, read))
        return false;
    if (read.cursorRow >= rows || read.cursorCol >= cols) return false;
    for (const auto& [id, bytes] : next.units) {
        UnitView unit;
        decoded(bytes, unit, [](Get& io, UnitView& u) { unitLayout(io, u); });
        if (unit.row >= rows || unit.col >= cols) return false;
        read.units.push_back(unit);
    }
    parts = next;
    view = read;
    cues.insert(cues.end(), heard.begin(), heard.end());
    return true;
}

void showView(const BattleView& v, int side) {
    battleRunElsewhere = true;
    personSide = side;
    currentPlayer = v.currentPlayer;
    choosingHeroes = v.choosingHeroes;
    p1ChoosingHero = v.p1ChoosingHero;
    p2ChoosingHero = v.p2ChoosingHero;
    materialBrowse = v.materialBrowse;
    p1Material = v.p1Material;
    p2Material = v.p2Material;
    bannerP1BeginTurn = v.bannerP1BeginTurn;
    bannerP1EndTurn = v.bannerP1EndTurn;
    bannerP2BeginTurn = v.bannerP2BeginTurn;
    bannerP2EndTurn = v.bannerP2EndTurn;
    bannerP1Wins = v.bannerP1Wins;
    bannerP2Wins = v.bannerP2Wins;
    bannerSeconds = v.bannerSeconds;
    victorySeconds = v.victorySeconds;
    firstTurn = v.firstTurn;
    afterVictory = v.afterVictory;
    battlesStarted = v.battlesStarted;

    // The units kept from the last view where the same unit comes again.
    std::map<int, Unit*> kept;
    for (Unit* unit : allUnits) kept[unit->id] = unit;
    std::vector<Unit*> units;
    for (const UnitView& u : v.units) {
        Unit* unit = nullptr;
        auto found = kept.find(u.id);
        if (found != kept.end() && found->second->unitClass == u.unitClass && found->second->player == u.player) {
            unit = found->second;
            kept.erase(found);
        } else {
            unit = build(u);
        }
        unit->id = u.id;
        unit->row = u.row;
        unit->col = u.col;
        unit->position = u.position;
        unit->facing = u.facing;
        unit->hp = u.hp;
        unit->mp = u.mp;
        unit->movePoints = u.movePoints;
        unit->canAct = u.canAct;
        unit->defending = u.defending;
        unit->dead = u.dead;
        unit->hero = u.hero;
        unit->menuOpen = u.menuOpen;
        unit->visible = true;
        units.push_back(unit);
    }
    for (auto& [id, unit] : kept) releaseUnit(unit);
    allUnits = units;
    clearClassLists();
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) battleMap[r][c].occupant = -1;
    selectedUnit = &nobodySelected;
    targetUnit = &nobodyTargeted;
    for (Unit* unit : allUnits) {
        listByClass(unit);
        if (!unit->dead) battleMap[unit->row][unit->col].occupant = unit->id;
        if (unit->id == v.selected) selectedUnit = unit;
        if (unit->id == v.target) targetUnit = unit;
    }

    cursorShown = v.cursorShown;
    cursorRow = v.cursorRow;
    cursorCol = v.cursorCol;
    cursorUnitId = v.cursorUnitId;
    cursorOnUnit = v.cursorOnUnit;
    menuItem = v.menuItem;
    choosingMove = v.choosingMove;
    moveTargetValid = v.moveTargetValid;
    moveAnimating = v.moveAnimating;
    choosingTarget = v.choosingTarget;
    attackTargetValid = v.attackTargetValid;
    healChosen = v.healChosen;
    specialChosen = v.specialChosen;
    missShown = v.missShown;
    showBlow(v);

    floatingNumbers = v.numbers;
    fallingUnits = v.falls;
    static std::string shownNotice;
    shownNotice = v.waitingFor ? waitingLine(v.waitingFor) : v.notice;
    notice = shownNotice.c_str();
    noticeSeconds = v.waitingFor ? NOTICE_SECONDS : v.noticeSeconds;
    battleRevision++;   // what the side sees has changed: the guides work it out again
}
