// The per-token walk of the statement pass.
//
// Every token is examined once, in list order, by its type:
//   - line markers and line ends keep the position the messages name;
//   - NAME(...) is left alone for a declared function, a dimensioned array or
//     a name marked not to be resolved; with exactly one expression between
//     the parentheses it is a variable with a format mask and becomes
//     FMT(NAME,(mask)); otherwise, or when the name is both a function and an
//     array, the run ends with an error naming the line and file;
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
// Looking ahead and changing tokens ahead work on tokens directly; the
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

#include "passes/pass_steps.h"
#include "tokens/characters.h"
#include "tokens/keywords.h"
#include "tokens/scans.h"

namespace bprep2 {
namespace {

struct WalkState {
    Pass& pass;
    TokenList& tokens;
    PendingInsertions edits;
    size_t current = 0;     // the token being examined
    const std::vector<ParenSpan>& spans;
    size_t nextSpan = 0;
    int32_t line = 1;       // position the messages name
    Token fileMarker;       // the last line marker passed (its text is the file)
    size_t markedEnd = 0;   // tokens before this were reached by a CALL-word marking

    WalkState(Pass& p, const std::vector<ParenSpan>& s) : pass(p), tokens(p.tokens), spans(s) {
        resetToken(fileMarker, TokenKind::LineMarker);
    }
};

// The list as it will be after the walk, read backwards from the token
// being examined: the walked list's tokens before it, each preceded by the
// insertions made before it.
class TokensBehind {
   public:
    explicit TokensBehind(const WalkState& w)
        : tokens_(w.tokens), passed_(w.edits.passed), ownBehind_(w.current), insertsBehind_(passed_.size()) {}

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
const Token* lookBack(const WalkState& w, Reach reach) {
    TokensBehind behind(w);
    size_t found = previousSignificantIn(w.tokens, behind.count(), reach,
                                         [&behind](size_t i) -> const Token& { return behind.at(i); });
    return found == npos ? nullptr : &behind.at(found);
}

Token bracketToken(char c) {
    Token t;
    resetToken(t, TokenKind::Bracket);
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
    resetToken(separator, TokenKind::Comma);
    insertAhead(w.edits, open, separator);
    Token fmt;
    w.tokens.reset(fmt, TokenKind::Function, "FMT");
    insertHere(w.edits, w.current, fmt);
    insertHere(w.edits, w.current, bracketToken('('));
}

void resolveName(WalkState& w, size_t index) {
    Pass& pass = w.pass;
    TokenList& tokens = w.tokens;
    size_t open = nextSignificant(tokens, index, Reach::SameLine);
    if (open == npos || !isBracket(tokens[open], '(')) return;
    const Token& name = tokens[index];
    std::string_view word = tokens.text(name);
    bool isFunction = pass.declared.functions.lookUp(word);
    bool isArray = pass.declared.isArray(word, pass.options.caseSensitive());
    if (isFunction && isArray) {
        std::string file(tokens.text(w.fileMarker));
        pass.diagnostics.error("Variable %s at line %d in file %s is both a function and a dimensioned array.\n",
                              std::string(word).c_str(), w.line, file.c_str());
    }
    if (isArray || isFunction || name.special == specialNoResolve) return;
    const ParenSpan* span = spanOpeningAt(w, open);
    if (span == nullptr || span->close == npos) return;
    if (span->count != 1) {
        std::string file(tokens.text(w.fileMarker));
        pass.diagnostics.error(
            "Variable %s at line %d in file %s is neither a function nor a dimensioned array.\n"
            "    As it has %d expressions between (), it is not a variable with formatting.\n",
            std::string(word).c_str(), w.line, file.c_str(), span->count);
    }
    rewriteAsFormatted(w, open, span->close);
}

// --- keywords --------------------------------------------------------------

bool followedByOpenParen(const TokenList& tokens, size_t index) {
    size_t next = nextSignificant(tokens, index, Reach::Anywhere);
    return next != npos && isBracket(tokens[next], '(');
}

// Nothing but a plain assignment target may stand before DEBUG and TCLREAD
// for them to be statements.
bool startsStatement(WalkState& w) {
    const Token* before = lookBack(w, Reach::SameLine);
    return before == nullptr || before->flags == flagAssign;
}

bool debugIsStatement(WalkState& w, size_t index) {
    const auto& tokens = w.tokens;
    size_t next = nextSignificant(tokens, index, Reach::SameLine);
    bool endsHere = next == npos || tokens[next].kind == TokenKind::Separator ||
                    (tokens[next].kind == TokenKind::Keyword && tokens[next].hasKeywordFlag(kwThenElse));
    return endsHere && startsStatement(w);
}

bool errorIsStatement(WalkState& w) {
    const Token* before = lookBack(w, Reach::SameLine);
    if (before == nullptr) return false;
    const Token& t = *before;
    return t.kind == TokenKind::Keyword && sameWord(w.tokens.text(t), "ON", w.pass.options.caseSensitive());
}

// TCLREAD X, alone in its statement, reads X = @SENTENCE.
void rewriteTclread(WalkState& w, size_t index) {
    TokenList& tokens = w.tokens;
    size_t target = nextSignificant(tokens, index, Reach::SameStatement);
    // The target may be the closing bracket of a mask rewritten to FMT, with
    // the added ) waiting right behind it.
    bool alone = target != npos && nextSignificant(tokens, target, Reach::SameStatement) == npos &&
                 w.edits.ahead.count(target + 1) == 0;
    if (!startsStatement(w) || !alone) {
        demoteKeyword(tokens, tokens[index]);
        return;
    }
    Token& keyword = tokens[index];
    keyword.kind = TokenKind::Name;
    keyword.value = 0;
    keyword.special = 0;
    keyword.shareText(tokens[target]);
    becomes(tokens, tokens[target], TokenKind::Verbatim, "= @SENTENCE");
}

// CALL SUB1(A): the word and the names up to the parenthesis (or up to a
// static call's text, which took the parenthesis in) are marked so that the
// routine name is never taken for NAME(...).
void markCallWords(WalkState& w, size_t index) {
    auto& tokens = w.tokens;
    tokens[index].special = specialNoResolve;
    // A CALL word inside a stretch an earlier one marked would mark the same
    // tokens again up to the same stop: nothing ahead changes in between.
    if (index < w.markedEnd) return;
    size_t t = index;
    while ((t = nextSignificant(w.tokens, t, Reach::SameLine)) != npos) {
        TokenKind kind = tokens[t].kind;
        if (kind == TokenKind::LineEnd || kind == TokenKind::Separator || kind == TokenKind::Bracket ||
            isFoldedOpenBracket(tokens[t]))
            break;
        tokens[t].special = specialNoResolve;
        w.markedEnd = t + 1;
    }
}

void applyKeywordRules(WalkState& w, size_t index) {
    Pass& pass = w.pass;
    TokenList& tokens = w.tokens;
    const Token original = tokens[index];  // the rules decide on the flags as found
    if (!pass.options.caseSensitive() && original.hasKeywordFlag(kwAnyFunction) && !followedByOpenParen(tokens, index)) {
        demoteKeyword(tokens, tokens[index]);
    }
    if (original.hasKeywordFlag(kwDebug)) {
        if (!debugIsStatement(w, index)) demoteKeyword(tokens, tokens[index]);
    } else if (original.hasKeywordFlag(kwError)) {
        if (!errorIsStatement(w)) demoteKeyword(tokens, tokens[index]);
    } else if (original.hasKeywordFlag(kwTclread)) {
        rewriteTclread(w, index);
    }
    if (original.hasKeywordFlag(kwCallLike)) markCallWords(w, index);
}

// --- separators and braces -------------------------------------------------

void dropSeparatorAfterThenElse(WalkState& w, size_t index) {
    TokensBehind behind(w);
    while (behind.count() > 0 && behind.nearest().kind == TokenKind::Blank) behind.stepBack();
    if (behind.count() > 0 && behind.nearest().kind == TokenKind::Keyword &&
        behind.nearest().hasKeywordFlag(kwThenElse)) {
        resetToken(w.tokens[index], TokenKind::Deleted);
    }
}

void rewriteBrace(WalkState& w, size_t index) {
    Pass& pass = w.pass;
    TokenList& tokens = w.tokens;
    Token& brace = tokens[index];
    if (brace.value == '{') {
        becomes(tokens, brace, TokenKind::Keyword, "THEN");
        return;
    }
    if (brace.value != '}') return;
    becomes(tokens, brace, TokenKind::Keyword, "END");
    size_t word = nextSignificant(tokens, index, Reach::Anywhere);
    if (word == npos) return;
    if (sameWord(tokens.text(tokens[word]), "else", pass.options.caseSensitive())) {
        size_t open = nextSignificant(tokens, word, Reach::Anywhere);
        if (open == npos || tokens[open].kind != TokenKind::Brace || tokens[open].value != '{') return;
        becomes(tokens, tokens[index], TokenKind::Verbatim, " END ELSE ");
        deleteAhead(tokens, w.edits, index + 1, open);
    } else if (sameWord(tokens.text(tokens[word]), "elseif", pass.options.caseSensitive())) {
        becomes(tokens, tokens[index], TokenKind::Verbatim, " END ELSE IF ");
        deleteAhead(tokens, w.edits, index + 1, word);
    }
}

// The kinds examine acts on.
constexpr KindSet examinedKinds{TokenKind::LineMarker, TokenKind::LineEnd, TokenKind::Name, TokenKind::Keyword,
                                TokenKind::Function, TokenKind::Separator, TokenKind::Brace};

void examine(WalkState& w, size_t index) {
    Token& t = w.tokens[index];
    switch (t.kind) {
        case TokenKind::LineMarker:
            w.line = t.value;
            w.fileMarker = t;
            break;
        case TokenKind::LineEnd:
            // Counted by the lines it stands for, so that lines joined onto
            // another still count; a line marker near the top of the range
            // leaves the count at the largest number instead of overflowing.
            w.line = static_cast<int32_t>(std::min<int64_t>(int64_t{w.line} + t.value, INT32_MAX));
            break;
        case TokenKind::Name:
            resolveName(w, index);
            break;
        case TokenKind::Keyword:
        case TokenKind::Function:
            applyKeywordRules(w, index);
            break;
        case TokenKind::Separator:
            dropSeparatorAfterThenElse(w, index);
            break;
        case TokenKind::Brace:
            rewriteBrace(w, index);
            break;
        default:
            break;
    }
}

}  // namespace

void demoteKeyword(TokenList& tokens, Token& token) {
    std::string word(tokens.text(token));
    for (size_t i = 0; i < word.size(); ++i) word[i] = i == 0 ? toUpperCase(word[i]) : toLowerCase(word[i]);
    tokens.reset(token, TokenKind::NameAsWritten, word);
}

void runNameAndKeywordWalk(Pass& pass, const std::vector<ParenSpan>& spans) {
    WalkState w(pass, spans);
    TokenList& tokens = pass.tokens;
    // The walk changes tokens in place and holds its insertions back, so
    // the list keeps its length until applyInsertions.
    const size_t count = tokens.size();
    for (size_t i = 0; i < count; ++i) {
        passPending(w.edits, i);
        if (!examinedKinds.has(tokens[i].kind)) continue;
        w.current = i;
        examine(w, i);
    }
    applyInsertions(tokens, w.edits);
}

}  // namespace bprep2
