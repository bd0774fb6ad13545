// The per-token walk of the statement pass.
//
// Every token is examined once, in list order, by its type:
//   - line markers and line ends keep the position the messages name;
//   - NAME(...) is left alone for a declared function, a dimensioned array or
//     a name marked not to be resolved; with exactly one expression between
//     the parentheses it is a variable with a format mask and becomes
//     FMT(NAME,(mask)); otherwise, or when the name is both a function and an
//     array, the pass stops with an error naming the line and file;
//   - built-in functions used as names, and DEBUG, ERROR and TCLREAD where
//     they are no statement, become names; TCLREAD X becomes X = @SENTENCE;
//   - a separator right after THEN or ELSE is deleted;
//   - { becomes THEN, } becomes END and swallows a following else { or
//     elseif (into " END ELSE " and " END ELSE IF ");
//   - the name after a CALL-like word is marked not to be resolved.
//
// The walk changes tokens in place and holds its insertions back (see
// PendingInsertions): the FMT rewrite adds four tokens per name, and
// inserting them at once would move the whole tail of the list each time.
// Looking ahead and changing tokens ahead work on ctx.tokens directly; the
// rules that look back see the list as it will be, the insertions already
// passed in their places. A look-ahead from the token being examined never
// reaches an insertion still waiting: each one sits right behind a bracket,
// or behind the blanks after a name already passed, and the bracket stops
// every scan first. Only TCLREAD scans on from another token, and it checks
// for a waiting insertion itself. The work per token is bounded by the
// stretch of blanks it looks over, so the walk is linear in the list's length.
#include <algorithm>
#include <climits>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/report.h"
#include "passes/pass_steps.h"
#include "tokens/keywords.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

struct WalkState {
    PreprocessorContext& ctx;
    PendingInsertions edits;
    size_t current = 0;     // the token being examined
    const std::vector<ParenSpan>& spans;
    size_t nextSpan = 0;
    int32_t line = 1;       // position the messages name
    Token fileMarker;       // the last line marker passed (its text is the file)
    size_t markedEnd = 0;   // tokens before this were reached by a CALL-word marking

    WalkState(PreprocessorContext& c, const std::vector<ParenSpan>& s) : ctx(c), spans(s) {
        resetToken(fileMarker, changeline);
    }
};

size_t nextAfter(const PreprocessorContext& ctx, size_t index, int mode) {
    if (index == npos || index + 1 >= tokenCount(ctx)) return npos;
    return nextSignificant(ctx, index + 1, mode);
}

// The list as it will be after the walk, read backwards from the token
// being examined: the walked list's tokens before it, each preceded by the
// insertions made before it.
class TokensBehind {
   public:
    explicit TokensBehind(const WalkState& w)
        : tokens_(w.ctx.tokens), passed_(w.edits.passed), ownBehind_(w.current), insertsBehind_(passed_.size()) {}

    // Tokens behind the examined one; the nearest stands at position count() - 1.
    size_t count() const { return ownBehind_ + insertsBehind_; }
    const Token& nearest() const {
        return nearestIsInsert() ? passed_[insertsBehind_ - 1].second : tokens_[ownBehind_ - 1];
    }
    void stepBack() {
        if (nearestIsInsert()) --insertsBehind_;
        else --ownBehind_;
    }
    // The token at `position`, for positions asked in decreasing order.
    const Token& at(size_t position) {
        while (count() > position + 1) stepBack();
        return nearest();
    }

   private:
    bool nearestIsInsert() const { return insertsBehind_ > 0 && passed_[insertsBehind_ - 1].first >= ownBehind_; }

    const TokenList& tokens_;
    const std::deque<std::pair<size_t, Token>>& passed_;
    size_t ownBehind_;
    size_t insertsBehind_;
};

// The significant token before the one being examined, or none.
const Token* lookBack(const WalkState& w, int mode) {
    TokensBehind behind(w);
    if (behind.count() == 0) return nullptr;
    size_t found = previousSignificantIn(w.ctx, behind.count() - 1, mode,
                                         [&behind](size_t i) -> const Token& { return behind.at(i); });
    return found == npos ? nullptr : &behind.at(found);
}

bool isBracket(const Token& t, char c) { return t.type == extract && t.value == c; }

bool hasFlag(const Token& t, uint32_t bit) { return (static_cast<uint32_t>(t.value) & bit) != 0; }

Token bracketToken(char c) {
    Token t;
    resetToken(t, extract);
    t.value = c;
    return t;
}

// --- NAME(...) -------------------------------------------------------------

const ParenSpan* spanOpeningAt(WalkState& w, size_t open) {
    // Names are resolved in list order, so their parentheses come in order too.
    while (w.nextSpan < w.spans.size() && w.spans[w.nextSpan].open < open) ++w.nextSpan;
    if (w.nextSpan < w.spans.size() && w.spans[w.nextSpan].open == open) return &w.spans[w.nextSpan];
    return nullptr;
}

// NAME(mask) -> FMT(NAME,(mask)): FMT and ( go in front of the name now, the
// comma before the parenthesis and the closing ) after the mask's own.
void rewriteAsFormatted(WalkState& w, size_t open, size_t close) {
    insertAhead(w.edits, close + 1, bracketToken(')'));
    Token separator;
    resetToken(separator, comma);
    insertAhead(w.edits, open, separator);
    Token fmt;
    resetToken(w.ctx, fmt, system_function, "FMT");
    insertHere(w.edits, w.current, fmt);
    insertHere(w.edits, w.current, bracketToken('('));
}

int32_t resolveName(WalkState& w, size_t index) {
    PreprocessorContext& ctx = w.ctx;
    size_t open = nextAfter(ctx, index, modeSameLine);
    if (open == npos || !isBracket(ctx.tokens[open], '(')) return 0;
    const Token& name = ctx.tokens[index];
    std::string_view word = ctx.text(name);
    bool isFunction = isMember(ctx.userFunctions, word);
    bool isArray = isMember(ctx.dimArrays, lookupSpelling(ctx, word, ctx.foldBuffer));
    if (isFunction && isArray) {
        std::string file(ctx.text(w.fileMarker));
        report(ctx, "Variable %s at line %d in file %s is both a function and a dimensioned array.\n",
               std::string(word).c_str(), w.line, file.c_str());
        return 1;
    }
    if (isArray || isFunction || name.special == specialNoResolve) return 0;
    const ParenSpan* span = spanOpeningAt(w, open);
    if (span == nullptr || span->close == npos) return 0;
    if (span->count != 1) {
        std::string file(ctx.text(w.fileMarker));
        report(ctx,
               "Variable %s at line %d in file %s is neither a function nor a dimensioned array.\n"
               "    As it has %d expressions between (), it is not a variable with formatting.\n",
               std::string(word).c_str(), w.line, file.c_str(), span->count);
        return 1;
    }
    rewriteAsFormatted(w, open, span->close);
    return 0;
}

// --- keywords --------------------------------------------------------------

bool followedByOpenParen(const PreprocessorContext& ctx, size_t index) {
    size_t next = nextAfter(ctx, index, modeAnywhere);
    return next != npos && isBracket(ctx.tokens[next], '(');
}

// Nothing but a plain assignment target may stand before DEBUG and TCLREAD
// for them to be statements.
bool startsStatement(WalkState& w) {
    const Token* before = lookBack(w, modeSameLine);
    return before == nullptr || before->flags == flagAssign;
}

bool debugIsStatement(WalkState& w, size_t index) {
    const auto& tokens = w.ctx.tokens;
    size_t next = nextAfter(w.ctx, index, modeSameLine);
    bool endsHere = next == npos || tokens[next].type == newstatement ||
                    (tokens[next].type == system_keyword && hasFlag(tokens[next], kwThenElse));
    return endsHere && startsStatement(w);
}

bool errorIsStatement(WalkState& w) {
    const Token* before = lookBack(w, modeSameLine);
    if (before == nullptr) return false;
    const Token& t = *before;
    return t.type == system_keyword && sameWord(w.ctx, w.ctx.text(t), "ON") == 0;
}

// TCLREAD X, alone in its statement, reads X = @SENTENCE.
void rewriteTclread(WalkState& w, size_t index) {
    PreprocessorContext& ctx = w.ctx;
    size_t target = nextAfter(ctx, index, modeSameStatement);
    // The target may be the closing bracket of a mask rewritten to FMT, with
    // the added ) waiting right behind it.
    bool alone = target != npos && nextAfter(ctx, target, modeSameStatement) == npos &&
                 w.edits.ahead.count(target + 1) == 0;
    if (!startsStatement(w) || !alone) {
        demoteKeyword(ctx, ctx.tokens[index]);
        return;
    }
    Token& keyword = ctx.tokens[index];
    keyword.type = variable;
    keyword.value = 0;
    keyword.special = 0;
    keyword.shareText(ctx.tokens[target]);
    becomes(ctx, ctx.tokens[target], unparsed, "= @SENTENCE");
}

// CALL SUB1(A): the word and the names up to the parenthesis (or up to a
// static call's text, which took the parenthesis in) are marked so that the
// routine name is never taken for NAME(...).
void markCallWords(WalkState& w, size_t index) {
    auto& tokens = w.ctx.tokens;
    tokens[index].special = specialNoResolve;
    // A CALL word inside a stretch an earlier one marked would mark the same
    // tokens again up to the same stop: nothing ahead changes in between.
    if (index < w.markedEnd) return;
    size_t t = index;
    while ((t = nextAfter(w.ctx, t, modeSameLine)) != npos) {
        int32_t type = tokens[t].type;
        if (type == endofline || type == newstatement || type == extract || isFoldedOpenBracket(tokens[t])) break;
        tokens[t].special = specialNoResolve;
        w.markedEnd = t + 1;
    }
}

void applyKeywordRules(WalkState& w, size_t index) {
    PreprocessorContext& ctx = w.ctx;
    const Token original = ctx.tokens[index];  // the rules decide on the flags as found
    if (!ctx.caseSensitive() && hasFlag(original, kwAnyFunction) && !followedByOpenParen(ctx, index)) {
        demoteKeyword(ctx, ctx.tokens[index]);
    }
    if (hasFlag(original, kwDebug)) {
        if (!debugIsStatement(w, index)) demoteKeyword(ctx, ctx.tokens[index]);
    } else if (hasFlag(original, kwError)) {
        if (!errorIsStatement(w)) demoteKeyword(ctx, ctx.tokens[index]);
    } else if (hasFlag(original, kwTclread)) {
        rewriteTclread(w, index);
    }
    if (hasFlag(original, kwCallLike)) markCallWords(w, index);
}

// --- separators and braces -------------------------------------------------

void dropSeparatorAfterThenElse(WalkState& w, size_t index) {
    TokensBehind behind(w);
    while (behind.count() > 0 && behind.nearest().type == whitespace) behind.stepBack();
    if (behind.count() > 0 && behind.nearest().type == system_keyword && hasFlag(behind.nearest(), kwThenElse)) {
        resetToken(w.ctx.tokens[index], null_token);
    }
}

void rewriteBrace(WalkState& w, size_t index) {
    PreprocessorContext& ctx = w.ctx;
    Token& brace = ctx.tokens[index];
    if (brace.value == '{') {
        becomes(ctx, brace, system_keyword, "THEN");
        return;
    }
    if (brace.value != '}') return;
    becomes(ctx, brace, system_keyword, "END");
    size_t word = nextAfter(ctx, index, modeAnywhere);
    if (word == npos) return;
    if (sameWord(ctx, ctx.text(ctx.tokens[word]), "else") == 0) {
        size_t open = nextAfter(ctx, word, modeAnywhere);
        if (open == npos || ctx.tokens[open].type != braces || ctx.tokens[open].value != '{') return;
        becomes(ctx, ctx.tokens[index], unparsed, " END ELSE ");
        deleteAhead(ctx, w.edits, index + 1, open);
    } else if (sameWord(ctx, ctx.text(ctx.tokens[word]), "elseif") == 0) {
        becomes(ctx, ctx.tokens[index], unparsed, " END ELSE IF ");
        deleteAhead(ctx, w.edits, index + 1, word);
    }
}

// The types examine acts on: the others (blanks, punctuation, numbers and
// strings, most of the list) are passed with one test.
constexpr uint32_t examinedTypes = typeBit(changeline) | typeBit(endofline) | typeBit(variable) |
                                   typeBit(system_keyword) | typeBit(system_function) | typeBit(newstatement) |
                                   typeBit(braces);
bool isExamined(uint8_t type) { return isTypeIn(examinedTypes, type); }

int32_t examine(WalkState& w, size_t index) {
    Token& t = w.ctx.tokens[index];
    switch (t.type) {
        case changeline:
            w.line = t.value;
            w.fileMarker = t;
            return 0;
        case endofline:
            // Counted by the lines it stands for, so that lines joined onto
            // another still count; a line marker near the top of the range
            // leaves the count at the largest number instead of overflowing.
            w.line = static_cast<int32_t>(std::min<int64_t>(int64_t{w.line} + t.value, INT32_MAX));
            return 0;
        case variable:
            return resolveName(w, index);
        case system_keyword:
        case system_function:
            applyKeywordRules(w, index);
            return 0;
        case newstatement:
            dropSeparatorAfterThenElse(w, index);
            return 0;
        case braces:
            rewriteBrace(w, index);
            return 0;
        default:
            return 0;
    }
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void demoteKeyword(PreprocessorContext& ctx, Token& token) {
    std::string word(ctx.text(token));
    for (size_t i = 0; i < word.size(); ++i) word[i] = i == 0 ? upperAscii(word[i]) : lowerAscii(word[i]);
    resetToken(ctx, token, var_no_case, word);
}

int32_t runNameAndKeywordWalk(PreprocessorContext& ctx, const std::vector<ParenSpan>& spans) {
    WalkState w(ctx, spans);
    // The walk changes tokens in place and holds its insertions back, so
    // the list keeps its length until applyInsertions.
    const size_t count = ctx.tokens.size();
    for (size_t i = 0; i < count; ++i) {
        passPending(w.edits, i);
        if (!isExamined(ctx.tokens[i].type)) continue;
        w.current = i;
        if (examine(w, i) != 0) return 1;
    }
    applyInsertions(ctx, w.edits);
    return 0;
}

}  // namespace bprep2
