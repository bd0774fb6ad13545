// TRY / CATCH / THROW: structured exception handling, translated line by line
// into inline-code blocks for the compiler around the runtime's setjmp-based
// calls. The statement's key word becomes a Verbatim token holding the block;
// a block that precedes source text ends with a #line marker naming the next
// source line, so the compiler's line numbers stay those of the source.
//
// TRY, END TRY and CATCH are statements only as the last words of their
// line; nesting is limited to three open TRY blocks with one CATCH each.
// The nesting state lives in the context, so a block may open in one source
// and close in another.
#include "scanner/try_catch.h"

#include "objects/object_rewrite.h"

namespace bprep2 {

namespace {

constexpr int32_t maximumTryDepth = 3;

std::string lineMarker(const PreprocessorContext& ctx) {
    uint32_t next = ctx.reader ? ctx.reader->lineNumber + 1 : 1;
    std::string file = ctx.reader ? ctx.reader->fileName : std::string();
    return "#line " + std::to_string(next) + " \"" + file + "\"";
}

void becomeBlock(PreprocessorContext& ctx, size_t index, const std::string& text) {
    ctx.tokens.reset(ctx.tokens[index], TokenKind::Verbatim, text);
}

[[noreturn]] void failWithoutTry(const PreprocessorContext& ctx) {
    ctx.diagnostics.error("END TRY seen with no corresponding TRY");
}

void translateEndTry(PreprocessorContext& ctx, size_t endWord, size_t tryWord) {
    if (ctx.tryDepth == 0) failWithoutTry(ctx);
    --ctx.tryDepth;
    becomeBlock(ctx, tryWord,
                "QAC_INLINE_START\n} qObjectEndTry(dp,&trybuf) ; }\nQAC_INLINE_END\n" + lineMarker(ctx));
    resetToken(ctx.tokens[endWord], TokenKind::Deleted);
}

void translateTry(PreprocessorContext& ctx, size_t index) {
    if (nextSignificantBringingIn(ctx, index, Reach::SameLine) != npos) return;
    ctx.objectRuntimeUsed = true;
    size_t before = previousSignificant(ctx.tokens, index, Reach::SameLine);
    if (before != npos) {
        if (ctx.tokens.isWord(ctx.tokens[before], "END")) translateEndTry(ctx, before, index);
        return;
    }
    if (ctx.tryDepth >= maximumTryDepth)
        ctx.diagnostics.error("The maximum nested level of %d try/catch is exceeded", maximumTryDepth);
    ctx.catchSeen[ctx.tryDepth] = 0;
    ++ctx.tryDepth;
    becomeBlock(ctx, index,
                "QAC_INLINE_START\n{jmp_buf trybuf ; qObjectTry(dp , &trybuf) ; if (setjmp(trybuf) == 0) {\n"
                "QAC_INLINE_END\n" +
                    lineMarker(ctx));
}

// The checks every CATCH form makes before it is translated.
void claimCatch(PreprocessorContext& ctx) {
    if (ctx.tryDepth == 0) failWithoutTry(ctx);
    if (ctx.catchSeen[ctx.tryDepth - 1])
        ctx.diagnostics.error("Multiple CATCH seen for the same TRY -- Only 1 CATCH per TRY");
    ctx.catchSeen[ctx.tryDepth - 1] = 1;
}

void translateCatch(PreprocessorContext& ctx, size_t index) {
    size_t variableWord = nextSignificantBringingIn(ctx, index, Reach::SameLine);
    // CATCH ; alone is a bare CATCH: a ';' names no variable.
    if (variableWord != npos && ctx.tokens[variableWord].kind == TokenKind::Separator &&
        nextSignificantBringingIn(ctx, variableWord, Reach::SameLine) == npos)
        variableWord = npos;
    if (variableWord == npos) {
        claimCatch(ctx);
        becomeBlock(ctx, index, "QAC_INLINE_START\n} else {\nQAC_INLINE_END\n" + lineMarker(ctx));
        return;
    }
    if (nextSignificantBringingIn(ctx, variableWord, Reach::SameLine) != npos) return;
    claimCatch(ctx);
    std::string name = upperCased(ctx.tokens.text(ctx.tokens[variableWord]));
    becomeBlock(ctx, index,
                "\nQAC_DEFINE_VAR " + name + "\nQAC_INLINE_START\n} else {\nqObjectCatch(dp , _qu_" + name +
                    ") ;\nQAC_INLINE_END\n" + lineMarker(ctx));
    resetToken(ctx.tokens[variableWord], TokenKind::Deleted);
}

// Where a value that an ELSE ends, and that ends at `afterValue`, ends
// within a brace block: the '}' braces before the ELSE close the block the
// THROW stands in, so the value ends before them (and the blanks ahead of
// them).
size_t endBeforeClosingBraces(PreprocessorContext& ctx, size_t index, size_t afterValue) {
    size_t end = afterValue;
    while (end > index + 1) {
        const Token& last = ctx.tokens[end - 1];
        if (last.kind != TokenKind::Brace || last.value != '}') break;
        --end;
        while (end > index + 1 && blanks.has(ctx.tokens[end - 1].kind)) --end;
    }
    return end;
}

// THROW expr becomes qObjectThrow( expr): the ')' goes before the end of the
// statement, or at the end of the list (the end of the line being scanned).
// In a THEN clause an ELSE outside the value's brackets ends the value, and
// the ')' goes right after the value, before the blanks ahead of the ELSE
// (or of the brace block's end before it).
void translateThrow(PreprocessorContext& ctx, size_t index) {
    size_t end = index + 1;
    size_t afterValue = end;
    size_t following = 0;
    int64_t depth = 0;
    for (; hasTokenAt(ctx, end); ++end) {
        const Token& token = ctx.tokens[end];
        if (token.kind == TokenKind::Blank) continue;
        if (depth <= 0 && isElse(ctx, token)) {
            end = endBeforeClosingBraces(ctx, index, afterValue);
            if (end == index + 1) following = 0;
            break;
        }
        ++following;
        if (statementBoundaries.has(token.kind)) break;
        depth += valueBracketStep(token);
        if (token.kind != TokenKind::Deleted) afterValue = end + 1;
    }
    ctx.objectRuntimeUsed = true;
    if (following == 0) {
        becomeBlock(ctx, index, "qObjectThrow(\"\")");
        return;
    }
    becomeBlock(ctx, index, "qObjectThrow(");
    ctx.tokens.insert(end, ctx.tokens.make(TokenKind::Verbatim, ")"));
}

}  // namespace

void translateTryCatch(PreprocessorContext& ctx, size_t index) {
    if (index >= ctx.tokens.size() || ctx.tokens[index].kind != TokenKind::Name) return;
    const Token& word = ctx.tokens[index];
    if (ctx.tokens.isWord(word, "TRY")) translateTry(ctx, index);
    else if (ctx.tokens.isWord(word, "CATCH")) translateCatch(ctx, index);
    else if (ctx.tokens.isWord(word, "THROW")) translateThrow(ctx, index);
}

}  // namespace bprep2
