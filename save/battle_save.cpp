// save/battle_save.cpp — the battle taken from the game and put back, as text, on disk, resumed
//
// The file is read strictly, line by line in the order it is written; the
// first thing that is not as written, or that no battle could come to, is
// the one problem reported. Nothing reaches the game before the whole file
// has been read.
#include "save/battle_save.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "game/battle_map.h"
#include "game/random.h"
#include "game/looks.h"
#include "rules/behaviour.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"

const char* const SAVE_FILE = "kestrava-save.txt";
int keptRevision = 0;

namespace {

using B = SavedBattle;

const char* const FORMAT_LINE = "kestrava-save version=1";
constexpr int MOST_UNITS = 2 * 3 * MAP_LIMIT;   // both armies filling their home rows on the widest map
constexpr int LOWEST_HP = -1000000;             // far below any battle, far from overflowing a blow
const char* const CLASS_NAMES[] = {"archer", "fighter", "flier", "healer", "mage"};

// One name=value of a line, held in a member of the record R: a whole number
// in lo…hi (written as a name when names is set), a real number, or a flag
// written 0 or 1. A field of the battle's own lines also points at the game's
// variable it is taken from and put back into.
template <class R> struct Field {
    const char* name;
    int R::*whole;
    float R::*real;
    bool R::*flag;
    int* wholeAt;
    float* realAt;
    bool* flagAt;
    int lo, hi;
    const char* const* names;
};

template <class R> Field<R> whole(const char* name, int R::*member, int lo, int hi, int* at = nullptr) {
    return {name, member, nullptr, nullptr, at, nullptr, nullptr, lo, hi, nullptr};
}
template <class R> Field<R> real(const char* name, float R::*member, float* at = nullptr) {
    return {name, nullptr, member, nullptr, nullptr, at, nullptr, 0, 0, nullptr};
}
template <class R> Field<R> flag(const char* name, bool R::*member, bool* at = nullptr) {
    return {name, nullptr, nullptr, member, nullptr, nullptr, at, 0, 1, nullptr};
}
Field<Unit> className() {
    Field<Unit> field = whole("class", &Unit::unitClass, CLASS_ARCHER, CLASS_MAGE);
    field.names = CLASS_NAMES;
    return field;
}

template <class R> struct Layout {
    const char* keyword;
    std::vector<Field<R>> fields;
};

const Layout<B> MAP_LINE = {"map", {whole("rows", &B::rows, 7, MAP_LIMIT, &mapRows),
                                    whole("cols", &B::cols, 2, MAP_LIMIT, &mapCols)}};

// The lines between the terrain and the generator, in file order. Squares,
// here and on the unit lines, are held against the map once it is known, so
// rows and columns take any whole number at first.
const Layout<B> STATE_LINES[] = {
    {"turn", {whole("player", &B::currentPlayer, 1, 2, &currentPlayer)}},
    {"banners",
     {flag("p1Begin", &B::p1BeginTurn, &bannerP1BeginTurn), flag("p1End", &B::p1EndTurn, &bannerP1EndTurn),
      flag("p2Begin", &B::p2BeginTurn, &bannerP2BeginTurn), flag("p2End", &B::p2EndTurn, &bannerP2EndTurn),
      flag("p1Wins", &B::p1Wins, &bannerP1Wins), flag("p2Wins", &B::p2Wins, &bannerP2Wins),
      real("seconds", &B::bannerSeconds, &bannerSeconds)}},
    // Presets 1–16; 0 and 17 show none.
    {"looks",
     {whole("p1Material", &B::p1Material, 0, MATERIAL_COUNT + 1, &p1Material),
      whole("p2Material", &B::p2Material, 0, MATERIAL_COUNT + 1, &p2Material),
      whole("backdrop", &B::skyChoice, 0, 5, &skyChoice)}},
    {"cursor",
     {whole("row", &B::cursorRow, INT_MIN, INT_MAX, &cursorRow),
      whole("col", &B::cursorCol, INT_MIN, INT_MAX, &cursorCol), flag("onUnit", &B::cursorOnUnit, &cursorOnUnit),
      whole("unitId", &B::cursorUnitId, -1, MOST_UNITS - 1, &cursorUnitId),
      whole("menuItem", &B::menuItem, 1, 4, &menuItem), flag("missShown", &B::missShown, &missShown)}},
    {"choice",
     {flag("move", &B::choosingMove, &choosingMove), flag("moveValid", &B::moveTargetValid, &moveTargetValid),
      flag("target", &B::choosingTarget, &choosingTarget),
      flag("targetValid", &B::attackTargetValid, &attackTargetValid), flag("heal", &B::healChosen, &healChosen),
      flag("special", &B::specialChosen, &specialChosen)}},
    {"carry",
     {whole("actionCounter", &B::actionCounter, 0, INT_MAX, &actionCounter),
      real("lungeBack", &B::lungeBackTime, &lungeEffect.backTime),
      real("lungeTravelled", &B::lungeTravelled, &lungeEffect.travelled)}},
};

const Layout<B> UNITS_LINE = {"units", {whole("count", &B::unitCount, 1, MOST_UNITS),
                                        whole("selected", &B::selected, -1, MOST_UNITS - 1),
                                        whole("target", &B::target, -1, MOST_UNITS - 1)}};

// Followed on the line by the unit's position, x= y= z=.
const Layout<Unit> UNIT_LINE = {
    "unit",
    {whole("id", &Unit::id, INT_MIN, INT_MAX), className(), whole("player", &Unit::player, 1, 2),
     whole("row", &Unit::row, INT_MIN, INT_MAX), whole("col", &Unit::col, INT_MIN, INT_MAX),
     whole("hp", &Unit::hp, LOWEST_HP, INT_MAX), whole("mp", &Unit::mp, 0, INT_MAX),
     whole("move", &Unit::movePoints, 0, INT_MAX), flag("canAct", &Unit::canAct),
     flag("defending", &Unit::defending), flag("dead", &Unit::dead), flag("hero", &Unit::hero),
     flag("menu", &Unit::menuOpen), real("facing", &Unit::facing)}};

template <class R> void copyFields(const Layout<R>& layout, const R& from, R& to) {
    for (const Field<R>& f : layout.fields) {
        if (f.whole) to.*f.whole = from.*f.whole;
        if (f.real) to.*f.real = from.*f.real;
        if (f.flag) to.*f.flag = from.*f.flag;
    }
}

void takeFromGame(const Layout<B>& layout, B& b) {
    for (const Field<B>& f : layout.fields) {
        if (f.wholeAt) b.*f.whole = *f.wholeAt;
        if (f.realAt) b.*f.real = *f.realAt;
        if (f.flagAt) b.*f.flag = *f.flagAt;
    }
}

void putIntoGame(const Layout<B>& layout, const B& b) {
    for (const Field<B>& f : layout.fields) {
        if (f.wholeAt) *f.wholeAt = b.*f.whole;
        if (f.realAt) *f.realAt = b.*f.real;
        if (f.flagAt) *f.flagAt = b.*f.flag;
    }
}

template <class R> void writeLine(std::ostream& out, const Layout<R>& layout, const R& record) {
    out << layout.keyword;
    for (const Field<R>& f : layout.fields) {
        out << ' ' << f.name << '=';
        if (f.names)
            out << f.names[record.*f.whole - f.lo];
        else if (f.whole)
            out << record.*f.whole;
        else if (f.real)
            out << record.*f.real;
        else
            out << (record.*f.flag ? 1 : 0);
    }
}

std::string squareText(int row, int col) { return "row " + std::to_string(row) + ", column " + std::to_string(col); }

class SaveReader {
public:
    std::string problem;

    explicit SaveReader(std::istream& in) {
        for (std::string text; std::getline(in, text);) lines.push_back(text);
    }

    // Keeps the first problem only; later ones follow from it.
    bool fail(const std::string& what) {
        if (problem.empty()) problem = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    }
    bool failAtNext(const std::string& what) {
        lineNumber = static_cast<int>(next) + 1;
        return fail(what);
    }
    bool failWhole(const std::string& what) {
        if (problem.empty()) problem = what;
        return false;
    }

    // The first line names this format, the last is "end": anything else is
    // another file, another version, or a save cut short.
    bool framed() {
        if (lines.empty()) return failWhole("it is empty");
        lineNumber = 1;
        if (lines.front() != FORMAT_LINE)
            return fail("unknown format or version \"" + lines.front() + "\", not \"" + FORMAT_LINE + "\"");
        if (lines.back() != "end") return failWhole("it is cut short: its last line is not \"end\"");
        return true;
    }

    bool nextIs(const char* keyword) const {
        if (next >= lines.size()) return false;
        std::istringstream words(lines[next]);
        std::string first;
        return words >> first && first == keyword;
    }

    // Moves on to the next line, which must begin with keyword.
    bool enter(const char* keyword) {
        lineNumber = static_cast<int>(next) + 1;
        tokens.clear();
        if (next < lines.size()) {
            std::istringstream words(lines[next]);
            for (std::string word; words >> word;) tokens.push_back(word);
        }
        next++;
        taken = 1;
        if (tokens.empty() || tokens[0] != keyword)
            return fail(std::string("expected \"") + keyword + "\", found \"" +
                        (tokens.empty() ? std::string() : tokens[0]) + "\"");
        return true;
    }

    bool done() { return taken >= tokens.size() || fail("unexpected \"" + tokens[taken] + "\" at the end"); }

    bool finished() {
        return enter("end") && done() && (next >= lines.size() || failAtNext("lines follow \"end\""));
    }

    bool bare(std::string& text) {
        if (taken >= tokens.size()) return fail("the line ends early");
        text = tokens[taken++];
        return true;
    }

    // The next name=value of the line.
    bool value(const char* name, std::string& text) {
        const std::string label = std::string(name) + "=";
        if (taken >= tokens.size()) return fail("the line ends before " + label);
        const std::string& token = tokens[taken++];
        if (token.compare(0, label.size(), label) != 0)
            return fail("expected " + label + ", found \"" + token + "\"");
        text = token.substr(label.size());
        return true;
    }

    bool number(const char* name, long long& out, long long lo, long long hi) {
        std::string text;
        if (!value(name, text)) return false;
        char* end = nullptr;
        errno = 0;
        long long parsed = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno != 0)
            return fail(std::string(name) + "=" + text + " is not a whole number");
        if (parsed < lo || parsed > hi)
            return fail(std::string(name) + "=" + text + " is outside " + std::to_string(lo) + " to " +
                        std::to_string(hi));
        out = parsed;
        return true;
    }

    bool realNumber(const char* name, const std::string& text, float& out) {
        char* end = nullptr;
        float parsed = std::strtof(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(parsed))
            return fail(std::string(name) + "=" + text + " is not a number");
        out = parsed;
        return true;
    }

    bool realField(const char* name, float& out) {
        std::string text;
        return value(name, text) && realNumber(name, text, out);
    }

    template <class R> bool field(const Field<R>& f, R& record) {
        if (f.whole && !f.names) {
            long long parsed = 0;
            if (!number(f.name, parsed, f.lo, f.hi)) return false;
            record.*f.whole = static_cast<int>(parsed);
            return true;
        }
        if (f.real) return realField(f.name, record.*f.real);
        std::string text;
        if (!value(f.name, text)) return false;
        if (f.names) {
            for (int v = f.lo; v <= f.hi; v++)
                if (text == f.names[v - f.lo]) {
                    record.*f.whole = v;
                    return true;
                }
            return fail(std::string(f.name) + "=" + text + " is no class of the game");
        }
        if (text != "0" && text != "1") return fail(std::string(f.name) + "=" + text + " is not 0 or 1");
        record.*f.flag = text == "1";
        return true;
    }

    template <class R> bool fields(const Layout<R>& layout, R& record) {
        if (!enter(layout.keyword)) return false;
        for (const Field<R>& f : layout.fields)
            if (!field(f, record)) return false;
        return true;
    }

    template <class R> bool line(const Layout<R>& layout, R& record) { return fields(layout, record) && done(); }

private:
    std::vector<std::string> lines;
    size_t next = 1;      // index of the line after the current one; line 1 is the format's
    int lineNumber = 1;   // of the current line, for the problem
    std::vector<std::string> tokens;
    size_t taken = 0;
};

std::string mapText(const B& b) {
    return "the map of " + std::to_string(b.rows) + " rows and " + std::to_string(b.cols) + " columns";
}

bool onMap(const B& b, int row, int col) { return row >= 0 && row < b.rows && col >= 0 && col < b.cols; }

bool readMap(SaveReader& read, B& b) {
    if (!read.line(MAP_LINE, b)) return false;
    const std::string counted = "the map has " + std::to_string(b.rows) + " rows, but ";
    for (int r = 0; r < b.rows; r++) {
        if (!read.nextIs("terrain")) return read.failAtNext(counted + std::to_string(r) + " terrain lines follow");
        std::string digits;
        if (!read.enter("terrain") || !read.bare(digits) || !read.done()) return false;
        if (digits.size() != static_cast<size_t>(b.cols) ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return read.fail("the terrain of row " + std::to_string(r) + " is not " + std::to_string(b.cols) +
                             " digits");
        b.terrain.push_back(digits);
    }
    if (read.nextIs("terrain")) return read.failAtNext(counted + "more terrain lines follow");
    return true;
}

bool readState(SaveReader& read, B& b) {
    for (const Layout<B>& layout : STATE_LINES) {
        if (!read.line(layout, b)) return false;
        if (std::strcmp(layout.keyword, "cursor") == 0 && !onMap(b, b.cursorRow, b.cursorCol))
            return read.fail("the cursor is on " + squareText(b.cursorRow, b.cursorCol) + ", outside " + mapText(b));
    }
    long long state = 0;
    if (!read.enter("random") || !read.number("state", state, 0, UINT32_MAX) || !read.done()) return false;
    b.randomState = static_cast<unsigned>(state);

    std::string ages;
    if (!read.enter("volley") || !read.value("trailAges", ages) || !read.done()) return false;
    std::vector<std::string> each;
    std::istringstream list(ages);
    for (std::string age; std::getline(list, age, ',');) each.push_back(age);
    if (each.size() != static_cast<size_t>(VOLLEY_TRAIL))
        return read.fail("trailAges holds " + std::to_string(each.size()) + " numbers, not " +
                         std::to_string(VOLLEY_TRAIL));
    for (int i = 0; i < VOLLEY_TRAIL; i++)
        if (!read.realNumber("trailAges", each[i], b.trailAge[i])) return false;
    return true;
}

// What no battle can come to: ids out of order, a unit off the map or away
// from its square, more than its class allows, two of the living on one square.
bool soundUnit(SaveReader& read, const B& b, const Unit& unit, std::vector<int>& standing) {
    const std::string who = "unit " + std::to_string(unit.id);
    const int index = static_cast<int>(b.units.size());
    if (unit.id != index)
        return read.fail("id=" + std::to_string(unit.id) + " where id=" + std::to_string(index) +
                         " comes next: ids run 0, 1, 2, … in order");
    if (!onMap(b, unit.row, unit.col))
        return read.fail(who + " stands on " + squareText(unit.row, unit.col) + ", outside " + mapText(b));
    const ClassStats& stats = statsOf(unit.unitClass);
    const struct {
        const char* name;
        int value, most;
    } limits[] = {{"hp", unit.hp, stats.hp}, {"mp", unit.mp, stats.mp},
                  {"move", unit.movePoints, std::max(5, stats.movePoints)}};
    for (const auto& limit : limits)
        if (limit.value > limit.most)
            return read.fail(who + " has " + limit.name + "=" + std::to_string(limit.value) + ", above the " +
                             CLASS_NAMES[unit.unitClass - 1] + "'s " + std::to_string(limit.most));
    if (!unit.dead) {
        int& there = standing[unit.row * b.cols + unit.col];
        if (there >= 0)
            return read.fail(who + " stands on " + squareText(unit.row, unit.col) + " with unit " +
                             std::to_string(there));
        there = unit.id;
    }
    // Off the centre only when stopped half-way into a step, and then by less than a square.
    const Vector& at = unit.position;
    if (std::fabs(at.x - (unit.col + 0.5f)) > 1 || std::fabs(at.y) > 1 || std::fabs(at.z - (unit.row + 1.5f)) > 1)
        return read.fail(who + " is more than a square away from " + squareText(unit.row, unit.col));
    return true;
}

bool readUnits(SaveReader& read, B& b) {
    if (!read.line(UNITS_LINE, b)) return false;
    if (b.selected >= b.unitCount || b.target >= b.unitCount)
        return read.fail("selected= and target= must name one of the " + std::to_string(b.unitCount) + " units");
    const std::string counted = "the units line counts " + std::to_string(b.unitCount) + ", but ";
    std::vector<int> standing(b.rows * b.cols, -1);   // id of the living unit on each square
    int heroes[3] = {0, 0, 0};
    for (int i = 0; i < b.unitCount; i++) {
        if (!read.nextIs("unit")) return read.failAtNext(counted + std::to_string(i) + " units follow");
        Unit unit;
        if (!read.fields(UNIT_LINE, unit) || !read.realField("x", unit.position.x) ||
            !read.realField("y", unit.position.y) || !read.realField("z", unit.position.z) || !read.done() ||
            !soundUnit(read, b, unit, standing))
            return false;
        heroes[unit.player] += unit.hero;
        b.units.push_back(unit);
    }
    if (read.nextIs("unit")) return read.failAtNext(counted + "more units follow");
    for (int player = 1; player <= 2; player++)
        if (heroes[player] != 1)
            return read.failWhole("player " + std::to_string(player) + " has " + std::to_string(heroes[player]) +
                                  " heroes, not one");
    return true;
}

// Where selectedUnit and targetUnit point when the save names no unit.
Unit selectedPlaceholder, targetPlaceholder;

int idOf(const Unit* unit) {
    for (const Unit* each : allUnits)
        if (each == unit) return each->id;
    return -1;
}

template <class T> Unit* enlist(const Unit& saved, std::vector<T*>& player1List, std::vector<T*>& player2List) {
    T* unit = new T(saved.position.x, saved.position.y, saved.position.z, saved.player);
    (saved.player == 1 ? player1List : player2List).push_back(unit);
    allUnits.push_back(unit);
    return unit;
}

Unit* rebuild(const Unit& saved) {
    switch (saved.unitClass) {
        case CLASS_ARCHER: return enlist(saved, p1Archers, p2Archers);
        case CLASS_FIGHTER: return enlist(saved, p1Fighters, p2Fighters);
        case CLASS_FLIER: return enlist(saved, p1Fliers, p2Fliers);
        case CLASS_HEALER: return enlist(saved, p1Healers, p2Healers);
        default: return enlist(saved, p1Mages, p2Mages);
    }
}

}  // namespace

SavedBattle captureBattle() {
    SavedBattle b;
    takeFromGame(MAP_LINE, b);
    for (int r = 0; r < mapRows; r++) {
        std::string digits;
        for (int c = 0; c < mapCols; c++) digits += static_cast<char>('0' + battleMap[r][c].terrain);
        b.terrain.push_back(digits);
    }
    for (const Layout<B>& layout : STATE_LINES) takeFromGame(layout, b);
    b.randomState = randomGeneratorState();
    std::copy(arrowVolley.trailAge, arrowVolley.trailAge + VOLLEY_TRAIL, b.trailAge);
    for (const Unit* unit : allUnits) b.units.push_back(*unit);
    b.unitCount = static_cast<int>(b.units.size());
    b.selected = idOf(selectedUnit);
    b.target = idOf(targetUnit);
    return b;
}

// The units are built again by their classes, in id order and where they
// stood, so that each takes its id, its statistics and its place in the lists
// as at start-up; what play has changed is laid over them.
void restoreBattle(const SavedBattle& b) {
    putIntoGame(MAP_LINE, b);
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            MapCell& cell = battleMap[r][c];
            cell = MapCell(b.terrain[r][c] - '0', c, 0, r + 1, -1);
            cell.centre = Vector(cell.corner.x + 0.5f, 0, cell.corner.z + 0.5f);
        }
    for (const Layout<B>& layout : STATE_LINES) putIntoGame(layout, b);
    seedRandom(b.randomState);
    std::copy(b.trailAge, b.trailAge + VOLLEY_TRAIL, arrowVolley.trailAge);
    for (const Unit& saved : b.units) {
        Unit& unit = *rebuild(saved);
        copyFields(UNIT_LINE, saved, unit);
        // The fallen have left their squares.
        if (!unit.dead) battleMap[unit.row][unit.col].occupant = unit.id;
    }
    selectedPlaceholder = Unit();
    targetPlaceholder = Unit();
    selectedUnit = b.selected >= 0 ? allUnits[b.selected] : &selectedPlaceholder;
    targetUnit = b.target >= 0 ? allUnits[b.target] : &targetPlaceholder;
    choosingHeroes = p1ChoosingHero = p2ChoosingHero = false;
    updateVisibility(currentPlayer);
}

void writeSave(const SavedBattle& b, std::ostream& out) {
    out.precision(9);   // enough for every float to read back as the same float
    out << FORMAT_LINE << '\n';
    writeLine(out, MAP_LINE, b);
    out << '\n';
    for (const std::string& digits : b.terrain) out << "terrain " << digits << '\n';
    for (const Layout<B>& layout : STATE_LINES) {
        writeLine(out, layout, b);
        out << '\n';
    }
    out << "random state=" << b.randomState << '\n';
    out << "volley trailAges=";
    for (int i = 0; i < VOLLEY_TRAIL; i++) out << (i ? "," : "") << b.trailAge[i];
    out << '\n';
    writeLine(out, UNITS_LINE, b);
    out << '\n';
    for (const Unit& unit : b.units) {
        writeLine(out, UNIT_LINE, unit);
        out << " x=" << unit.position.x << " y=" << unit.position.y << " z=" << unit.position.z << '\n';
    }
    out << "end\n";
}

std::string readSave(std::istream& in, SavedBattle& b) {
    SaveReader read(in);
    if (read.framed() && readMap(read, b) && readState(read, b) && readUnits(read, b)) read.finished();
    return read.problem;
}

void keepBattle(const char* path) {
    std::ostringstream text;
    writeSave(captureBattle(), text);
    const std::string content = text.str();
    const std::string temporary = std::string(path) + ".tmp";
    int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool kept = file >= 0;
    for (size_t done = 0; kept && done < content.size();) {
        ssize_t written = write(file, content.data() + done, content.size() - done);
        kept = written > 0;
        if (kept) done += static_cast<size_t>(written);
    }
    kept = kept && fsync(file) == 0;
    if (file >= 0) kept = close(file) == 0 && kept;
    kept = kept && std::rename(temporary.c_str(), path) == 0;
    if (!kept) {
        std::fprintf(stderr, "Could not keep the battle in %s: %s\n", path, std::strerror(errno));
        std::remove(temporary.c_str());
    }
}

void keepBattleIfChanged() {
    if (battleRevision == keptRevision || moveAnimating || attackAnimating || choosingHeroes) return;
    keptRevision = battleRevision;
    keepBattle(SAVE_FILE);
}

bool resumeBattle(const char* path, std::string& line) {
    SavedBattle battle;
    std::string problem;
    errno = 0;
    std::ifstream file(path);
    if (!file)
        problem = std::string("cannot open it (") + std::strerror(errno) + ")";
    else
        problem = readSave(file, battle);
    if (problem.empty() && (battle.p1Wins || battle.p2Wins))
        problem = std::string("the battle is over, player ") + (battle.p1Wins ? "1" : "2") + " won";
    if (!problem.empty()) {
        line = std::string("Cannot resume from ") + path + ": " + problem + ".";
        return false;
    }
    restoreBattle(battle);
    line = std::string("Resuming the battle kept in ") + path + ": player " + std::to_string(currentPlayer) +
           "'s turn.";
    return true;
}
