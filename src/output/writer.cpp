// Output writer: turns the final token list back into program text.
//
// The whole text is built in one buffer before anything is written, so a
// token that cannot be written leaves the stream untouched, and the text
// reaches the stream (or the in-process caller) in one piece. Every source
// line break survives: a comma at a line end pulls the next line up, and the
// line breaks it swallowed are written at the next line end instead (never
// past a line marker), so the compiler's line numbers after that point still
// match the source.
//
// Each look-ahead and look-back stops at the first token that is not blank,
// and the ranges different tokens scan do not overlap, so one write is linear
// in the number of tokens however long the runs of blanks are.
#include "output/writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "driver/report.h"
#include "output/text_buffer.h"
#include "tokens/token_list.h"

namespace bprep2 {

namespace {

constexpr std::string_view objectPrologue =
    "\n#line 1 \"QUOLTOBJECT\"\n"
    " DEFC VAR qObjectNewObject(STRING,QAC_VARARG)\n"
    " DEFC VAR qObjectNewArray(STRING,QAC_VARARG)\n"
    " DEFC VAR qObjectGet1(VAR,VAR)\n"
    " DEFC VAR qObjectSet1(VAR,VAR,VAR)\n"
    " DEFC VAR qObjectMethodN(VAR,VAR,QAC_VARARG)\n"
    " DEFC VAR qObjectStaticMethodN(VAR,VAR,QAC_VARARG)\n"
    " DEFC VAR qObjectQUOLT(INT)\n"
    " DEFC INT qObjectThrow(QAC_VARARG)\n";

bool isLowerCase(char c) { return c >= 'a' && c <= 'z'; }

bool hasMixedCase(std::string_view text) {
    bool lower = false, upper = false;
    for (char c : text) {
        lower = lower || isLowerCase(c);
        upper = upper || (c >= 'A' && c <= 'Z');
    }
    return lower && upper;
}

// Names and keywords are short: a byte at a time costs less than an append.
// True when the text held a lower-case letter.
bool addUpperCased(std::string_view text, TextBuffer& out) {
    char* to = out.cursor();
    bool lowerCase = false;
    for (char c : text) {
        bool lower = isLowerCase(c);
        lowerCase |= lower;
        *to++ = lower ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out.advance(text.size());
    return lowerCase;
}

// Keywords are folded to upper case unless the case options keep them.
void addKeyword(const PreprocessorContext& ctx, std::string_view text, TextBuffer& out) {
    if ((ctx.has(optUvCase) && hasMixedCase(text)) || ctx.has(optCaseSensitive)) out.push(text);
    else addUpperCased(text, out);
}

// Whether any function is declared at all: the table also holds every
// name a lookup missed, so it is seldom empty.
bool anyFunctionDeclared(const PreprocessorContext& ctx) {
    for (const auto& entry : ctx.userFunctions)
        if (entry.second >= 1) return true;
    return false;
}

bool isDeclaredFunction(const PreprocessorContext& ctx, std::string_view name) {
    // A plain find: the entries of the names a lookup misses are made, when
    // at all, by the name rule itself (NameRule).
    const int32_t* value = ctx.userFunctions.find(name);
    return value && *value >= 1;
}

// The name of a called or declared subroutine keeps its case, because the
// platform looks subroutines up by the name as written.
bool followsSubroutineWord(const PreprocessorContext& ctx, size_t index) {
    if (index == 0) return false;
    size_t before = previousSignificant(ctx, index - 1, modeSameLine);
    if (before == npos || ctx.tokens[before].type != system_keyword) return false;
    std::string_view word = ctx.text(ctx.tokens[before]);
    for (std::string_view w : {"call", "callc", "callj", "function", "subroutine"})
        if (equalsIgnoreCase(word, w) == 0) return true;
    return false;
}

// What the name rule needs to know about the whole run, settled once.
struct NameRule {
    bool functionsDeclared = false;
    // Every lookup of a name among the declared functions that misses adds
    // the name with 0, as every name-set lookup does. Only the token dump
    // shows such entries (it numbers the functions by their place among
    // all of them), so a run that dumps no tokens does not make them.
    bool recordsLookups = false;
};

NameRule nameRuleFor(const PreprocessorContext& ctx) {
    NameRule rule;
    rule.functionsDeclared = anyFunctionDeclared(ctx);
    bool looksUp = !ctx.has(optCaseSensitive) && !ctx.has(optUvCase);
    rule.recordsLookups = looksUp && (ctx.has(optTokenDump) || ctx.traceFile != nullptr);
    return rule;
}

void addName(PreprocessorContext& ctx, size_t index, const NameRule& rule, TextBuffer& out) {
    std::string_view text = ctx.text(ctx.tokens[index]);
    if (rule.recordsLookups) ctx.userFunctions.findOrAdd(text);
    // Written upper-cased first: a name written in upper case comes out the
    // same whichever rule keeps or changes its case, so none need be asked.
    char* written = out.cursor();
    if (!addUpperCased(text, out)) return;
    if (ctx.has(optCaseSensitive) || ctx.has(optUvCase) ||
        (rule.functionsDeclared && isDeclaredFunction(ctx, text)) || followsSubroutineWord(ctx, index))
        std::memcpy(written, text.data(), text.size());
}

// A statement separator is only needed when another statement follows on
// the same output line.
bool moreFollowsOnLine(const PreprocessorContext& ctx, size_t index) {
    return index + 1 < ctx.tokens.size() && nextSignificant(ctx, index + 1, modeSameLine) != npos;
}

// Pulls the lines after a trailing comma up onto the comma's line and moves
// their line breaks to the next line end (findCommaJoin). When none follows
// before a line marker or the end of the list, the line breaks stay where
// they are, so none is lost or moved past a marker.
void joinAfterComma(PreprocessorContext& ctx, size_t comma) {
    auto& list = ctx.tokens;
    const CommaJoin join = findCommaJoin(ctx, comma);
    for (size_t i = comma + 1; i < join.stop; ++i) {
        uint8_t type = list[i].type;
        if (type == newstatement || (type == endofline && join.target != npos)) resetToken(list[i], null_token);
    }
    if (join.target == npos) return;
    list[join.target].value = static_cast<int32_t>(list[join.target].value + join.lineEnds);
}

void addLineMarker(const PreprocessorContext& ctx, const Token& t, TextBuffer& out) {
    char number[16];
    int length = std::snprintf(number, sizeof number, "%d", static_cast<int>(t.value));
    out.push("\n#line ");
    out.push(std::string_view(number, static_cast<size_t>(length)));
    out.push(" \"");
    out.push(ctx.text(t));
    out.push("\"\n");
}

// Adds the text of token `index`; false for a type that cannot be written.
bool addToken(PreprocessorContext& ctx, size_t index, const NameRule& names, TextBuffer& out) {
    const Token t = ctx.tokens[index];
    switch (t.type) {
        case changeline: addLineMarker(ctx, t, out); return true;
        case endofline:
            if (t.value > 0) out.pushRepeated('\n', static_cast<size_t>(t.value));
            return true;
        case newstatement:
            if (moreFollowsOnLine(ctx, index)) out.push(';');
            return true;
        case braces: out.push(static_cast<char>(t.value & 0xFF)); return true;
        case extract_str:
        case oref_expression:
        case unparsed:
        case property_method:
        case numeric:
        case string:
        case var_no_case: out.push(ctx.text(t)); return true;
        case oref_id: out.push(ctx.has(optDotMember) ? "." : "->"); return true;
        case system_keyword:
        case system_function: addKeyword(ctx, ctx.text(t), out); return true;
        case variable:
        case label: addName(ctx, index, names, out); return true;
        case comma:
            out.push(',');
            joinAfterComma(ctx, index);
            return true;
        case null_token: return true;
        default: return false;
    }
}

// Most tokens write one byte: a blank, punctuation, or an operator or
// bracket (its own character). A table says which, so that the writer
// does not go through the choice of every type for them.
constexpr char ownCharacter = 1;

constexpr std::array<char, 256> makeSingleBytes() {
    std::array<char, 256> bytes{};
    bytes[whitespace] = ' ';
    bytes[maths] = ownCharacter;
    bytes[extract] = ownCharacter;
    bytes[colon] = ':';
    bytes[tidle] = '~';
    bytes[hash] = '#';
    bytes[atsign] = '@';
    bytes[equals] = '=';
    bytes[underscore] = '_';
    return bytes;
}

constexpr std::array<char, 256> singleBytes = makeSingleBytes();

// The most a token adds to the text: its own text, a line marker's frame,
// or the line breaks of a line end.
size_t mostBytesOf(const PreprocessorContext& ctx, const Token& t) {
    size_t most = ctx.textRef(t).length + size_t{32};
    if (t.type == endofline && t.value > 0) most += static_cast<size_t>(t.value);
    return most;
}

int32_t reportNoRoom(PreprocessorContext& ctx, size_t bytes) {
    report(ctx, "Unable to allocate %zu bytes for the output text", bytes);
    return 2;
}

// The caller frees the text with free().
int32_t deliverInProcess(PreprocessorContext& ctx, TextBuffer& text) {
    size_t length = text.size();
    char* block = text.release();
    if (!block) return reportNoRoom(ctx, length + 1);
    *ctx.resultText = block;
    if (ctx.resultStatus) *ctx.resultStatus = 0;
    if (ctx.resultLength) *ctx.resultLength = static_cast<uint32_t>(length);
    return 0;
}

// A short write would hand the compiler a truncated program under a success
// status, so it fails the run instead.
int32_t writeToStream(PreprocessorContext& ctx, FILE* out, const TextBuffer& text) {
    std::string_view view = text.view();
    size_t written = view.empty() ? 0 : fwrite(view.data(), 1, view.size(), out);
    if (written != view.size() || fflush(out) != 0) {
        report(ctx, "Unable to write the output text");
        return 2;
    }
    return 0;
}

int32_t addProgramText(PreprocessorContext& ctx, TextBuffer& text) {
    const size_t count = ctx.tokens.size();
    const NameRule names = nameRuleFor(ctx);
    for (size_t i = 0; i < count; ++i) {
        const Token& t = ctx.tokens[i];
        if (char byte = singleBytes[t.type]) {
            if (!text.reserve(1)) return reportNoRoom(ctx, text.size() + 1);
            text.push(byte == ownCharacter ? static_cast<char>(t.value & 0xFF) : byte);
            continue;
        }
        size_t most = mostBytesOf(ctx, t);
        if (!text.reserve(most)) return reportNoRoom(ctx, text.size() + most);
        if (!addToken(ctx, i, names, text)) {
            report(ctx, "Internal error: Token type of %d found\n", static_cast<int>(ctx.tokens[i].type));
            return 2;
        }
    }
    return 0;
}

}  // namespace

int32_t writeOutput(PreprocessorContext& ctx, FILE* out) {
    // Room for every token's text and a byte or two more per token, so the
    // text is seldom moved as it grows; room not used is never touched.
    TextBuffer text;
    size_t expected = ctx.textPool.size() + 2 * ctx.tokens.size() + objectPrologue.size() + 64;
    if (!text.reserve(expected)) return reportNoRoom(ctx, expected);
    if (ctx.objectRuntimeUsed) text.push(objectPrologue);
    if (int32_t status = addProgramText(ctx, text)) return status;
    if (ctx.resultText && out == stdout) return deliverInProcess(ctx, text);
    return writeToStream(ctx, out, text);
}

}  // namespace bprep2
