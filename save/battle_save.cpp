// save/battle_save.cpp — the battle taken from the game and put back, as text, on disk, resumed
//
// The file is read strictly, line by line in the order it is written, and
// then the battle is looked at as a whole, the way the rules would see it;
// the first thing that is not as written, or that no battle could come to,
// is the one problem reported. Nothing reaches the game before the whole
// file has been read.
#include "save/battle_save.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

#include "game/battle_map.h"
#include "game/random.h"
#include "game/regular_file.h"
#include "game/looks.h"
#include "rules/behaviour.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "rules/takeback.h"

const char* const SAVE_FILE = "kestrava-save.txt";
const char* const REPLAY_SAVE_FILE = "kestrava-replay-save.txt";
const char* keptFile = SAVE_FILE;
int keptRevision = 0;
bool keepingBattle = true;
std::string keepTrouble;
float keepTroubleSeconds = 0;

namespace {

using B = SavedBattle;

const char* const FORMAT_LINE = "kestrava-save version=3";
constexpr int MOST_UNITS = 2 * 3 * MAP_LIMIT;   // both armies filling their home rows on the widest map
constexpr int LOWEST_HP = -1000000;             // far below any battle, far from overflowing a blow
const char* const CLASS_NAMES[] = {"archer", "fighter", "flier", "healer", "mage"};

// Sizes no save comes near: its longest line, the volley's, is under 800
// characters, and a 50 × 50 map with 300 units under 100 KB.
constexpr size_t LONGEST_LINE = 4096;
constexpr long MOST_SAVE_BYTES = 4L << 20;
constexpr size_t QUOTED = 80;   // characters of the file a refusal shows

// What the animations leave behind between actions. The Healer's timer counts
// hundredths of a second of its actions and is never reset: this is eleven
// days of them. The lunge's counter holds the Fighter's pause (up to 5
// updates) and the seconds the swoops have waited, which carry over. A lunge
// or swoop covers at most 2.5 units, a volley's flight lasts 3 s: a frame
// would have to last ten minutes to carry either to these bounds.
constexpr int MOST_TIMER = 100000000;
constexpr float MOST_WAIT = 1000000;
constexpr float MOST_TRAVEL = 1000;
constexpr float MOST_TRAIL_AGE = 1000;
// A heading toward a target lies within ±180 degrees (a hair beyond, in
// single precision); a step turns a unit to 0, 90, 180 or 270.
constexpr float LEAST_FACING = -181, MOST_FACING = 270;

// The file's text as a refusal shows it: at most QUOTED characters, and only
// printable ones, everything else escaped, so that no line of the file can
// flood the console or reach the terminal as a control sequence.
std::string shown(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < QUOTED; i++) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char escaped[8];
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c >= 0x20 && c < 0x7f)
            out += static_cast<char>(c);
        else {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    if (text.size() > QUOTED) out += "...";
    return out;
}

std::string decimal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// One name=value of a line, held in a member of the record R: a whole number
// in lo…hi (written as a name when names is set; 64 bits for the tick), a
// real number in realLo…realHi, or a flag written 0 or 1. A field of the
// battle's own lines also points at the game's variable it is taken from and
// put back into.
template <class R> struct Field {
    const char* name;
    int R::*whole;
    int64_t R::*wide;
    float R::*real;
    bool R::*flag;
    int* wholeAt;
    int64_t* wideAt;
    float* realAt;
    bool* flagAt;
    int64_t lo, hi;
    float realLo, realHi;
    const char* const* names;
};

template <class R> Field<R> whole(const char* name, int R::*member, int lo, int hi, int* at = nullptr) {
    return {name, member, nullptr, nullptr, nullptr, at, nullptr, nullptr, nullptr, lo, hi, 0, 0, nullptr};
}
template <class R> Field<R> wide(const char* name, int64_t R::*member, int64_t lo, int64_t hi, int64_t* at) {
    return {name, nullptr, member, nullptr, nullptr, nullptr, at, nullptr, nullptr, lo, hi, 0, 0, nullptr};
}
template <class R> Field<R> real(const char* name, float R::*member, float lo, float hi, float* at = nullptr) {
    return {name, nullptr, nullptr, member, nullptr, nullptr, nullptr, at, nullptr, 0, 0, lo, hi, nullptr};
}
template <class R> Field<R> flag(const char* name, bool R::*member, bool* at = nullptr) {
    return {name, nullptr, nullptr, nullptr, member, nullptr, nullptr, nullptr, at, 0, 1, 0, 0, nullptr};
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
    {"turn",
     {whole("player", &B::currentPlayer, 1, 2, &currentPlayer),
      wide("tick", &B::tick, 0, MOST_BATTLE_TICKS, &battleTick)}},
    // A turn banner goes at its third tick, so it has been up 0, 1 or 2.
    {"banners",
     {flag("p1Begin", &B::p1BeginTurn, &bannerP1BeginTurn), flag("p1End", &B::p1EndTurn, &bannerP1EndTurn),
      flag("p2Begin", &B::p2BeginTurn, &bannerP2BeginTurn), flag("p2End", &B::p2EndTurn, &bannerP2EndTurn),
      flag("p1Wins", &B::p1Wins, &bannerP1Wins), flag("p2Wins", &B::p2Wins, &bannerP2Wins),
      real("seconds", &B::bannerSeconds, 0, 2, &bannerSeconds), flag("helpHint", &B::helpHint, &firstTurn)}},
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
     {whole("actionCounter", &B::actionCounter, 0, MOST_TIMER, &actionCounter),
      real("lungeBack", &B::lungeBackTime, 0, MOST_WAIT, &lungeEffect.backTime),
      real("lungeTravelled", &B::lungeTravelled, 0, MOST_TRAVEL, &lungeEffect.travelled)}},
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
     flag("menu", &Unit::menuOpen), real("facing", &Unit::facing, LEAST_FACING, MOST_FACING)}};

template <class R> void copyFields(const Layout<R>& layout, const R& from, R& to) {
    for (const Field<R>& f : layout.fields) {
        if (f.whole) to.*f.whole = from.*f.whole;
        if (f.wide) to.*f.wide = from.*f.wide;
        if (f.real) to.*f.real = from.*f.real;
        if (f.flag) to.*f.flag = from.*f.flag;
    }
}

void takeFromGame(const Layout<B>& layout, B& b) {
    for (const Field<B>& f : layout.fields) {
        if (f.wholeAt) b.*f.whole = *f.wholeAt;
        if (f.wideAt) b.*f.wide = *f.wideAt;
        if (f.realAt) b.*f.real = *f.realAt;
        if (f.flagAt) b.*f.flag = *f.flagAt;
    }
}

void putIntoGame(const Layout<B>& layout, const B& b) {
    for (const Field<B>& f : layout.fields) {
        if (f.wholeAt) *f.wholeAt = b.*f.whole;
        if (f.wideAt) *f.wideAt = b.*f.wide;
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
        else if (f.wide)
            out << record.*f.wide;
        else if (f.real)
            out << record.*f.real;
        else
            out << (record.*f.flag ? 1 : 0);
    }
}

std::string squareText(int row, int col) { return "row " + std::to_string(row) + ", column " + std::to_string(col); }

const char* const CUT_SHORT = "it is cut short: its last line is not \"end\"";

// Takes the file one line at a time, each when it is needed, so that a file
// that goes wrong early is never read further.
class SaveReader {
public:
    std::string problem;

    explicit SaveReader(std::istream& in) : in(in) {}

    // Keeps the first problem only; later ones follow from it.
    bool fail(const std::string& what) { return failAt(lineNumber, what); }
    bool failAt(int line, const std::string& what) {
        if (problem.empty()) problem = "line " + std::to_string(line) + ": " + what;
        return false;
    }
    bool failAtNext(const std::string& what) {
        if (!nextLine() || partial) return failWhole(CUT_SHORT);
        return failAt(lineNumber + 1, what);
    }
    bool failWhole(const std::string& what) {
        if (problem.empty()) problem = what;
        return false;
    }
    int line() const { return lineNumber; }

    // The first line names this format and version: anything else is another
    // file or another version.
    bool framed() {
        if (!nextLine()) return failWhole("it is empty");
        pending = false;
        lineNumber = 1;
        if (text != FORMAT_LINE)
            return fail("unknown format or version \"" + shown(text) + "\", not \"" + FORMAT_LINE + "\"");
        return !partial || failWhole(CUT_SHORT);
    }

    bool nextIs(const char* keyword) {
        if (!nextLine()) return false;
        std::istringstream words(text);
        std::string first;
        return words >> first && first == keyword;
    }

    // Moves on to the next line, which must begin with keyword.
    bool enter(const char* keyword) {
        if (!nextLine() || (partial && text != "end")) return failWhole(CUT_SHORT);
        pending = false;
        lineNumber++;
        tokens.clear();
        std::istringstream words(text);
        for (std::string word; words >> word;) tokens.push_back(word);
        taken = 1;
        if (tokens.empty() || tokens[0] != keyword)
            return fail(std::string("expected \"") + keyword + "\", found \"" +
                        (tokens.empty() ? std::string() : shown(tokens[0])) + "\"");
        return true;
    }

    bool done() {
        return taken >= tokens.size() || fail("unexpected \"" + shown(tokens[taken]) + "\" at the end");
    }

    // "end", and nothing after it, not even a blank line.
    bool finished() {
        if (!enter("end") || !done()) return false;
        if (!nextLine()) return problem.empty();
        return failAt(lineNumber + 1, text.empty() ? "a blank line follows \"end\"" : "lines follow \"end\"");
    }

    bool bare(std::string& word) {
        if (taken >= tokens.size()) return fail("the line ends early");
        word = tokens[taken++];
        return true;
    }

    // The next name=value of the line.
    bool value(const char* name, std::string& word) {
        const std::string label = std::string(name) + "=";
        if (taken >= tokens.size()) return fail("the line ends before " + label);
        const std::string& token = tokens[taken++];
        if (token.compare(0, label.size(), label) != 0)
            return fail("expected " + label + ", found \"" + shown(token) + "\"");
        word = token.substr(label.size());
        return true;
    }

    bool number(const char* name, long long& out, long long lo, long long hi) {
        std::string word;
        if (!value(name, word)) return false;
        char* end = nullptr;
        errno = 0;
        long long parsed = std::strtoll(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || errno != 0)
            return fail(std::string(name) + "=" + shown(word) + " is not a whole number");
        if (parsed < lo || parsed > hi)
            return fail(std::string(name) + "=" + shown(word) + " is outside " + std::to_string(lo) + " to " +
                        std::to_string(hi));
        out = parsed;
        return true;
    }

    bool realNumber(const char* name, const std::string& word, float& out, float lo, float hi) {
        char* end = nullptr;
        float parsed = std::strtof(word.c_str(), &end);
        if (word.empty() || *end != '\0' || !std::isfinite(parsed))
            return fail(std::string(name) + "=" + shown(word) + " is not a number");
        if (parsed < lo || parsed > hi)
            return fail(std::string(name) + "=" + shown(word) + " is outside " + decimal(lo) + " to " + decimal(hi));
        out = parsed;
        return true;
    }

    // Where a unit stands is held against its square afterwards.
    bool realField(const char* name, float& out) {
        std::string word;
        return value(name, word) && realNumber(name, word, out, -HUGE_VALF, HUGE_VALF);
    }

    template <class R> bool field(const Field<R>& f, R& record) {
        if ((f.whole && !f.names) || f.wide) {
            long long parsed = 0;
            if (!number(f.name, parsed, f.lo, f.hi)) return false;
            if (f.wide) record.*f.wide = parsed;
            else record.*f.whole = static_cast<int>(parsed);
            return true;
        }
        std::string word;
        if (!value(f.name, word)) return false;
        if (f.real) return realNumber(f.name, word, record.*f.real, f.realLo, f.realHi);
        if (f.names) {
            for (int v = static_cast<int>(f.lo); v <= f.hi; v++)
                if (word == f.names[v - f.lo]) {
                    record.*f.whole = v;
                    return true;
                }
            return fail(std::string(f.name) + "=" + shown(word) + " is no class of the game");
        }
        if (word != "0" && word != "1") return fail(std::string(f.name) + "=" + shown(word) + " is not 0 or 1");
        record.*f.flag = word == "1";
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
    // The line after the current one, read into text unless it already is;
    // false at the end of the file, and on a line too long to be a save's,
    // which is then the problem. A last line without its line break is
    // partial: the file may have been cut short there.
    bool nextLine() {
        if (pending) return true;
        if (!problem.empty() || atEnd) return false;
        text.clear();
        int c;
        while ((c = in.get()) != EOF && c != '\n') {
            if (text.size() == LONGEST_LINE)
                return failAt(lineNumber + 1, "the line is longer than " + std::to_string(LONGEST_LINE) +
                                                  " characters");
            text += static_cast<char>(c);
        }
        atEnd = c == EOF;
        partial = atEnd && !text.empty();
        pending = !atEnd || partial;
        return pending;
    }

    std::istream& in;
    std::string text;       // the line read last
    bool pending = false;   // text is the line after the current one
    bool partial = false;   // and the file ends in it, without a line break
    bool atEnd = false;
    int lineNumber = 0;     // of the current line
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

// One turn banner at a time, up for whole ticks; and the first turn's hint
// only in that turn, which is player 1's.
bool soundBanners(SaveReader& read, const B& b) {
    const int up = b.p1BeginTurn + b.p1EndTurn + b.p2BeginTurn + b.p2EndTurn;
    if (up > 1) return read.fail("more than one turn banner is up");
    if (b.bannerSeconds != std::floor(b.bannerSeconds))
        return read.fail("seconds=" + decimal(b.bannerSeconds) + " is not a whole number of ticks");
    if (up == 0 && b.bannerSeconds != 0)
        return read.fail("seconds=" + decimal(b.bannerSeconds) + " with no turn banner up");
    if (b.helpHint && b.currentPlayer != 1)
        return read.fail("helpHint=1 in player 2's turn; the hint is for player 1's first");
    return true;
}

bool readState(SaveReader& read, B& b, int& choiceLine) {
    for (const Layout<B>& layout : STATE_LINES) {
        if (!read.line(layout, b)) return false;
        const std::string keyword = layout.keyword;
        if (keyword == "banners" && !soundBanners(read, b)) return false;
        if (keyword == "cursor" && !onMap(b, b.cursorRow, b.cursorCol))
            return read.fail("the cursor is on " + squareText(b.cursorRow, b.cursorCol) + ", outside " + mapText(b));
        if (keyword == "choice") choiceLine = read.line();
    }
    long long state = 0, effects = 0;
    if (!read.enter("random") || !read.number("state", state, 0, UINT32_MAX) ||
        !read.number("effects", effects, 0, UINT32_MAX) || !read.done())
        return false;
    b.randomState = static_cast<unsigned>(state);
    b.effectState = static_cast<unsigned>(effects);

    std::string ages;
    if (!read.enter("volley") || !read.value("trailAges", ages) || !read.done()) return false;
    std::vector<std::string> each;
    std::istringstream list(ages);
    for (std::string age; std::getline(list, age, ',');) each.push_back(age);
    if (each.size() != static_cast<size_t>(VOLLEY_TRAIL))
        return read.fail("trailAges holds " + std::to_string(each.size()) + " numbers, not " +
                         std::to_string(VOLLEY_TRAIL));
    for (int i = 0; i < VOLLEY_TRAIL; i++)
        if (!read.realNumber("trailAges", each[i], b.trailAge[i], 0, MOST_TRAIL_AGE)) return false;
    return true;
}

// What no battle can come to: ids out of order, a unit off the map or away
// from its square, more than its class allows, two of the living on one
// square, a fallen unit that still has hit points or may act, a living one
// without hit points, a fallen hero while the battle goes on, and an open
// menu on a unit of the other player or on one that has acted.
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
    // A hero at 0 hit points ends the battle without falling; others fall.
    const std::string hp = "hp=" + std::to_string(unit.hp);
    if (unit.dead && unit.hero) return read.fail(who + " is a hero and has fallen");
    if (unit.dead && unit.hp > 0) return read.fail(who + " has fallen with " + hp);
    if (unit.dead && unit.canAct) return read.fail(who + " has fallen but may still act");
    if (!unit.dead && unit.hp <= 0 && !unit.hero) return read.fail(who + " has " + hp + " but has not fallen");
    // Only a unit of the player on turn that may act opens its menu, and the
    // turn's end closes them all. Backing out of aiming onto another unit
    // selects that one and leaves the first menu open, and a friend's blow
    // can fell the unit that has it.
    if (unit.menuOpen && unit.player != b.currentPlayer)
        return read.fail(who + " of player " + std::to_string(unit.player) + " has its menu open in player " +
                         std::to_string(b.currentPlayer) + "'s turn");
    if (unit.menuOpen && !unit.dead && !unit.canAct) return read.fail(who + " has its menu open but may not act");
    if (unit.hero && unit.hp <= 0 && !b.p1Wins && !b.p2Wins)
        return read.fail(who + ", player " + std::to_string(unit.player) + "'s hero, has " + hp +
                         " while the battle goes on");
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

// What the cursor is choosing, as the keys can leave it: a step or a target
// only from the open menu of a unit of the player whose turn it is, that may
// act; the cursor no further than the keys take it; a step to a free square
// next to the unit; a target in its reach, not itself, and a unit; an entry
// its class has and its magic points allow. With nothing chosen, Insert
// opens the selected unit's menu when the cursor came to rest on a unit
// (onUnit=1), and its entries aim from where the cursor is: so then, and
// while that menu is open, the cursor is on the unit or where backing out of
// aiming leaves it, within its reach.
bool soundChoice(SaveReader& read, const B& b, int line, const std::vector<int>& standing) {
    const auto fail = [&](const std::string& what) { return read.failAt(line, what); };
    if (!b.choosingMove && !b.choosingTarget && b.selected >= 0) {
        const Unit& unit = b.units[b.selected];
        const int reach = std::abs(b.cursorRow - unit.row) + std::abs(b.cursorCol - unit.col);
        const int range = statsOf(unit.unitClass).attackRange;
        const std::string who = "unit " + std::to_string(unit.id);
        const std::string opens = unit.menuOpen ? who + "'s menu is open" : "onUnit=1";
        if ((unit.menuOpen || b.cursorOnUnit) && reach > range)
            return read.failAt(line - 1, opens + ", but the cursor on " + squareText(b.cursorRow, b.cursorCol) +
                                             " is beyond the reach of " + who + ", " + std::to_string(range));
    }
    if (b.moveTargetValid && !b.choosingMove) return fail("moveValid=1 without move=1");
    if (b.attackTargetValid && !b.choosingTarget) return fail("targetValid=1 without target=1");
    if ((b.healChosen || b.specialChosen) && !b.choosingTarget)
        return fail(std::string(b.healChosen ? "heal" : "special") + "=1 without target=1");
    if (b.healChosen && b.specialChosen) return fail("heal=1 and special=1: only one entry is taken");
    if (b.choosingMove && b.choosingTarget) return fail("move=1 and target=1: a unit chooses a step or a target");
    if (!b.choosingMove && !b.choosingTarget) return true;

    const std::string choosing = b.choosingMove ? "move=1" : "target=1";
    if (b.selected < 0) return fail(choosing + " with no unit selected");
    const Unit& unit = b.units[b.selected];
    const std::string who = "unit " + std::to_string(unit.id);
    if (!unit.menuOpen) return fail(choosing + ", but " + who + "'s menu is closed");
    const ClassStats& stats = statsOf(unit.unitClass);
    const int reach = std::abs(b.cursorRow - unit.row) + std::abs(b.cursorCol - unit.col);
    const bool occupied = standing[b.cursorRow * b.cols + b.cursorCol] >= 0;
    const std::string cursor = "the cursor on " + squareText(b.cursorRow, b.cursorCol);
    if (b.choosingMove) {
        if (unit.movePoints <= 0) return fail("move=1, but " + who + " has no movement points left");
        // Backing out of aiming can leave the cursor anywhere in the unit's reach.
        if (reach > std::max(1, stats.attackRange))
            return fail("move=1, but " + cursor + " is further from " + who + " than the keys take it");
        if (b.moveTargetValid && (reach != 1 || occupied))
            return fail("moveValid=1, but " + cursor + " is not a free square next to " + who);
        return true;
    }
    if (reach > stats.attackRange)
        return fail("target=1, but " + cursor + " is beyond the reach of " + who + ", " +
                    std::to_string(stats.attackRange));
    if (b.attackTargetValid && reach == 0) return fail("targetValid=1, but " + who + " would aim at itself");
    if (b.attackTargetValid && !occupied) return fail("targetValid=1, but no unit stands under " + cursor);
    const std::string className = CLASS_NAMES[unit.unitClass - 1];
    if (b.healChosen && unit.unitClass != CLASS_HEALER)
        return fail("heal=1, but " + who + " is " + (unit.unitClass == CLASS_ARCHER ? "an " : "a ") + className +
                    ", which does not heal");
    if (b.specialChosen && unit.unitClass == CLASS_HEALER)
        return fail("special=1, but " + who + " is a healer, whose entry heals");
    const bool paysMagic = b.healChosen || unit.unitClass == CLASS_ARCHER || unit.unitClass == CLASS_MAGE;
    if ((b.healChosen || b.specialChosen) && paysMagic && unit.mp < 10)
        return fail(std::string(b.healChosen ? "heal" : "special") + "=1, but " + who + " has mp=" +
                    std::to_string(unit.mp) + ", short of the 10 its entry needs");
    return true;
}

bool readUnits(SaveReader& read, B& b, int choiceLine) {
    if (!read.line(UNITS_LINE, b)) return false;
    const int unitsLine = read.line();
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
    if (!read.problem.empty()) return false;
    for (int player = 1; player <= 2; player++)
        if (heroes[player] != 1)
            return read.failWhole("player " + std::to_string(player) + " has " + std::to_string(heroes[player]) +
                                  " heroes, not one");
    // The last target may have fallen to the blow; the selected unit is the
    // one acting or browsed to, never a fallen one.
    if (b.selected >= 0 && b.units[b.selected].dead)
        return read.failAt(unitsLine, "selected=" + std::to_string(b.selected) + " names a fallen unit");
    if (b.cursorUnitId >= b.unitCount)
        return read.failAt(choiceLine - 1, "unitId=" + std::to_string(b.cursorUnitId) + " names none of the " +
                                               std::to_string(b.unitCount) + " units");
    return soundChoice(read, b, choiceLine, standing);
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

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool keepFailing = false;   // the last attempt to keep the battle failed, and that has been told

}  // namespace

bool replaceWhole(const std::string& path, const std::string& content) {
    static unsigned begun = 0;   // files this game has begun to write
    std::string temporary;
    int file = -1;
    for (int tries = 0; file < 0 && tries < 100; tries++) {
        temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(begun++);
        file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (file < 0 && errno != EEXIST) return false;
    }
    if (file < 0) return false;
    int failure = 0;
    for (size_t done = 0; !failure && done < content.size();) {
        ssize_t count = write(file, content.data() + done, content.size() - done);
        if (count > 0)
            done += static_cast<size_t>(count);
        else if (count == 0 || errno != EINTR)
            failure = count == 0 ? EIO : errno;
    }
    if (!failure && fsync(file) != 0) failure = errno;
    if (close(file) != 0 && !failure) failure = errno;
    if (!failure && std::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure) {
        unlink(temporary.c_str());
        errno = failure;
        return false;
    }
    int folder = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    const bool synced = fsync(folder) == 0;
    failure = errno;
    close(folder);
    errno = failure;
    return synced;
}

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
    b.effectState = effectGeneratorState();
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
    seedEffects(b.effectState);
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
    // The save keeps no steps to take back: those before it stand, and a step
    // choice it kept open starts a walk from where the unit stands now.
    forgetSteps();
    if (choosingMove) noteStepChoice(*selectedUnit);
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
    out << "random state=" << b.randomState << " effects=" << b.effectState << '\n';
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
    int choiceLine = 0;
    if (read.framed() && readMap(read, b) && readState(read, b, choiceLine) && readUnits(read, b, choiceLine))
        read.finished();
    return read.problem;
}

std::string readSaveFile(const char* path, SavedBattle& battle) {
    std::string content, problem;
    if (readRegularFile(path, MOST_SAVE_BYTES, "any battle's save", content, problem) != FILE_READABLE) return problem;
    std::istringstream text(content);
    return readSave(text, battle);
}

bool claimSaveFolder(const char* path, std::string& line) {
    int folder = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return true;   // keeping the battle will fail, and say why
    if (flock(folder, LOCK_EX | LOCK_NB) == 0) return true;   // held until the game ends
    const bool taken = errno == EWOULDBLOCK;
    close(folder);
    if (!taken) return true;
    keepingBattle = false;
    line = std::string("Another game running in this folder keeps its battle in ") + path +
           ": this one will keep nothing.";
    return false;
}

void keepBattle(const char* path) {
    // A file size limit then fails the write like a full disk, instead of
    // ending the game.
    std::signal(SIGXFSZ, SIG_IGN);
    std::ostringstream text;
    writeSave(captureBattle(), text);
    if (replaceWhole(path, text.str())) {
        keepFailing = false;
        return;
    }
    if (keepFailing) return;
    keepFailing = true;
    const std::string why = std::strerror(errno);
    std::fprintf(stderr, "Could not keep the battle in %s: %s\n", path, why.c_str());
    keepTrouble = std::string("The battle could not be kept in ") + path + ": " + why;
    keepTroubleSeconds = KEEP_TROUBLE_SECONDS;
}

void keepBattleIfChanged() {
    if (keepTroubleSeconds > 0) keepTroubleSeconds -= frameSeconds;
    if (!keepingBattle || battleRevision == keptRevision || moveAnimating || attackAnimating || choosingHeroes)
        return;
    keptRevision = battleRevision;
    keepBattle(keptFile);
}

bool resumeBattle(const char* path, std::string& line) {
    SavedBattle battle;
    std::string problem = readSaveFile(path, battle);
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
