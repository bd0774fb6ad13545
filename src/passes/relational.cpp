// Comparison brackets.
//
// The scanner leaves every `<` and `>` as a bracket, since X<1,2> extracts
// from a dynamic array. Here each line is read twice: forward, a `>` that
// closes more than was opened since the pairing began is a comparison;
// then backward, the same for an unmatched `<`. A pairing begins again at
// a keyword (unless it is used as a function, directly followed by a
// bracket) and at a statement separator. A comparison becomes " GT ",
// " GE ", " LT " or " LE ", and an `=` written next to it (directly after, or
// as the significant token before) is deleted. A `<`...`>` pair with no
// keyword or separator between them stays an extraction; a line with no
// angle bracket is only passed over, and one without a `<` needs no
// backward reading. A statement the writer joins onto one line after a
// trailing comma is one line here too.
// Nothing is inserted or removed, the look-back for the `=` only crosses
// blanks and deleted tokens, and each stretch after a trailing comma is
// looked over a bounded number of times, so the rewrite is linear in the
// length of the list.
#include <string_view>

#include "passes/pass_steps.h"
#include "tokens/comma_join.h"
#include "tokens/scans.h"

namespace bprep2 {
namespace {

// The texts a comparison becomes, each stored in the pool the first time
// it is needed and shared by every comparison after.
class ComparisonTexts {
   public:
    enum Which { greater, greaterOrEqual, less, lessOrEqual };
    std::string_view text(TokenList& tokens, Which which) {
        static constexpr std::string_view spelled[] = {" GT ", " GE ", " LT ", " LE "};
        TextRef& stored = stored_[which];
        if (stored.length == 0) stored = tokens.storeText(spelled[which]);
        return tokens.textOf(stored);
    }

   private:
    TextRef stored_[4];
};

// `at` is a comparison: rewrite it, folding an adjacent `=` into it.
void makeComparison(TokenList& tokens, ComparisonTexts& texts, size_t at, ComparisonTexts::Which strict,
                    ComparisonTexts::Which orEqual) {
    ComparisonTexts::Which which = strict;
    if (at + 1 < tokens.size() && tokens[at + 1].kind == TokenKind::Equals) {
        resetToken(tokens[at + 1], TokenKind::Deleted);
        which = orEqual;
    } else {
        size_t before = previousSignificant(tokens, at, Reach::SameLine);
        if (before != npos && tokens[before].kind == TokenKind::Equals) {
            resetToken(tokens[before], TokenKind::Deleted);
            which = orEqual;
        }
    }
    becomes(tokens, tokens[at], TokenKind::OperatorText, texts.text(tokens, which));
}

// AND, OR, the comparison words and the like stand between two operands,
// also before a bracket; they are never called.
bool isOperatorWord(std::string_view word) {
    for (std::string_view op : {"AND", "OR", "EQ", "NE", "LT", "LE", "GT", "GE", "MATCH", "MATCHES", "CAT", "&"})
        if (equalIgnoringCase(word, op)) return true;
    return false;
}

// A keyword directly followed by '(' is used as a function (TRIM(X) in
// R<1,TRIM(X)>), inside the expression it stands in.
bool isUsedAsFunction(const TokenList& tokens, size_t index) {
    return index + 1 < tokens.size() && isBracket(tokens[index + 1], '(') && !isOperatorWord(tokens.text(tokens[index]));
}

// The comma a line end at `index` follows, past blanks, separators and line
// ends (none before `first`), or npos.
size_t trailingCommaBefore(const TokenList& tokens, size_t first, size_t index) {
    size_t i = index;
    while (i > first && commaJoinFillers.has(tokens[i - 1].kind)) --i;
    return i > first && tokens[i - 1].kind == TokenKind::Comma ? i - 1 : npos;
}

// Where a line's angle brackets stand: the forward reading matters only
// from its first angle bracket to its last `>`, the backward one only from
// its first `<` to its last angle bracket; npos where there is none.
struct LineAngles {
    size_t first = npos;
    size_t last = npos;
    size_t firstLess = npos;
    size_t lastGreater = npos;

    void note(const Token& bracket, size_t at) {
        const int32_t character = bracket.value();
        if (character != '<' && character != '>') return;
        if (first == npos) first = at;
        last = at;
        if (character == '>') lastGreater = at;
        else if (firstLess == npos) firstLess = at;
    }
};

// The kinds the search for a line's end stops at.
constexpr KindSet lineEndOrBracket{TokenKind::LineEnd, TokenKind::Bracket};

// The first token from `i` on whose kind is in lineEndOrBracket, or
// `count`. Most tokens are neither, so four are asked about at a time: the
// search reads every token of the program.
size_t nextLineEndOrBracket(const Token* tokens, size_t i, size_t count) {
    auto stops = [tokens](size_t at) { return lineEndOrBracket.has(tokens[at].kind); };
    while (i + 4 <= count && !(stops(i) | stops(i + 1) | stops(i + 2) | stops(i + 3))) i += 4;
    while (i < count && !stops(i)) ++i;
    return i;
}

// The token after the line starting at `first`: the line ends at its
// LineEnd (or the list's end), and goes on past the line ends a trailing
// comma joins onto it. Notes where the line's angle brackets stand.
size_t lineEnd(const TokenList& tokens, size_t first, LineAngles& angles) {
    const size_t count = tokens.size();
    for (size_t i = first;; ++i) {
        i = nextLineEndOrBracket(tokens.begin(), i, count);
        if (i == count) return count;
        if (tokens[i].kind == TokenKind::Bracket) {
            angles.note(tokens[i], i);
            continue;
        }
        size_t comma = trailingCommaBefore(tokens, first, i);
        if (comma == npos) return i + 1;
        size_t stretchEnd = joinedStretchEnd(tokens, comma);
        if (stretchEnd < i) return i + 1;
        i = stretchEnd;
    }
}

// The run of separators, blanks and line ends around the separator at
// `index`, within the line [first, end): where it begins and ends, and
// whether a trailing comma before it joins it onto the statement, so that
// it separates nothing.
struct SeparatorRun {
    size_t begin = 0;
    size_t last = 0;
    bool joined = false;
};

SeparatorRun separatorRun(const TokenList& tokens, size_t first, size_t end, size_t index) {
    SeparatorRun run{index, index, false};
    while (run.begin > first && commaJoinFillers.has(tokens[run.begin - 1].kind)) --run.begin;
    while (run.last + 1 < end && commaJoinFillers.has(tokens[run.last + 1].kind)) ++run.last;
    run.joined = run.begin > first && tokens[run.begin - 1].kind == TokenKind::Comma &&
                 joinedStretchEnd(tokens, run.begin - 1) >= run.last;
    return run;
}

// A line [first, end) and the stretch of it a reading goes over.
struct LineStretch {
    size_t first = 0;
    size_t end = 0;
    size_t from = 0;
    size_t to = 0;  // not included
};

// Forward: a `>` that closes more than was opened since the pairing began
// is a comparison. A pairing begins again at a statement separator
// (SeparatorRun) and at a keyword other than a function call.
void rewriteGreaterThans(TokenList& tokens, ComparisonTexts& texts, const LineStretch& line) {
    int32_t depth = 0;
    for (size_t i = line.from; i < line.to; ++i) {
        const Token& t = tokens[i];
        switch (t.kind) {
            case TokenKind::Separator: {
                SeparatorRun run = separatorRun(tokens, line.first, line.end, i);
                if (!run.joined) depth = 0;
                i = run.last;
                break;
            }
            case TokenKind::Keyword:
                if (!isUsedAsFunction(tokens, i)) depth = 0;
                break;
            case TokenKind::Bracket:
                if (t.value() == '<') {
                    ++depth;
                } else if (t.value() == '>' && --depth < 0) {
                    makeComparison(tokens, texts, i, ComparisonTexts::greater, ComparisonTexts::greaterOrEqual);
                    depth = 0;
                }
                break;
            default:
                break;
        }
    }
}

// Backward: the same for an unmatched `<`.
void rewriteLessThans(TokenList& tokens, ComparisonTexts& texts, const LineStretch& line) {
    int32_t depth = 0;
    for (size_t i = line.to; i-- > line.from;) {
        const Token& t = tokens[i];
        switch (t.kind) {
            case TokenKind::Separator: {
                SeparatorRun run = separatorRun(tokens, line.first, line.end, i);
                if (!run.joined) depth = 0;
                i = run.begin;
                break;
            }
            case TokenKind::Keyword:
                if (!isUsedAsFunction(tokens, i)) depth = 0;
                break;
            case TokenKind::Bracket:
                if (t.value() == '>') {
                    ++depth;
                } else if (t.value() == '<' && --depth < 0) {
                    makeComparison(tokens, texts, i, ComparisonTexts::less, ComparisonTexts::lessOrEqual);
                    depth = 0;
                }
                break;
            default:
                break;
        }
    }
}

// Most lines hold no angle bracket at all: the line's end is found first,
// and only a line with one is read, forward when it holds a `>`, then
// backward when it holds a `<`, each reading only where it may rewrite
// something. Returns where the next line starts.
size_t rewriteLineComparisons(TokenList& tokens, ComparisonTexts& texts, size_t first) {
    LineAngles angles;
    const size_t end = lineEnd(tokens, first, angles);
    if (angles.lastGreater != npos)
        rewriteGreaterThans(tokens, texts, {first, end, angles.first, angles.lastGreater + 1});
    if (angles.firstLess != npos) rewriteLessThans(tokens, texts, {first, end, angles.firstLess, angles.last + 1});
    return end;
}

}  // namespace

void rewriteComparisons(TokenList& tokens) {
    ComparisonTexts texts;
    for (size_t first = 0; first < tokens.size();) first = rewriteLineComparisons(tokens, texts, first);
}

}  // namespace bprep2
