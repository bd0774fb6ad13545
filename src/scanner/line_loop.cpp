// The line loop: what happens to each physical line around its character
// scan.
//
// For every line: an open block comment is continued, leading blanks become
// one Blank token, a # or $ line is offered to the directive handler,
// lines of an inactive conditional region are dropped, a label is taken,
// the rest is tokenized, and an after-line pass hands the line's tokens to
// the object-syntax, TRY/CATCH and declaration handlers before the line's
// LineEnd is appended.
//
// Guarantees: every physical line is accounted for by exactly one LineEnd
// count or by a line marker, so the output keeps the source's line
// numbers; for that a THEN/ELSE join folds in the line ends behind it but
// stops at a line marker (keeping it), and never reaches into an included
// member or behind its source's first token. The backward searches of
// continuations and joins cost no more than the tokens they pass over once.
#include "scanner/line_loop.h"

#include "objects/line_input.h"
#include "objects/objects.h"
#include "scanner/declarations.h"
#include "scanner/source.h"
#include "scanner/tokenizer.h"
#include "scanner/try_catch.h"
#include "tokens/characters.h"
#include "tokens/comma_join.h"
#include "tokens/keywords.h"

namespace bprep2 {

namespace {

void skipBlanks(SourceReader& reader) {
    reader.scanPos = static_cast<int64_t>(pastBlanks(reader.lineText, static_cast<size_t>(reader.scanPos)));
}

// Whether the line being scanned goes on with a statement that the
// previous line left open with a trailing comma (blank and comment lines
// in between). Such a line is written joined to that statement, so it
// cannot begin with a label. Stops at the first token that is not a blank,
// a line end or a statement separator, so a run of blank lines is passed
// once only.
bool continuesAfterComma(const Scan& scan, const SourceReader& reader) {
    const TokenList& list = scan.tokens;
    for (size_t i = list.size(); i > reader.firstToken; --i) {
        TokenKind kind = list[i - 1].kind;
        if (commaJoinFillers.has(kind)) continue;
        return kind == TokenKind::Comma;
    }
    return false;
}

// A line label at the scan position: digits and dots with an optional
// colon, or a name of letters, digits, $ and . directly followed by a colon
// that is not part of := or ::.
void takeLabel(Scan& scan, SourceReader& reader) {
    const std::string& line = reader.lineText;
    size_t start = static_cast<size_t>(reader.scanPos);
    if (start >= line.size()) return;
    size_t end = start;
    // The NUL after the line's last byte is none of the bytes looked for,
    // so it ends each scan without a check of the line's length.
    if (isDigit(line[start])) {
        while (isDigit(line[end]) || line[end] == '.') ++end;
        if (line[end] == ':') ++end;
    } else if (isLetter(line[start])) {
        while (isLetter(line[end]) || isDigit(line[end]) || line[end] == '$' || line[end] == '.') ++end;
        if (line[end] != ':') return;
        if (line[end + 1] == '=' || line[end + 1] == ':') return;
        ++end;
    } else {
        return;
    }
    if (continuesAfterComma(scan, reader)) return;
    reader.scanPos = static_cast<int64_t>(end);
    appendToken(scan, reader, TokenKind::Label, std::string_view(line).substr(start, end - start));
    appendToken(scan, reader, TokenKind::Separator);
}

// What the object rewrites of the line `reader` is scanning work on.
ObjectLine objectLine(Scan& scan, SourceReader& reader) {
    return {scan.tokens, scan.objects, reader.openAssignments, scan.options, scan.diagnostics};
}

// The most tokens a line may have after its first rewrite and still be
// rewritten where it stands: an insertion then moves at most a few times
// that many, a bounded cost per rewrite. Taking the usual short line out
// and reading it back token by token cost more than those moves (the
// objects benchmark ran 6.5% fewer instructions without it).
constexpr size_t longestRestRewrittenInPlace = 64;

// The after-line pass reads the line's tokens in order, where they stand,
// the list's own end being the line's. Where a rewrite may insert, the rest
// of a long line is taken out of the list as the pass's input just before
// the first rewrite, and the list's end is its output (objects/line_input.h);
// the tokens before it stay where they are, as they would be read back
// unchanged. A short line stays in the list, as if all its input had been
// read. Declarations only read ahead, which either way finds the same
// tokens.
//
// Most of a line's tokens are nothing to the pass; it passes them in a
// loop of its own (the objects benchmark ran 1% fewer instructions).
// Names are something only to the TRY/CATCH translation.
constexpr KindSet linePassKinds{TokenKind::Brace, TokenKind::MemberOperator, TokenKind::Colon, TokenKind::Keyword,
                                TokenKind::Name};
constexpr KindSet linePassKindsButNames{TokenKind::Brace, TokenKind::MemberOperator, TokenKind::Colon,
                                        TokenKind::Keyword};

// The first token from `i` on whose kind is in `kinds`, reading the
// pass's input up to it; the list's size when there is none.
size_t nextLinePassToken(ObjectLine& line, size_t i, const KindSet& kinds) {
    for (;;) {
        const TokenList& tokens = line.tokens;
        for (const size_t end = tokens.size(); i < end; ++i)
            if (kinds.has(tokens[i].kind)) return i;
        if (!hasTokenAt(line, i)) return i;
    }
}

void afterLinePass(Scan& scan, SourceReader& reader, bool mayInsert) {
    ObjectLine line = objectLine(scan, reader);
    bool decided = false;
    auto beforeRewrite = [&](size_t i) {
        if (!mayInsert || decided) return;
        decided = true;
        if (scan.tokens.size() - (i + 1) > longestRestRewrittenInPlace) takeLineAsInput(line, i + 1);
    };
    const KindSet& kinds = scan.options.objects() ? linePassKinds : linePassKindsButNames;
    for (size_t i = reader.lineFirstToken; (i = nextLinePassToken(line, i, kinds)) < scan.tokens.size(); ++i) {
        const Token& token = scan.tokens[i];
        switch (token.kind) {
            case TokenKind::Brace:
            case TokenKind::MemberOperator:
            case TokenKind::Colon:
                beforeRewrite(i);
                i = rewriteObjectSyntax(line, i);
                break;
            case TokenKind::Keyword: {
                size_t keyword = i;
                if (token.hasKeywordFlag(kwObject) && scan.options.objects()) {
                    beforeRewrite(i);
                    i = rewriteObjectSyntax(line, i);
                }
                if (keyword < scan.tokens.size() && scan.tokens[keyword].kind == TokenKind::Keyword)
                    recordDeclarations(line, scan.declared, keyword);
                break;
            }
            case TokenKind::Name:
                if (scan.options.objects() && isTryCatchWord(scan.tokens, token)) {
                    beforeRewrite(i);
                    translateTryCatch(line, scan.tries, reader, i);
                }
                break;
            default:
                break;
        }
    }
    finishMemberChain(line);
    keepRestOfInput(line);
}

bool hasObjectReference(const Scan& scan, size_t from) {
    for (size_t i = from; i < scan.tokens.size(); ++i)
        if (scan.tokens[i].kind == TokenKind::MemberOperator) return true;
    return false;
}

// Puts ')' tokens before the places given (in list order), moving the tokens
// after the first place once.
void insertClosers(Scan& scan, SourceReader& reader, const std::vector<CloserInsertion>& places) {
    if (places.empty()) return;
    TokenList& list = scan.tokens;
    size_t total = 0;
    for (const CloserInsertion& place : places) total += place.count;
    const Token closer = bracketToken(')');
    size_t from = list.size();
    list.resize(list.size() + total);
    size_t to = list.size();
    for (size_t p = places.size(); p-- > 0;) {
        while (from > places[p].before) list[--to] = list[--from];
        for (size_t k = 0; k < places[p].count; ++k) list[--to] = closer;
    }
    for (size_t p = places.size(); p-- > 0;) noteInsertion(reader, places[p].before, places[p].count);
}

// Just after the trailing comma before `end`: past the blanks, separators
// and line ends between (and the line ends a THEN or ELSE join deleted).
size_t afterTrailingComma(const Scan& scan, const SourceReader& reader, size_t end) {
    size_t at = end;
    while (at > reader.firstToken &&
           (commaJoinFillers.has(scan.tokens[at - 1].kind) || scan.tokens[at - 1].kind == TokenKind::Deleted))
        --at;
    return at;
}

// The ')' of member assignments a trailing comma left open, when no line
// goes on with their statement after all (a line marker or the end of the
// source comes first; `end` is where the lines after the comma end): they
// go where the statement ends without the join, at the first separator or
// line end after the comma.
void closeAtTrailingComma(Scan& scan, SourceReader& reader, size_t end) {
    OpenAssignments& open = reader.openAssignments;
    if (open.empty()) return;
    size_t at = afterTrailingComma(scan, reader, end);
    while (at < end && blanks.has(scan.tokens[at].kind)) ++at;
    insertClosers(scan, reader, {{at, open.depths.size()}});
    open = OpenAssignments{};
}

// The line just scanned follows one whose statement a trailing comma left
// open with member assignments unclosed: a line of nothing but blanks and
// separators leaves them open, one that starts with a line marker (an
// INCLUDE) closes them after the comma, and any other goes on with their
// statement, as the writer joins it.
void goOnWithOpenAssignments(Scan& scan, SourceReader& reader) {
    size_t first = reader.lineFirstToken;
    while (first < scan.tokens.size() && commaJoinFillers.has(scan.tokens[first].kind)) ++first;
    if (first == scan.tokens.size()) return;
    if (scan.tokens[first].kind == TokenKind::LineMarker) {
        closeAtTrailingComma(scan, reader, reader.lineFirstToken);
        return;
    }
    size_t afterComma = afterTrailingComma(scan, reader, reader.lineFirstToken);
    insertClosers(scan, reader, closeOnContinuedLine(scan.tokens, reader.openAssignments, afterComma, reader.lineFirstToken));
}

// The after-line pass, keeping the boundary memo and the owed line ends
// (SourceReader) where they stay valid. The pass changes only the line's
// own tokens, except that an object reference may open its call on an
// earlier line; so line ends owed ahead of the line wait for later lines
// (a chain of THEN/ELSE joins with continuations owes them all at the
// chain's start) unless the line holds a member operator.
// `before`: what the scanner had made when the line began.
void passLine(Scan& scan, SourceReader& reader, const ScannerCounts& before) {
    if (!reader.openAssignments.empty()) goOnWithOpenAssignments(scan, reader);
    bool reachesBack = scan.state.scanned.memberOperators != before.memberOperators &&
                       hasObjectReference(scan, reader.lineFirstToken);
    if (reachesBack || (reader.owedLineEnds > 0 && reader.owedAfter >= reader.lineFirstToken))
        settleOwedLineEnds(scan.tokens, reader);
    size_t count = scan.tokens.size();
    // Without a member operator, and with the object extensions off, no
    // rewrite inserts anything.
    if (scan.state.scanned.linePassTokens != before.linePassTokens) {
        afterLinePass(scan, reader, reachesBack || scan.options.objects());
    } else {
        ObjectLine line = objectLine(scan, reader);
        finishMemberChain(line);
    }
    if (reachesBack) {
        forgetBoundaries(reader);
    } else if (scan.tokens.size() != count && reader.boundaryFreeHigh > reader.lineFirstToken) {
        reader.boundaryFreeHigh = reader.lineFirstToken;
        if (reader.boundaryFreeLow >= reader.boundaryFreeHigh) forgetBoundaries(reader);
    }
}

// A line whose first non-blank character is # or $: true when it was a
// directive, false when it is to be scanned as program text.
bool offerDirective(Scan& scan, SourceReader& reader) {
    settleOwedLineEnds(scan.tokens, reader);
    size_t before = scan.tokens.size();
    uint32_t lineNumber = reader.lineNumber;
    std::string fileName = reader.fileName;
    bool handled = scan.handlers.directive(scan, reader);
    forgetBoundaries(reader);
    if (handled) {
        reader.scanPos = static_cast<int64_t>(reader.lineText.size());
        appendToken(scan, reader, TokenKind::LineMarker, reader.fileName, static_cast<int32_t>(reader.lineNumber + 1));
        // A directive that brought in text or lines of its own, or renamed
        // the source, stands for more than its one line: a THEN or ELSE
        // after it must not reach back across its line marker.
        bool plain = scan.tokens.size() == before + 1 && reader.lineNumber == lineNumber && reader.fileName == fileName;
        if (!plain) reader.joinFloor = scan.tokens.size() - 1;
        closeAtTrailingComma(scan, reader, before);
    }
    return handled;
}

void scanPhysicalLine(Scan& scan, SourceReader& reader) {
    const ScannerCounts before = scan.state.scanned;
    reader.scanPos = 0;
    reader.noEcho = false;
    if (reader.inBlockComment) scanBlockComment(scan, reader);
    reader.equateExpansions = 0;
    skipBlanks(reader);
    if (reader.scanPos > 0) appendToken(scan, reader, TokenKind::Blank, {}, static_cast<int32_t>(reader.scanPos));
    reader.lineFirstToken = scan.tokens.size();

    if (!reader.inBlockComment) {
        const std::string& line = reader.lineText;
        size_t pos = static_cast<size_t>(reader.scanPos);
        if (pos < line.size() && (line[pos] == '#' || line[pos] == '$') && offerDirective(scan, reader)) return;
        if (scan.handlers.linesActive()) {
            if (!reader.continued) takeLabel(scan, reader);
            reader.lineFirstToken = scan.tokens.size();
            reader.continued = false;
            tokenizeLine(scan, reader);
        } else {
            reader.lineFirstToken = scan.tokens.size();
        }
    }
    passLine(scan, reader, before);
    appendToken(scan, reader, TokenKind::LineEnd, {}, static_cast<int32_t>(reader.pendingLines));
}

// Where a THEN/ELSE join would act: `breakAt` is the line break it turns
// into one blank, and the walk back from it folds in the line ends down to
// `stop` (not included). The walk passes blanks and line ends; it ends at
// the first other token, a line marker included, since folding the line
// ends from before a marker would count lines the marker already names.
// Returns false when there is nothing to join.
struct JoinExtent {
    size_t breakAt = 0;
    size_t stop = 0;
};

bool findJoinExtent(const Scan& scan, const SourceReader& reader, JoinExtent& extent) {
    const TokenList& list = scan.tokens;
    size_t floor = reader.joinFloor;
    if (list.size() <= floor + 1) return false;
    size_t j = list.size() - 1;
    while (j > floor + 1 && list[j].kind == TokenKind::Blank) --j;
    if (list[j].kind != TokenKind::LineMarker && list[j].kind != TokenKind::LineEnd) return false;
    size_t w = j;
    for (; w > floor; --w) {
        TokenKind kind = list[w].kind;
        if (kind == TokenKind::Blank || kind == TokenKind::LineEnd) continue;
        if (kind == TokenKind::LineMarker && w == j) continue;
        break;
    }
    extent.breakAt = j;
    extent.stop = w;
    return true;
}

// Whether a join would fold in line ends still owed by a continuation:
// true when nothing but blanks follows their place, or when the walk goes
// back past it.
bool joinReachesOwedLineEnds(const Scan& scan, const SourceReader& reader, bool found,
                             const JoinExtent& extent) {
    if (reader.owedLineEnds == 0) return false;
    const TokenList& list = scan.tokens;
    size_t i = list.size();
    while (i > reader.owedAfter + 1 && list[i - 1].kind == TokenKind::Blank) --i;
    if (i == reader.owedAfter + 1) return true;
    return found && extent.stop <= reader.owedAfter;
}

}  // namespace

void runLineLoop(Scan& scan, SourceReader& reader) {
    while (readSourceLine(scan, reader)) {
        scanPhysicalLine(scan, reader);
        // Every line read here starts afresh, a label included, even the
        // first one after a continued statement.
        reader.continued = false;
    }
    closeAtTrailingComma(scan, reader, scan.tokens.size());
}

bool continueLine(Scan& scan, SourceReader& reader, size_t dropChars) {
    int64_t offset = reader.scanPos;
    // Lines a THEN/ELSE join already folded into this statement stay
    // counted; the joined line is the statement's own, not a fresh one.
    uint32_t pending = reader.pendingLines;
    std::string_view next;
    if (fetchSourceLine(scan, reader, next) != LineRead::Read) return false;
    reader.pendingLines = pending;
    std::string& line = reader.lineText;
    line.resize(dropChars < line.size() ? line.size() - dropChars : 0);
    line.append(next);
    if (offset > static_cast<int64_t>(line.size())) offset = static_cast<int64_t>(line.size());
    reader.scanPos = offset;
    reader.continued = true;
    oweLineEnd(scan.tokens, reader);
    return true;
}

void joinPreviousLine(Scan& scan, SourceReader& reader) {
    JoinExtent extent;
    bool found = findJoinExtent(scan, reader, extent);
    if (joinReachesOwedLineEnds(scan, reader, found, extent)) {
        settleOwedLineEnds(scan.tokens, reader);
        found = findJoinExtent(scan, reader, extent);
    }
    if (!found) return;

    TokenList& list = scan.tokens;
    // A line marker being folded stood for the one directive line before
    // this one; that line is counted here instead.
    if (list[extent.breakAt].kind == TokenKind::LineMarker) reader.pendingLines += 1;
    for (size_t w = extent.breakAt; w > extent.stop; --w) {
        Token& t = list[w];
        if (t.kind != TokenKind::LineEnd) continue;
        reader.pendingLines += static_cast<uint32_t>(t.value());
        resetToken(t, TokenKind::Deleted);
    }
    resetToken(list[extent.breakAt], TokenKind::Blank);
    list[extent.breakAt].setValue(1);
}

void scanBlockComment(Scan& scan, SourceReader& reader) {
    if (reader.scanPos < 0) return;
    const std::string& line = reader.lineText;
    size_t pos = static_cast<size_t>(reader.scanPos);
    while (pos + 2 <= line.size()) {
        if (line[pos] == '*' && line[pos + 1] == '/') {
            reader.scanPos = static_cast<int64_t>(pos + 2);
            reader.inBlockComment = false;
            return;
        }
        if (line[pos] == '/' && line[pos + 1] == '*' && scan.options.warnings()) {
            reader.scanPos = static_cast<int64_t>(pos);
            scan.diagnostics.warning("Nested comments found");
        }
        ++pos;
    }
    reader.scanPos = static_cast<int64_t>(line.size());
}

}  // namespace bprep2
