// Passing and writing the token list a part at a time.
//
// The statement pass and the writer were made for the whole list, and they
// give the same text for a part of it when the part ends at a line end E
// that
//   - nothing read later changes or reaches back over: a THEN or ELSE join
//     walks back over blanks and line ends only as far as the last other
//     token, an object reference's call opens at most at the line end
//     before it, and the line ends a continuation owes go after the last
//     line end; so E stays once another token follows it (a line marker
//     with a token after it counts) and no line ends are owed from before
//     it;
//   - no pass looks past: every bracket before E is closed before E (the
//     NAME(...) measure and a DEFFUN's argument list would look for the
//     closing one), and the last token before E that is not blank is no
//     comma (the writer pulls the next line up), no brace or ELSE (the
//     brace rules look for what follows) and no built-in function name
//     (taken for a name unless a '(' follows, wherever it stands).
// A part goes to the back end (driver/part_worker.cpp), which passes and
// writes it, when it is long enough, and its E stays as the first token of
// the list: it is written with the part, and every walk back stops at it
// just as it did before the cut.
//
// Three things of the whole list are not known when a part is passed: the
// functions and arrays declared later, the options a later #option sets,
// and whether a pass fails (its message names a line by counting from the
// list's start). The first two change the text only where a declaration
// meets a name a passed part looked up, or an option changes; those, and a
// failing pass (learnt with the next part handed over, or at the end),
// abandon the attempt, which is made again with the whole list. Its
// reports wait until it ends, so that the second attempt, which reports
// everything itself, repeats none of them.
#include "driver/stream.h"

#include "driver/part_worker.h"
#include "driver/report.h"
#include "output/writer.h"
#include "passes/statement_pass.h"
#include "tokens/keywords.h"
#include "tokens/token_list.h"

namespace bprep2 {

namespace {

constexpr size_t none = StreamState::none;

[[noreturn]] void restartWithWholeList(PreprocessorContext& ctx) {
    ctx.stream.messages.clear();  // the next attempt makes them again
    ctx.stream.holdMessages = false;
    throw RestartSignal{true};
}

// Every token of the list is classed here once more: by sets of types.
constexpr uint32_t blanksAndLineEnds =
    typeBit(whitespace) | typeBit(null_token) | typeBit(endofline) | typeBit(newstatement);
constexpr uint32_t notLookedAt = blanksAndLineEnds | typeBit(changeline) | typeBit(label);

// Whether tokens first..end-1 hold one that stops every walk back: any but
// a blank, a line end or a statement separator (a line marker counts: a
// THEN or ELSE folds a marker in only when it is the last of the list).
bool holdsStopper(const TokenList& list, size_t first, size_t end) {
    for (size_t i = first; i < end; ++i)
        if (!isTypeIn(blanksAndLineEnds, list[i].type)) return true;
    return false;
}

// A token that, as the last one before a line end, makes a pass look past
// that line end.
bool looksPastLine(const PreprocessorContext& ctx, const Token& t) {
    if (t.type == comma || t.type == braces) return true;
    if ((t.type == system_keyword || t.type == system_function) &&
        (static_cast<uint32_t>(t.value) & kwAnyFunction) != 0)
        return true;
    std::string_view text = ctx.text(t);
    if (text.size() == 4) return equalsIgnoreCase(text, "else") == 0;
    return text.size() == 6 && equalsIgnoreCase(text, "elseif") == 0;
}

// The last token of measuredTo..lineEnd that is not blank, read back from
// the end.
size_t lastLookedAt(const TokenList& list, size_t from, size_t lineEnd) {
    for (size_t i = lineEnd + 1; i > from; --i)
        if (!isTypeIn(notLookedAt, list[i - 1].type)) return i - 1;
    return none;
}

// Whether no bracket was made between the line end measured last and the
// one at lastLineEnd: the tokens between them were all made then, by the
// scanner or by the after-line pass.
bool noBracketsSinceMeasured(const StreamState& s) {
    return s.countsAtLineEnd.brackets == s.countsMeasured.brackets &&
           s.countsAtLineEnd.linePassTokens == s.countsMeasured.linePassTokens;
}

// Counts the brackets of tokens from..lineEnd into the open ones.
void countBrackets(StreamState& s, const TokenList& list, size_t from, size_t lineEnd) {
    for (size_t i = from; i <= lineEnd; ++i) {
        const Token& t = list[i];
        if (t.type != extract) continue;
        if (t.value == '(' || t.value == '[') ++s.depth;
        else if ((t.value == ')' || t.value == ']') && s.depth > 0) --s.depth;
        if (t.value == '(') ++s.parentheses;
        else if (t.value == ')' && s.parentheses > 0) --s.parentheses;
    }
}

// Measures the tokens up to the line end at `lineEnd` (the one at
// lastLineEnd), which will stay, and makes it the end of the next part when
// no pass looks past it.
void measureTo(PreprocessorContext& ctx, size_t lineEnd) {
    StreamState& s = ctx.stream;
    if (!noBracketsSinceMeasured(s)) countBrackets(s, ctx.tokens, s.measuredTo, lineEnd);
    s.countsMeasured = s.countsAtLineEnd;
    size_t last = lastLookedAt(ctx.tokens, s.measuredTo, lineEnd);
    if (last != none) s.looksAhead = looksPastLine(ctx, ctx.tokens[last]);
    s.measuredTo = lineEnd + 1;
    if (s.depth == 0 && s.parentheses == 0 && !s.looksAhead) s.cut = lineEnd + 1;
}

int32_t passWholeList(PreprocessorContext& ctx) {
    if (int32_t status = runStatementPass(ctx)) return status;
    return appendWholeListText(ctx, ctx.stream.text);
}

void rebase(size_t& index, size_t shift) { index = index >= shift ? index - shift : 0; }

// The list lost its first `shift` tokens.
void rebaseIndexes(PreprocessorContext& ctx, SourceReader& reader, size_t shift) {
    rebase(reader.firstToken, shift);
    rebase(reader.joinFloor, shift);
    rebase(reader.lineFirstToken, shift);
    rebase(reader.owedAfter, shift);
    if (reader.boundaryFreeLow < shift + 1) {
        reader.boundaryFreeLow = reader.boundaryFreeHigh = 0;
    } else {
        reader.boundaryFreeLow -= shift;
        reader.boundaryFreeHigh -= shift;
    }
    StreamState& s = ctx.stream;
    if (s.lastLineEnd != none) rebase(s.lastLineEnd, shift);
    rebase(s.measuredTo, shift);
    s.cut = 0;
}

// Hands the part before the cut to the back end; the line end the part
// ends with stays as the list's first token.
void passPart(PreprocessorContext& ctx, SourceReader& reader) {
    StreamState& s = ctx.stream;
    TokenList& list = ctx.tokens;
    const size_t cut = s.cut;
    if (!s.passed) {
        s.passed = true;
        // The text comes to about the size of the source.
        size_t source = reader.sourceSize;
        s.worker = startParts(ctx, source + source / 4 + 64, s.threaded);
    }
    const Token lineEnd = list[cut - 1];
    s.tail.assign(list.begin() + static_cast<ptrdiff_t>(cut), list.end());
    list.resize(cut);
    if (!handOverPart(*s.worker, ctx, list, s.arraysDeclared)) restartWithWholeList(ctx);
    list.clear();
    list.push_back(lineEnd);
    list.insert(list.end(), s.tail.begin(), s.tail.end());
    rebaseIndexes(ctx, reader, cut - 1);
}

}  // namespace

void beginStream(PreprocessorContext& ctx, bool allowed, size_t partTokens, bool threaded) {
    StreamState& s = ctx.stream;
    s.threaded = threaded && threadsAvailable();
    constexpr uint32_t wholeListReports = optTokenDump | optKeywordDump | optStats | optTrace;
    s.on = allowed && partTokens > 0 && !ctx.traceFile && (ctx.options & wholeListReports) == 0;
    s.holdMessages = s.on;
    s.partTokens = partTokens;
}

void noteMainLineEnd(PreprocessorContext& ctx, SourceReader& reader) {
    StreamState& s = ctx.stream;
    const TokenList& list = ctx.tokens;
    const size_t last = list.size() - 1;
    if (s.lastLineEnd != none && s.editsBehind == s.editsAtLineEnd && reader.owedLineEnds == 0 &&
        list[s.lastLineEnd].type == endofline && holdsStopper(list, s.lastLineEnd + 1, last))
        measureTo(ctx, s.lastLineEnd);
    // A directive's line ends in a line marker; the line end before it
    // stays the one to learn about.
    if (list[last].type == endofline) {
        s.lastLineEnd = last;
        s.editsAtLineEnd = s.editsBehind;
        s.countsAtLineEnd = ctx.scanned;
    }
    // Line ends still owed go in after owedAfter, which must not be in the part.
    if (s.cut >= s.partTokens && (reader.owedLineEnds == 0 || reader.owedAfter + 1 >= s.cut))
        passPart(ctx, reader);
}

void declareName(PreprocessorContext& ctx, NameTable& table, std::string_view name, bool function) {
    if (ctx.stream.passed) {
        // The writer keeps the case of every name spelled like a function,
        // so a new function may change any passed part. Whether a passed
        // part looked up an array's name only the back end knows.
        const int32_t* known = table.find(name);
        if (function && (!known || *known < 1)) restartWithWholeList(ctx);
        if (!function) ctx.stream.arraysDeclared.emplace_back(name);
    }
    table.findOrAdd(name) = 1;
}

void beforeOptionsChange(PreprocessorContext& ctx) {
    StreamState& s = ctx.stream;
    if (!s.on) return;
    if (s.passed) restartWithWholeList(ctx);
    s.on = false;
    releaseMessages(ctx);
}

int32_t passAndWriteRest(PreprocessorContext& ctx, FILE* out) {
    StreamState& s = ctx.stream;
    if (s.passed) {
        if (!handOverPart(*s.worker, ctx, ctx.tokens, s.arraysDeclared) || !finishParts(*s.worker))
            restartWithWholeList(ctx);
        ctx.objectRuntimeUsed = ctx.objectRuntimeUsed || partsUsedObjectRuntime(*s.worker);
        takePartsText(*s.worker, s.text);
        ctx.tokens.clear();
    } else if (int32_t status = passWholeList(ctx)) {
        releaseMessages(ctx);
        return status;
    }
    releaseMessages(ctx);
    return deliverProgramText(ctx, s.text, out);
}

}  // namespace bprep2
