// The per-token walk of the statement pass.
//
// Every token is examined once, in list order, by its type:
//   - a line marker sets the file and line the messages name (the line
//     ends after it are counted only when a message needs the line);
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
// The walk reads the list once and writes it again (ListRewrite): the FMT
// rewrite writes FMT( before the name at once, its comma right after the
// name and the blanks up to its bracket, and plans its closing ) before the
// token ahead it goes before; } else { drops what
// follows the brace by skipping it. Rules that look ahead read the input,
// those that look back read the output. The work per token is bounded by
// the stretch of blanks it looks over, and the bracket pairs a resolution
// asks about are measured at most once each (BracketSpans), so the walk is
// linear in the list's length.
#include <algorithm>
#include <array>
#include <climits>
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

// What the declared-name lookups answered for one spelling of a name. A
// name written again as it was the first time shares that first text in
// the pool, so where its text lies tells the spelling without reading it,
// and a program uses the same names again and again.
struct KnownName {
    TextRef text;  // length 0: no name yet
    bool isFunction = false;
    bool isArray = false;
};
constexpr int knownNameSlotBits = 8;
constexpr size_t knownNameSlots = size_t{1} << knownNameSlotBits;

size_t knownNameSlot(TextRef text) {
    return (text.offset * 0x9E3779B1u) >> (32 - knownNameSlotBits);
}

struct WalkState {
    Pass& pass;
    ListRewrite list;
    BracketSpans spans;
    // The line the messages name, counted up to output position lineCountedTo.
    int32_t line = 1;
    size_t lineCountedTo = 0;
    Token fileMarker;       // the last line marker passed (its text is the file)
    size_t markedEnd = 0;   // tokens before this were reached by a CALL-word marking
    Token formatFunction;   // the FMT every rewrite writes, its text stored once; Deleted until needed
    size_t maskCommaBefore = npos;  // the bracket of the name just rewritten to FMT
    DeclaredNameFilter declaredFilter;
    std::array<KnownName, knownNameSlots> knownNames{};

    explicit WalkState(Pass& p) : pass(p), list(p.tokens), declaredFilter(p.declared) {
        resetToken(fileMarker, TokenKind::LineMarker);
    }
};

// The significant token written before the one being read, or none.
const Token* lookBack(const WalkState& w, Reach reach) {
    size_t found = previousSignificant(w.list.output(), w.list.written(), reach);
    return found == npos ? nullptr : &w.list.output()[found];
}

// The line of the token being read, for a message: the lines the line ends
// written since the last count stand for are added to it then, rather than
// as each is passed, since few runs give any message. Counted by the lines
// a line end stands for, so that lines joined onto another still count; a
// line marker near the top of the range leaves the count at the largest
// number instead of overflowing.
int32_t currentLine(WalkState& w) {
    const TokenList& output = w.list.output();
    for (; w.lineCountedTo < w.list.written(); ++w.lineCountedTo) {
        const Token& t = output[w.lineCountedTo];
        if (t.kind == TokenKind::LineEnd)
            w.line = static_cast<int32_t>(std::min<int64_t>(int64_t{w.line} + t.value(), INT32_MAX));
    }
    return w.line;
}

// --- NAME(...) -------------------------------------------------------------

// NAME(mask) -> FMT(NAME,(mask)): FMT and ( go in front of the name now, the
// comma before the parenthesis once the name is kept (writeMaskComma), and
// the closing ) after the mask's own.
void rewriteAsFormatted(WalkState& w, size_t open, size_t close) {
    ListRewrite& list = w.list;
    list.insertBefore(close + 1, bracketToken(')'));
    w.maskCommaBefore = open;
    if (w.formatFunction.kind != TokenKind::Function)
        w.formatFunction = list.tokens().make(TokenKind::Function, "FMT");
    list.write(w.formatFunction);
    list.write(bracketToken('('));
}

bool isDeclaredFunction(Pass& pass, std::string_view word) {
    NameSet& functions = pass.declared.functions;
    return pass.recordsLookups ? functions.lookUp(word) : functions.hasMember(word);
}

bool isDeclaredArray(Pass& pass, std::string_view word) {
    const bool caseSensitive = pass.options.caseSensitive();
    return pass.recordsLookups ? pass.declared.isArray(word, caseSensitive) : pass.declared.hasArray(word, caseSensitive);
}

// Most names are followed at once, or after one blank, by what decides
// whether a `(` follows them: the first of the next two input tokens that
// is no blank. Its answer, or that a longer look is needed.
struct FirstLook {
    bool decided = false;
    size_t open = npos;  // where decided: the `(`, or npos
};

FirstLook lookForBracketAfterName(const Token* input, size_t index, size_t count) {
    auto decidedBy = [input](size_t at) { return FirstLook{true, isBracket(input[at], '(') ? at : npos}; };
    if (index + 1 < count && !blanks.has(input[index + 1].kind)) return decidedBy(index + 1);
    if (index + 2 < count && !blanks.has(input[index + 2].kind)) return decidedBy(index + 2);
    return {};
}

// The `(` that follows the name at `index` on its line, or npos.
size_t bracketAfterName(const ListRewrite& list, size_t index) {
    const FirstLook look = lookForBracketAfterName(list.input(), index, list.inputSize());
    if (look.decided) return look.open;
    const size_t next = list.nextSignificant(index, Reach::SameLine);
    return next != npos && isBracket(list[next], '(') ? next : npos;
}

// The lookups' answers for a name, asked of the sets only for a spelling
// not met lately. A spelling's first lookups are always made, so the token
// dump still lists every name looked up, in the order of the first.
const KnownName& declaredAs(WalkState& w, const Token& name) {
    const TextRef text = w.list.tokens().textRef(name);
    KnownName& known = w.knownNames[knownNameSlot(text)];
    if (known.text.length == text.length && known.text.offset == text.offset) return known;
    Pass& pass = w.pass;
    std::string_view word = w.list.text(name);
    // The filter would keep names from the dump's list of those looked up.
    const bool mayBeDeclared = pass.recordsLookups || w.declaredFilter.mayBeDeclared(word);
    known = {text, mayBeDeclared && isDeclaredFunction(pass, word), mayBeDeclared && isDeclaredArray(pass, word)};
    return known;
}

void resolveName(WalkState& w, size_t index) {
    Pass& pass = w.pass;
    ListRewrite& list = w.list;
    size_t open = bracketAfterName(list, index);
    if (open == npos) return;
    const Token& name = list[index];
    std::string_view word = list.text(name);
    const KnownName& known = declaredAs(w, name);
    const bool isFunction = known.isFunction;
    const bool isArray = known.isArray;
    if (isFunction && isArray) {
        std::string file(list.text(w.fileMarker));
        pass.diagnostics.error("Variable %s at line %d in file %s is both a function and a dimensioned array.\n",
                              std::string(word).c_str(), currentLine(w), file.c_str());
    }
    if (isArray || isFunction || name.special == specialNoResolve) return;
    // Names are resolved in list order, so their parentheses come in order too.
    const ParenSpan* span = w.spans.spanAt(list, open);
    if (span == nullptr || span->close == npos) return;
    if (span->count != 1) {
        std::string file(list.text(w.fileMarker));
        pass.diagnostics.error(
            "Variable %s at line %d in file %s is neither a function nor a dimensioned array.\n"
            "    As it has %d expressions between (), it is not a variable with formatting.\n",
            std::string(word).c_str(), currentLine(w), file.c_str(), span->count);
    }
    rewriteAsFormatted(w, open, span->close);
}

// Only blanks stand between a name and its bracket, and the only tokens
// this walk plans, the masks' closing brackets, each go right after a
// closing bracket, so none waits there: the comma is written once the name
// and those blanks are kept, where a plan would have put it.
void writeMaskComma(WalkState& w) {
    w.list.keepUpTo(w.maskCommaBefore);
    Token comma;
    resetToken(comma, TokenKind::Comma);
    w.list.write(comma);
    w.maskCommaBefore = npos;
}

// --- keywords --------------------------------------------------------------

bool followedByOpenParen(const ListRewrite& list, size_t index) {
    size_t next = list.nextSignificant(index, Reach::Anywhere);
    return next != npos && isBracket(list[next], '(');
}

// Nothing but a plain assignment target may stand before DEBUG and TCLREAD
// for them to be statements.
bool startsStatement(const WalkState& w) {
    const Token* before = lookBack(w, Reach::SameLine);
    return before == nullptr || before->flags == flagAssign;
}

bool debugIsStatement(const WalkState& w, size_t index) {
    const ListRewrite& list = w.list;
    size_t next = list.nextSignificant(index, Reach::SameLine);
    bool endsHere = next == npos || list[next].kind == TokenKind::Separator ||
                    (list[next].kind == TokenKind::Keyword && list[next].hasKeywordFlag(kwThenElse));
    return endsHere && startsStatement(w);
}

bool errorIsStatement(const WalkState& w) {
    const Token* before = lookBack(w, Reach::SameLine);
    if (before == nullptr) return false;
    const Token& t = *before;
    return t.kind == TokenKind::Keyword && sameWord(w.list.text(t), "ON", w.pass.options.caseSensitive());
}

// TCLREAD X, alone in its statement, reads X = @SENTENCE.
void rewriteTclread(WalkState& w, size_t index) {
    ListRewrite& list = w.list;
    size_t target = list.nextSignificant(index, Reach::SameStatement);
    // The target may be the closing bracket of a mask rewritten to FMT, with
    // the added ) planned right behind it.
    bool alone = target != npos && list.nextSignificant(target, Reach::SameStatement) == npos &&
                 list.plannedBefore(target + 1) == 0;
    if (!startsStatement(w) || !alone) {
        demoteKeyword(list.tokens(), list[index]);
        return;
    }
    Token& keyword = list[index];
    keyword.kind = TokenKind::Name;
    keyword.setValue(0);
    keyword.special = 0;
    list.tokens().shareText(keyword, list[target]);
    becomes(list.tokens(), list[target], TokenKind::Verbatim, "= @SENTENCE");
}

// CALL SUB1(A): the word and the names up to the parenthesis (or up to a
// static call's text, which took the parenthesis in) are marked so that the
// routine name is never taken for NAME(...).
void markCallWords(WalkState& w, size_t index) {
    ListRewrite& list = w.list;
    list[index].special = specialNoResolve;
    // A CALL word inside a stretch an earlier one marked would mark the same
    // tokens again up to the same stop: nothing ahead changes in between.
    if (index < w.markedEnd) return;
    size_t t = index;
    while ((t = list.nextSignificant(t, Reach::SameLine)) != npos) {
        TokenKind kind = list[t].kind;
        if (kind == TokenKind::LineEnd || kind == TokenKind::Separator || kind == TokenKind::Bracket ||
            isFoldedOpenBracket(list[t]))
            break;
        list[t].special = specialNoResolve;
        w.markedEnd = t + 1;
    }
}

// The flags of the keywords the rules below act on.
constexpr uint32_t kwWithRules = kwAnyFunction | kwDebug | kwError | kwTclread | kwCallLike;

void applyKeywordRules(WalkState& w, size_t index) {
    Pass& pass = w.pass;
    ListRewrite& list = w.list;
    const Token original = list[index];  // the rules decide on the flags as found
    if (!original.hasKeywordFlag(kwWithRules)) return;
    if (!pass.options.caseSensitive() && original.hasKeywordFlag(kwAnyFunction) && !followedByOpenParen(list, index)) {
        demoteKeyword(list.tokens(), list[index]);
    }
    if (original.hasKeywordFlag(kwDebug)) {
        if (!debugIsStatement(w, index)) demoteKeyword(list.tokens(), list[index]);
    } else if (original.hasKeywordFlag(kwError)) {
        if (!errorIsStatement(w)) demoteKeyword(list.tokens(), list[index]);
    } else if (original.hasKeywordFlag(kwTclread)) {
        rewriteTclread(w, index);
    }
    if (original.hasKeywordFlag(kwCallLike)) markCallWords(w, index);
}

// --- separators and braces -------------------------------------------------

void dropSeparatorAfterThenElse(WalkState& w, size_t index) {
    const TokenList& output = w.list.output();
    size_t behind = w.list.written();
    while (behind > 0 && output[behind - 1].kind == TokenKind::Blank) --behind;
    if (behind > 0 && output[behind - 1].kind == TokenKind::Keyword && output[behind - 1].hasKeywordFlag(kwThenElse))
        resetToken(w.list[index], TokenKind::Deleted);
}

void rewriteBrace(WalkState& w, size_t index) {
    Pass& pass = w.pass;
    ListRewrite& list = w.list;
    Token& brace = list[index];
    if (brace.value() == '{') {
        becomes(list.tokens(), brace, TokenKind::Keyword, "THEN");
        return;
    }
    if (brace.value() != '}') return;
    becomes(list.tokens(), brace, TokenKind::Keyword, "END");
    size_t word = list.nextSignificant(index, Reach::Anywhere);
    if (word == npos) return;
    if (sameWord(list.text(list[word]), "else", pass.options.caseSensitive())) {
        size_t open = list.nextSignificant(word, Reach::Anywhere);
        if (open == npos || list[open].kind != TokenKind::Brace || list[open].value() != '{') return;
        becomes(list.tokens(), list[index], TokenKind::Verbatim, " END ELSE ");
        list.skip(index + 1, open);
    } else if (sameWord(list.text(list[word]), "elseif", pass.options.caseSensitive())) {
        becomes(list.tokens(), list[index], TokenKind::Verbatim, " END ELSE IF ");
        list.skip(index + 1, word);
    }
}

// Only the scanner's keyword rows give a token a special code, and only to
// a Name, Keyword or Function token (a rewrite that changes a token's kind
// clears its code), so only those are looked at for one.
bool isSpecialWordAt(const WalkState& w, const Token& t) { return w.pass.findsSpecialWords && isSpecialWord(t); }

// Where the word just examined goes in the output.
void noteSpecialWord(WalkState& w) { w.pass.specialWordsAt.push_back(w.list.written()); }

void examine(WalkState& w, size_t index) {
    Token& t = w.list[index];
    switch (t.kind) {
        case TokenKind::LineMarker:
            // The line ends after the marker count on from its number.
            w.line = w.list.tokens().value(t);
            w.lineCountedTo = w.list.written() + 1;
            w.fileMarker = t;
            break;
        case TokenKind::Name:
            resolveName(w, index);
            if (isSpecialWordAt(w, w.list[index])) noteSpecialWord(w);
            break;
        case TokenKind::Keyword:
        case TokenKind::Function:
            applyKeywordRules(w, index);
            if (isSpecialWordAt(w, w.list[index])) noteSpecialWord(w);
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

// The kinds the walk may act on.
constexpr KindSet actedOnKinds{TokenKind::LineMarker, TokenKind::Name, TokenKind::Keyword,
                               TokenKind::Function, TokenKind::Separator, TokenKind::Brace};

// Whether a `(` may follow the name at input position `i` (of `count`):
// yes where the first look does not decide.
bool mayHaveBracketAfter(const Token* input, size_t i, size_t count) {
    const FirstLook look = lookForBracketAfterName(input, i, count);
    return !look.decided || look.open != npos;
}

// Whether examining input token `i`, of a kind the walk may act on, would
// do nothing: most names are followed by no bracket, most keywords have no
// rule, and a program has three or so of them a line, each of which the
// walk would otherwise stop at. The words that carry a special code are
// noted when examined.
[[gnu::always_inline]] inline bool needsNoLook(const Token* input, size_t i, size_t count, bool findsSpecialWords) {
    const Token& t = input[i];
    switch (t.kind) {
        case TokenKind::Name:
            return !mayHaveBracketAfter(input, i, count) && !(findsSpecialWords && isSpecialWord(t));
        case TokenKind::Keyword:
        case TokenKind::Function:
            return !t.hasKeywordFlag(kwWithRules) && !(findsSpecialWords && isSpecialWord(t));
        default:
            return false;
    }
}

}  // namespace

void demoteKeyword(TokenList& tokens, Token& token) {
    std::string word(tokens.text(token));
    for (size_t i = 0; i < word.size(); ++i) word[i] = i == 0 ? toUpperCase(word[i]) : toLowerCase(word[i]);
    tokens.reset(token, TokenKind::NameAsWritten, word);
}

void runNameAndKeywordWalk(Pass& pass) {
    WalkState w(pass);
    ListRewrite& list = w.list;
    // Most tokens are neither acted on nor read with anything planned or
    // skipped: they are kept in stretches.
    const size_t count = list.inputSize();
    const bool findsSpecialWords = pass.findsSpecialWords;
    auto passes = [count, findsSpecialWords](const Token* input, size_t i) {
        return !actedOnKinds.has(input[i].kind) || needsNoLook(input, i, count, findsSpecialWords);
    };
    for (size_t i = list.keepWhile(passes); i < list.inputSize(); i = list.keepWhile(passes)) {
        list.read(i);
        // A token is final once examined: the walk changes none it has kept.
        examine(w, i);
        list.keep(i);
        if (w.maskCommaBefore != npos) writeMaskComma(w);
    }
    list.finish();
}

}  // namespace bprep2
