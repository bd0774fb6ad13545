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

// A bracket has no text: its value is its character.
bool isAngleBracket(const Token& t) {
    if (t.kind != TokenKind::Bracket) return false;
    const int32_t bracket = t.value();
    return bracket == '<' || bracket == '>';
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

// The token after the line starting at `first`: the line ends at its
// LineEnd (or the list's end), and goes on past the line ends a trailing
// comma joins onto it. Notes whether the line holds an angle bracket.
size_t lineEnd(const TokenList& tokens, size_t first, bool& angles) {
    const size_t count = tokens.size();
    angles = false;
    for (size_t i = first;; ++i) {
        angles |= isAngleBracket(tokens[i]);
        if (tokens[i].kind != TokenKind::LineEnd && i + 1 != count) continue;
        size_t comma = tokens[i].kind == TokenKind::LineEnd ? trailingCommaBefore(tokens, first, i) : npos;
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

// Forward: a `>` that closes more than was opened since the pairing began
// is a comparison. A pairing begins again at a statement separator
// (SeparatorRun) and at a keyword other than a function call. True when
// the line holds a `<`.
bool rewriteGreaterThans(TokenList& tokens, ComparisonTexts& texts, size_t first, size_t end) {
    int32_t depth = 0;
    bool hasLess = false;
    for (size_t i = first; i < end; ++i) {
        const Token& t = tokens[i];
        switch (t.kind) {
            case TokenKind::Separator: {
                SeparatorRun run = separatorRun(tokens, first, end, i);
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
                    hasLess = true;
                } else if (t.value() == '>' && --depth < 0) {
                    makeComparison(tokens, texts, i, ComparisonTexts::greater, ComparisonTexts::greaterOrEqual);
                    depth = 0;
                }
                break;
            default:
                break;
        }
    }
    return hasLess;
}

// Backward: the same for an unmatched `<`.
void rewriteLessThans(TokenList& tokens, ComparisonTexts& texts, size_t first, size_t end) {
    int32_t depth = 0;
    for (size_t i = end; i-- > first;) {
        const Token& t = tokens[i];
        switch (t.kind) {
            case TokenKind::Separator: {
                SeparatorRun run = separatorRun(tokens, first, end, i);
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
// and only a line with one is read forward, then, when it holds a `<`,
// backward. Returns where the next line starts.
size_t rewriteLineComparisons(TokenList& tokens, ComparisonTexts& texts, size_t first) {
    bool angles = false;
    size_t end = lineEnd(tokens, first, angles);
    if (angles && rewriteGreaterThans(tokens, texts, first, end)) rewriteLessThans(tokens, texts, first, end);
    return end;
}

}  // namespace

void rewriteComparisons(TokenList& tokens) {
    ComparisonTexts texts;
    for (size_t first = 0; first < tokens.size();) first = rewriteLineComparisons(tokens, texts, first);
}

}  // namespace bprep2
