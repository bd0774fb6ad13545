// Member references: OBJ->NAME (or OBJ.NAME), OBJ->@VAR, OBJ->M(args) and
// OBJ->NAME = value become calls of the object runtime:
//
//   V = OBJ->NAME      V = qObjectGet1(OBJ,"NAME")
//   OBJ->NAME = 5      qObjectSet1(OBJ,"NAME" , 5)
//   OBJ->M(1, 2)       qObjectMethodN(OBJ,"M",1, 2)
//
// The call opens at the start of the object expression, found by walking
// back from the operator with a bracket count; that walk never leaves the
// statement (nor passes a THEN, ELSE, LOOP or DO), so a reference with no
// object before it in its own statement is reported instead of opening the
// call in an earlier statement. A chain
// A->B->D works because the second operator finds the first call's name as
// its start.
//
// In a long chain every link would walk back over the whole chain and
// insert its call's name in front of it, moving it all again; chained
// assignments A->X = B->Y = ... = 1, and assignments nested in each other's
// values, would walk back to the statement start and on to its end for
// every link. What is remembered instead is described where it is kept
// (object_state.h): the member chain, the assignment memo, the input's
// bracket groups. A link after which the walk could stop or find another
// start (an unusual member, an assignment) ends the chain.
//
// An assignment's value runs to the end of its statement, and a statement
// left open by a trailing comma goes on with the next line, as the writer
// joins it: its ')' then waits with the source (OpenAssignments) for the line
// that ends the statement (closeOnContinuedLine), which the line loop
// hands over before that line's own pass.
#include <algorithm>
#include <bit>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "objects/object_rewrite.h"
#include "objects/objects.h"
#include "tokens/word_table.h"

namespace bprep2 {

namespace {

enum class MemberForm { Read, Assignment, MethodCall };

RuntimeCall callOf(MemberForm form) {
    switch (form) {
        case MemberForm::Assignment: return RuntimeCall::Set;
        case MemberForm::MethodCall: return RuntimeCall::Method;
        case MemberForm::Read: break;
    }
    return RuntimeCall::Get;
}

// The walk back to an object's start stops at the first of these at bracket depth 0.
constexpr KindSet objectStarts{TokenKind::CallName, TokenKind::Name, TokenKind::NameAsWritten, TokenKind::MemberName};

// +1 for an opening bracket, -1 for a closing one, 0 for anything else. The
// angle brackets count because dynamic-array extraction A<1,2> may stand in
// an object expression.
int bracketStep(const Token& token) {
    if (token.kind != TokenKind::Bracket) return 0;
    switch (token.value()) {
        case '(': case '<': case '[': return 1;
        case ')': case '>': case ']': return -1;
        default: return 0;
    }
}

// The first name at bracket depth 0 before the operator, or npos when the
// statement has none before it. A statement also starts after THEN, ELSE,
// LOOP and DO: IF C THEN (B)->X must not open the call in the condition.
// `opened` tells whether the walk passed an opening bracket it had not seen
// closed: only then could a later walk, starting one bracket deeper inside
// this reference's call, stop at a name between the start and the operator.
size_t findObjectStart(const ObjectLine& line, size_t op, bool& opened) {
    opened = false;
    // Nearly every object is the name right before its operator.
    if (op > 0 && objectStarts.has(line.tokens[op - 1].kind)) return op - 1;
    int64_t depth = 0;
    for (size_t i = op; i-- > 0;) {
        const Token& token = line.tokens[i];
        if (statementEnds.has(token.kind)) return npos;
        if (isStatementOpener(line.tokens, token)) return npos;
        depth += bracketStep(token);
        opened = opened || depth > 0;
        if (depth == 0 && objectStarts.has(token.kind)) return i;
    }
    return npos;
}

// An assignment's '=' made its call's comma, marked until the line is done
// (AssignmentChain). A comma's value is otherwise 0.
constexpr int32_t assignmentCommaMark = '=';

bool isAssignmentComma(const Token& token) {
    return token.kind == TokenKind::Comma && token.value() == assignmentCommaMark;
}

void markAssignmentComma(ObjectLine& line, size_t comma) {
    line.tokens[comma].setValue(assignmentCommaMark);
    ++line.state.assignmentChain.markedCommas;
}

// An '=' after the member is an assignment unless the walk back to the
// start of the statement meets a condition first. A statement starts after
// THEN, ELSE, LOOP and DO; IF, CASE, UNTIL and WHILE open a condition, and an
// earlier '=' makes this one a comparison (X = OBJ->Y = 5).
//
// The walk stops at an earlier assignment's '=' (now its call's comma,
// marked as such): from there on it would find what that assignment's walk
// found, as no rewrite since has put an '=' or one of those keywords before
// it. So chained assignments A->X = B->Y = ..., and nested ones
// A->X = (1, A->X = (...) ELSE 2) ELSE 3, are not walked over again for
// every link.
//
// The walk starts at `from`: the '=', or a token before it when none of
// those between could stop it.
bool isAssignment(const ObjectLine& line, size_t from) {
    for (size_t i = previousSignificant(line.tokens, from, Reach::SameStatement); i != npos;
         i = previousSignificant(line.tokens, i, Reach::SameStatement)) {
        const Token& token = line.tokens[i];
        if (isAssignmentComma(token)) return true;
        if (token.kind == TokenKind::Equals) return false;
        if (token.kind != TokenKind::Keyword) continue;
        for (std::string_view word : {"IF", "CASE", "UNTIL", "WHILE"})
            if (line.tokens.isWord(token, word)) return false;
        for (std::string_view word : {"THEN", "ELSE", "LOOP", "DO"})
            if (line.tokens.isWord(token, word)) return true;
    }
    return true;
}

// Where an assignment's ')' goes: before token `index` of the list, or
// before input token `index`, after the ')' already owed there; or,
// `open`, nowhere yet: the line ends after a trailing comma and the
// statement goes on with a later line, the value `depth` brackets deep.
struct CloserPlace {
    bool ahead = false;
    size_t index = 0;
    bool open = false;
    int64_t depth = 0;

    static CloserPlace stillOpen(int64_t depth) { return {false, 0, true, depth}; }
};

// Follows a value towards where its ')' goes: the end of its statement, or,
// when an ELSE outside the value's brackets ends a THEN clause
// (IF C THEN O->X = 1 ELSE ...), right after the value. An ELSE inside the
// value's own parentheses does not end it. A trailing comma continues the
// statement past the separators after it, as the writer joins them; should
// a line marker end the statement there after all, the ')' goes before the
// first of those separators, where the statement ends without the join.
class ValueWalk {
   public:
    enum class Step { GoesOn, Joined, StatementEnds, ReachesElse };

    explicit ValueWalk(CloserPlace start, bool startsAfterComma = false)
        : afterValue_(start), afterComma_(startsAfterComma) {}

    // What the token at `at` is to the value; the walk passes it with
    // pass() unless it ends the value or is joined.
    Step look(const TokenList& tokens, const Token& token, CloserPlace at) {
        if (statementEnds.has(token.kind)) {
            if (token.kind != TokenKind::Separator || !afterComma_) return Step::StatementEnds;
            if (!separatorMet_) separator_ = at;
            separatorMet_ = true;
            return Step::Joined;
        }
        return isElse(tokens, token) ? Step::ReachesElse : Step::GoesOn;
    }
    void pass(const Token& token, CloserPlace at) {
        depth_ += valueBracketStep(token);
        if (!blanks.has(token.kind)) afterValue_ = {at.ahead, at.index + 1};
        if (!commaJoinFillers.has(token.kind)) {
            afterComma_ = token.kind == TokenKind::Comma;
            separatorMet_ = false;
        }
    }
    // A bracket group the walk passes whole (InputGroups): as passing its
    // tokens one by one, when nothing in it ends the value.
    void passGroup(const Token& open, const Token& close, CloserPlace closeAt) {
        pass(open, closeAt);
        pass(close, closeAt);
    }
    // The ')' already owed before input token `at`.
    void passClosers(uint32_t owed, CloserPlace at) {
        depth_ -= owed;
        afterValue_ = at;
        afterComma_ = false;
        separatorMet_ = false;
    }

    int64_t depth() const { return depth_; }
    CloserPlace afterValue() const { return afterValue_; }
    bool leavesStatementOpen() const { return afterComma_; }
    // Where the ')' goes when the statement ends at `at`.
    CloserPlace statementEnd(CloserPlace at) const { return separatorMet_ ? separator_ : at; }

   private:
    int64_t depth_ = 0;
    CloserPlace afterValue_;     // right after the last token that is not blank
    bool afterComma_ = false;    // the last token other than a blank, line end or separator is a comma
    bool separatorMet_ = false;  // a separator followed that comma
    CloserPlace separator_;
};

void measureInputDepth(AssignmentChain& known, const LineInput& input) {
    if (!known.inputDepth.empty()) return;
    known.inputDepth.reserve(input.tokens.size() + 1);
    int64_t depth = 0;
    known.inputDepth.push_back(depth);
    for (const Token& token : input.tokens) known.inputDepth.push_back(depth += valueBracketStep(token));
}

void measureInputGroups(const ObjectLine& line, InputGroups& groups, const std::vector<Token>& input) {
    groups.measured = true;
    groups.close.assign(input.size(), npos);
    groups.lastElse.assign(input.size(), npos);
    struct Open {
        size_t at;
        bool passable;
    };
    std::vector<Open> open;
    for (size_t h = 0; h < input.size(); ++h) {
        const Token& token = input[h];
        int64_t step = valueBracketStep(token);
        if (step > 0) {
            open.push_back({h, true});
        } else if (step < 0 && !open.empty()) {
            Open group = open.back();
            open.pop_back();
            if (group.passable) groups.close[group.at] = h;
            if (!open.empty()) {
                open.back().passable = open.back().passable && group.passable;
                if (groups.lastElse[group.at] != npos) groups.lastElse[open.back().at] = groups.lastElse[group.at];
            }
        } else if (statementEnds.has(token.kind) && !open.empty()) {
            open.back().passable = false;
        } else if (isElse(line.tokens, token) && !open.empty()) {
            groups.lastElse[open.back().at] = h;
        }
    }
}

// The input token that closes the group opened at input token `h`, when the
// walk, `depth` deep, may pass the group whole: nothing in it ends the
// statement, no ')' is owed inside it, and an ELSE in it stands in
// brackets of the value; npos otherwise.
size_t passableGroupEnd(const ObjectLine& line, InputGroups& groups, size_t h, int64_t depth) {
    const LineInput& input = line.state.input;
    if (depth < 0 || valueBracketStep(input.tokens[h]) <= 0) return npos;
    if (!groups.measured) measureInputGroups(line, groups, input.tokens);
    size_t close = groups.close[h];
    if (close == npos) return npos;
    auto owed = groups.owedBefore.upper_bound(h);
    if (owed != groups.owedBefore.end() && *owed <= close) return npos;
    return close;
}

void remember(AssignmentChain& known, size_t stop, size_t closer, size_t clean) {
    known.stop = stop;
    known.closer = closer;
    known.clean = clean;
    known.stopIsElse = false;
    known.statementOpen = false;
}

// Where the value starting at `from` ends (ValueWalk). The input tokens the
// after-line pass has not read yet are looked at where they are, with the
// ')' owed before them, so that a long statement is not read into the list
// (where every insertion before it would move it). Where the value ends
// among them is remembered for the next assignment of the statement.
CloserPlace findCloserPlace(ObjectLine& line, size_t from) {
    ValueWalk walk({false, from});
    for (size_t i = from; i < line.tokens.size(); ++i) {
        const Token& token = line.tokens[i];
        ValueWalk::Step step = walk.look(line.tokens, token, {false, i});
        if (step == ValueWalk::Step::Joined) continue;
        if (step == ValueWalk::Step::StatementEnds) return walk.statementEnd({false, i});
        if (step == ValueWalk::Step::ReachesElse && walk.depth() <= 0) return walk.afterValue();
        walk.pass(token, {false, i});
    }
    const LineInput& input = line.state.input;
    AssignmentChain& known = line.state.assignmentChain;
    size_t elseFree = input.next;
    for (size_t h = input.next;; ++h) {
        uint32_t owed = input.closersOwed.empty() ? 0 : input.closersOwed[h];
        if (owed > 0) walk.passClosers(owed, {true, h});
        // The line's end token comes later, so the end of the input
        // ends the statement too, unless a trailing comma leaves it open.
        if (h == input.tokens.size()) {
            remember(known, h, h, elseFree);
            if (!walk.leavesStatementOpen()) return {true, h};
            known.statementOpen = true;
            measureInputDepth(known, input);
            return CloserPlace::stillOpen(walk.depth());
        }
        const Token& token = input.tokens[h];
        ValueWalk::Step step = walk.look(line.tokens, token, {true, h});
        if (step == ValueWalk::Step::Joined) continue;
        if (step == ValueWalk::Step::StatementEnds) {
            CloserPlace place = walk.statementEnd({true, h});
            remember(known, place.ahead ? h : AssignmentChain::none, place.index, elseFree);
            return place;
        }
        if (step == ValueWalk::Step::ReachesElse) {
            if (walk.depth() <= 0) {
                CloserPlace place = walk.afterValue();
                remember(known, place.ahead ? h : AssignmentChain::none, place.index, elseFree);
                known.stopIsElse = true;
                measureInputDepth(known, input);
                return place;
            }
            elseFree = h + 1;
        }
        InputGroups& groups = line.state.input.groups;
        if (size_t close = passableGroupEnd(line, groups, h, walk.depth()); close != npos) {
            walk.passGroup(token, input.tokens[close], {true, close});
            if (groups.lastElse[h] != npos) elseFree = groups.lastElse[h] + 1;
            h = close;
            continue;
        }
        walk.pass(token, {true, h});
    }
}

// The place an earlier assignment of the statement found, when the value
// starting at `from` must end there too: nothing between them could end it
// sooner, and before an ELSE it is not inside brackets of its own (the ')'
// owed on the way only take it further out). A statement a trailing comma
// leaves open leaves this value open too, as deep as its brackets are at
// the line's end (no ')' is owed on the way: a value that ended there would
// have ended this one).
bool knownCloserPlace(const ObjectLine& line, size_t from, CloserPlace& place) {
    const AssignmentChain& known = line.state.assignmentChain;
    const size_t next = line.state.input.next;
    if (known.stop == AssignmentChain::none || known.stop < next || known.closer < next || known.clean > next)
        return false;
    int64_t depth = 0;
    for (size_t i = from; i < line.tokens.size(); ++i) {
        const Token& token = line.tokens[i];
        if (statementEnds.has(token.kind) || isElse(line.tokens, token)) return false;
        depth += valueBracketStep(token);
    }
    int64_t inputDepth = known.inputDepth.empty() ? 0 : known.inputDepth[known.stop] - known.inputDepth[next];
    if (known.statementOpen) {
        place = CloserPlace::stillOpen(depth + inputDepth);
        return true;
    }
    if (known.stopIsElse && depth + inputDepth > 0) return false;
    place = {true, known.closer};
    return true;
}

void closeAssignment(ObjectLine& line, size_t from) {
    CloserPlace place;
    if (!knownCloserPlace(line, from, place)) place = findCloserPlace(line, from);
    if (place.open) {
        OpenAssignments& open = line.openAssignments;
        open.depths.push(place.depth - open.shift);
        return;
    }
    if (!place.ahead) {
        line.tokens.insert(place.index, bracketToken(')'));
        return;
    }
    LineInput& input = line.state.input;
    if (input.closersOwed.empty()) input.closersOwed.assign(input.tokens.size() + 1, 0);
    input.closersOwed[place.index] += 1;
    // One owed after the last input token, as every one on a line rewritten
    // where it stands is, lies in no group: noting it cost an allocation.
    if (place.index < input.tokens.size()) input.groups.owedBefore.insert(place.index);
}

// The position just after the member expression: after the member word
// itself, or after the first word that follows a bracketed member. npos when
// the brackets do not balance before the statement ends.
size_t memberEnd(ObjectLine& line, size_t member) {
    int64_t depth = 0;
    for (size_t i = member; hasTokenAt(line, i); ++i) {
        const Token& token = line.tokens[i];
        if (blanks.has(token.kind)) continue;
        if (statementEnds.has(token.kind)) return depth == 0 ? i : npos;
        int step = bracketStep(token);
        if (step != 0) {
            depth += step;
            continue;
        }
        if (depth == 0) return i + 1;
    }
    return depth == 0 ? line.tokens.size() : npos;
}

// The member's own ')' (just inserted) and the call's '(' are folded into the
// runtime call: M(1, 2) continues the argument list, M() closes it. Returns
// the index of the '(' taken out, or npos when nothing was folded.
size_t foldMethodArguments(ObjectLine& line, size_t member) {
    size_t inserted = nextSignificantReading(line, member, Reach::SameLine);
    size_t open = nextSignificantReading(line, inserted, Reach::SameLine);
    size_t next = nextSignificantReading(line, open, Reach::SameLine);
    if (inserted == npos || open == npos || next == npos) return npos;
    if (isBracket(line.tokens[next], ')')) {
        resetToken(line.tokens[inserted], TokenKind::Deleted);
    } else {
        resetToken(line.tokens[inserted], TokenKind::Comma);
    }
    resetToken(line.tokens[open], TokenKind::Deleted);
    return open;
}

std::string quotedName(std::string_view name) {
    std::string quoted(1, '"');
    quoted.append(name).push_back('"');
    return quoted;
}

// A member name's key: for a name of up to QuotedNames::keyedLength bytes
// its bytes themselves, packed so that two names of one length have the
// same key only when they are the same name; for a longer one a hash of
// all of them. A name is keyed for every member read, so it is read a word
// at a time, where hashing it byte by byte cost several times the
// instructions.
uint64_t memberNameKey(std::string_view name) {
    const char* at = name.data();
    const size_t size = name.size();
    static_assert(QuotedNames::keyedLength <= sizeof(uint64_t), "a keyed name fits in its key");
    if (size <= QuotedNames::keyedLength) return shortWordBytes(at, size);
    constexpr uint64_t prime = 1099511628211ULL;
    uint64_t key = size;
    for (size_t i = 0; i + sizeof(uint64_t) < size; i += sizeof(uint64_t))
        key = (key ^ eightBytes(at + i)) * prime;
    return (key ^ eightBytes(at + size - sizeof(uint64_t))) * prime;
}

// The place of the name of key `key` and `size` bytes among the quoted
// names: the high bits of a multiplicative hash, which every bit of the
// key reaches.
QuotedNames::Place& quotedNamePlace(QuotedNames& names, uint64_t key, size_t size) {
    constexpr uint64_t multiplier = 0x9E3779B97F4A7C15ULL;
    constexpr int placeBits = std::countr_zero(QuotedNames::places);
    static_assert(QuotedNames::places == size_t{1} << placeBits, "the places are a power of two");
    std::vector<QuotedNames::Place>& stored = names.stored;
    if (stored.empty()) stored.resize(QuotedNames::places);
    return stored[((key + size) * multiplier) >> (64 - placeBits)];
}

// Whether the text kept at `place` is `name` quoted.
bool isQuoted(const TokenList& tokens, const QuotedNames::Place& place, uint64_t key, std::string_view name) {
    if (place.key != key || place.quoted.length != name.size() + 2) return false;
    return name.size() <= QuotedNames::keyedLength || tokens.textOf(place.quoted).substr(1, name.size()) == name;
}

// `name` quoted, in the pool: the text its place keeps, or a new one,
// which takes the place. A long text has its length before it in the pool,
// so it is never shared; none is stored for it (length 0).
TextRef storeQuotedName(QuotedNames& names, TokenList& tokens, std::string_view name) {
    const uint64_t key = memberNameKey(name);
    QuotedNames::Place& place = quotedNamePlace(names, key, name.size());
    if (isQuoted(tokens, place, key, name)) return place.quoted;
    std::string quoted = quotedName(name);
    if (quoted.size() >= longText) return {};
    place = {key, tokens.storeText(quoted)};
    return place.quoted;
}

// The text a token's text is the inside of, when double quotes stand right
// around it in the pool (memberNameText put them there); length 0 when not.
TextRef quotesAround(const TokenList& tokens, TextRef inside) {
    TextRef around{inside.offset - 1, inside.length + 2};
    if (inside.offset == 0 || around.length >= longText || around.offset + around.length > tokens.textBytes())
        return {};
    std::string_view text = tokens.textOf(around);
    return text.front() == '"' && text.back() == '"' ? around : TextRef{};
}

void quoteMemberName(ObjectLine& line, size_t member) {
    Token& token = line.tokens[member];
    if (token.kind != TokenKind::Name && token.kind != TokenKind::MemberName) return;
    TextRef quoted = quotesAround(line.tokens, line.tokens.textRef(token));
    if (quoted.length == 0) quoted = storeQuotedName(line.state.quotedNames, line.tokens, line.tokens.text(token));
    if (quoted.length == 0) {
        line.tokens.reset(token, TokenKind::String, quotedName(line.tokens.text(token)));
        return;
    }
    resetToken(token, TokenKind::String);
    token.setText(quoted);
}

// How the walk back from the ')' at `close` crosses the arguments that
// follow the '(' at `open` as it crosses a link's own ')': not at all (it
// meets something that would end it or be taken for the object's start, or
// does not arrive at `open` one bracket down), or it does, either only
// after brackets inside closed early and opened again, or nested, never
// coming back up to the link's own level before `open`. Arguments longer
// than a chain's usually are are not looked through, so a look costs little
// however often it is made.
enum class Crossing { None, Crossed, Nested };

Crossing crossArguments(const ObjectLine& line, size_t open, size_t close) {
    constexpr size_t longestLook = 256;
    if (close <= open || close - open > longestLook) return Crossing::None;
    int64_t depth = 0;
    bool nested = true;
    for (size_t i = close; i > open; --i) {
        const Token& token = line.tokens[i];
        if (statementEnds.has(token.kind)) return Crossing::None;
        if (isStatementOpener(line.tokens, token)) return Crossing::None;
        depth += bracketStep(token);
        if (depth == 0 && objectStarts.has(token.kind)) return Crossing::None;
        nested = nested && (i == close || depth < 0);
    }
    if (depth != -1) return Crossing::None;
    return nested ? Crossing::Nested : Crossing::Crossed;
}

// A member operator whose object is the previous link of the chain: the
// walk back to the object's start would cross the whole chain to arrive at
// the chain's first call, so the chain remembers where that is.
Crossing crossingToOpenChain(const ObjectLine& line, size_t op) {
    const MemberChain& chain = line.state.memberChain;
    size_t before = previousNonBlank(line.tokens, op);
    if (!chain.lastIsCall) return before == chain.lastEnd ? Crossing::Nested : Crossing::None;
    if (before == npos || !isBracket(line.tokens[before], ')')) return Crossing::None;
    return crossArguments(line, chain.lastEnd, before);
}

inline Crossing crossingToChain(const ObjectLine& line, size_t op) {
    return line.state.memberChain.open ? crossingToOpenChain(line, op) : Crossing::None;
}

size_t openCallsAtHead(ObjectLine& line) {
    MemberChain& chain = line.state.memberChain;
    std::vector<Token> openers;
    openers.reserve(2 * chain.waiting.size());
    for (size_t i = chain.waiting.size(); i-- > 0;) {
        openers.push_back(runtimeCallToken(line, TokenKind::CallName, chain.waiting[i]));
        openers.push_back(bracketToken('('));
    }
    line.tokens.insert(chain.head, openers);
    chain.waiting.clear();
    chain.lastEnd += openers.size();
    return openers.size();
}

// Opens the waiting calls at the chain's head, outermost first; returns the
// number of tokens inserted there. Most chains have none waiting.
inline size_t openWaitingCalls(ObjectLine& line) {
    return line.state.memberChain.waiting.empty() ? 0 : openCallsAtHead(line);
}

// Settles the chains on the line for the reference at `op`: true when it
// continues the current chain, or one set aside. Otherwise `start` is where
// its own call opens.
//
// A chain whose latest call's arguments hold the reference is set aside
// rather than ended, so that A->M(B->C)->N goes on without walking back over
// A->M(...) again; its calls are opened at its head after those of the
// references in its arguments, which lie beyond it. It goes on only where
// the walk back would surely arrive at its head: every call's arguments in
// it crossed nested (a regular chain), these ones too. Every other chain the
// reference does not continue is ended, as the walk back then decides.
bool settleChains(ObjectLine& line, size_t& op, size_t& start, bool& opened) {
    MemberChain& chain = line.state.memberChain;
    std::vector<MemberChain>& setAside = line.state.setAsideChains;
    Crossing crossing = crossingToChain(line, op);
    if (crossing != Crossing::None) {
        chain.regular = chain.regular && crossing == Crossing::Nested;
        return true;
    }
    for (;;) {
        if (chain.open && chain.lastIsCall && chain.regular) {
            start = findObjectStart(line, op, opened);
            if (start != npos && start > chain.lastEnd) {
                setAside.push_back(std::move(chain));
                chain = MemberChain{};
                return false;
            }
        }
        op += openWaitingCalls(line);
        chain.open = false;
        if (setAside.empty()) break;
        chain = std::move(setAside.back());
        setAside.pop_back();
        if (crossingToChain(line, op) == Crossing::Nested) return true;
    }
    start = findObjectStart(line, op, opened);
    return false;
}

// The link just rewritten becomes the chain's latest: a method call folds
// its arguments in, and the chain goes on after it only when it may.
void finishLink(MemberChain& chain, ObjectLine& line, MemberForm form, size_t member, size_t closer,
                bool mayContinue) {
    chain.lastIsCall = form == MemberForm::MethodCall;
    chain.lastEnd = closer;
    if (chain.lastIsCall) chain.lastEnd = foldMethodArguments(line, member);
    chain.open = mayContinue && chain.lastEnd != npos;
}

// Puts the call's name and '(' before `start` and its ')' before `close`,
// moving the tokens after `close` once rather than once for each.
void encloseCall(TokenList& tokens, size_t start, const Token (&opener)[2], size_t close) {
    tokens.insert(close, std::size(opener) + 1, bracketToken(')'));
    Token* at = &tokens[0];
    std::copy_backward(at + start, at + close, at + close + std::size(opener));
    std::copy(std::begin(opener), std::end(opener), at + start);
}

bool isMemberOperator(const Token& token) { return token.kind == TokenKind::MemberOperator; }

// The column the member operator at `op` was read at (memberOperatorText),
// -1 when none was kept for it. The rewrites take the line's operators in
// order and make no new ones, so those after it are the ones read after
// it, and their columns are the last ones kept.
int32_t operatorColumn(const ObjectLine& line, size_t op) {
    const LineInput& input = line.state.input;
    size_t later = static_cast<size_t>(std::count_if(line.tokens.begin() + static_cast<ptrdiff_t>(op) + 1,
                                                     line.tokens.end(), isMemberOperator));
    later += static_cast<size_t>(std::count_if(input.tokens.begin() + static_cast<ptrdiff_t>(input.next),
                                               input.tokens.end(), isMemberOperator));
    const std::vector<int32_t>& columns = line.state.operatorColumns;
    return later < columns.size() ? columns[columns.size() - 1 - later] : -1;
}

[[noreturn]] void illegalReference(const ObjectLine& line, size_t op) {
    line.diagnostics.errorAtColumn(operatorColumn(line, op), "Illegal syntax for object reference");
}

}  // namespace

size_t rewriteMemberReference(ObjectLine& line, size_t op) {
    line.state.runtimeUsed = true;
    restartIfObjectsOff(line);
    MemberChain& chain = line.state.memberChain;

    bool opened = false;
    size_t start = npos;
    bool continues = settleChains(line, op, start, opened);
    if (continues) start = chain.head;
    if (start == npos) illegalReference(line, op);

    // A ';' right after the operator leaves it without a member, like the end of the line.
    size_t member = nextSignificantReading(line, op, Reach::SameStatement);
    if (member == npos) illegalReference(line, op);
    bool memberByValue = line.tokens[member].kind == TokenKind::At;
    if (memberByValue) {
        resetToken(line.tokens[member], TokenKind::Deleted);
        member = nextSignificantReading(line, member, Reach::SameStatement);
        if (member == npos) illegalReference(line, op);
    }

    // Checked before anything changes, so the operator still has its column for the caret.
    size_t close = memberEnd(line, member);
    if (close == npos) illegalReference(line, op);

    // A plain word member leaves nothing in the call that could stop the walk
    // back from a later link, so the chain may go on after it.
    bool plainMember = !memberByValue && close == member + 1 &&
                       (line.tokens[member].kind == TokenKind::Name || line.tokens[member].kind == TokenKind::MemberName);

    MemberForm form = MemberForm::Read;
    size_t following = nextSignificantReading(line, member, Reach::SameLine);
    if (following != npos && isBracket(line.tokens[following], '(')) {
        form = MemberForm::MethodCall;
    } else if (following != npos && line.tokens[following].kind == TokenKind::Equals) {
        // The test for an assignment need not walk back over a name, its
        // operator and a plain member.
        bool nameBefore = !continues && start + 1 == op && plainMember;
        if (isAssignment(line, nameBefore ? start : following)) form = MemberForm::Assignment;
    }

    if (continues && form != MemberForm::Assignment) {
        // The call opens at the chain's head with the others, later.
        chain.waiting.push_back(callOf(form));
        resetToken(line.tokens[op], TokenKind::Comma);
        line.tokens.insert(close, bracketToken(')'));
        if (!memberByValue) quoteMemberName(line, member);
        finishLink(chain, line, form, member, close, plainMember);
        return op;
    }
    if (continues) {
        size_t moved = openWaitingCalls(line);
        op += moved;
        member += moved;
        close += moved;
        following += moved;
    }
    // The next link's walk back would cross this call's arguments one bracket
    // deeper than this walk crossed them, and stop at its name, the head;
    // unless this walk passed an opening bracket it had not seen closed.
    bool startsChain = form != MemberForm::Assignment && plainMember && !opened;

    if (form == MemberForm::Assignment) {
        resetToken(line.tokens[following], TokenKind::Comma);
        markAssignmentComma(line, following);
        closeAssignment(line, following + 1);
    }

    const Token opener[] = {runtimeCallToken(line, TokenKind::CallName, callOf(form)), bracketToken('(')};
    if (form == MemberForm::Assignment) line.tokens.insert(start, opener);
    else encloseCall(line.tokens, start, opener, close);
    op += 2;
    member += 2;
    resetToken(line.tokens[op], TokenKind::Comma);

    if (!memberByValue) quoteMemberName(line, member);
    chain.restart(start);
    finishLink(chain, line, form, member, close + 2, startsChain);
    return op;
}

std::string_view memberNameText(ObjectState& state, TokenList& tokens, std::string_view name) {
    TextRef quoted = storeQuotedName(state.quotedNames, tokens, name);
    if (quoted.length == 0) return name;
    return tokens.textOf({quoted.offset + 1, quoted.length - 2});
}

std::vector<CloserInsertion> closeOnContinuedLine(const TokenList& tokens, OpenAssignments& open,
                                                  size_t afterComma, size_t first) {
    std::vector<CloserInsertion> places;
    auto closeAt = [&places](size_t before, size_t count) {
        if (count == 0) return;
        if (!places.empty() && places.back().before == before) places.back().count += count;
        else places.push_back({before, count});
    };
    ValueWalk walk({false, afterComma}, true);
    for (size_t i = first; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        ValueWalk::Step step = walk.look(tokens, token, {false, i});
        if (step == ValueWalk::Step::Joined) continue;
        if (step == ValueWalk::Step::StatementEnds) {
            closeAt(walk.statementEnd({false, i}).index, open.depths.size());
            open = OpenAssignments{};
            return places;
        }
        if (step == ValueWalk::Step::ReachesElse) {
            size_t closing = 0;
            for (; !open.empty() && open.depths.top() + open.shift + walk.depth() <= 0; ++closing) open.depths.pop();
            closeAt(walk.afterValue().index, closing);
            if (open.empty()) return places;
        }
        walk.pass(token, {false, i});
    }
    if (walk.leavesStatementOpen()) {
        open.shift += walk.depth();
        return places;
    }
    closeAt(tokens.size(), open.depths.size());
    open = OpenAssignments{};
    return places;
}

namespace {

// The line is done: its assignments' commas lose their marks, the last of
// them furthest from the list's end.
void clearAssignmentCommas(ObjectLine& line) {
    size_t& marked = line.state.assignmentChain.markedCommas;
    for (size_t i = line.tokens.size(); marked > 0 && i-- > 0;) {
        if (!isAssignmentComma(line.tokens[i])) continue;
        line.tokens[i].setValue(0);
        --marked;
    }
}

}  // namespace

void finishMemberChain(ObjectLine& line) {
    if (line.state.assignmentChain.markedCommas > 0) clearAssignmentCommas(line);
    openWaitingCalls(line);
    while (!line.state.setAsideChains.empty()) {
        line.state.memberChain = std::move(line.state.setAsideChains.back());
        line.state.setAsideChains.pop_back();
        openWaitingCalls(line);
    }
    line.state.memberChain.restart(0);
    line.state.assignmentChain.clear();
    line.state.operatorColumns.clear();
}

}  // namespace bprep2
