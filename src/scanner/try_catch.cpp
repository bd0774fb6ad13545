// TRY / CATCH / THROW: structured exception handling, translated line by line
// into inline-code blocks for the compiler around the runtime's setjmp-based
// calls. The statement's key word becomes an unparsed token holding the block;
// a block that precedes source text ends with a #line marker naming the next
// source line, so the compiler's line numbers stay those of the source.
//
// TRY, END TRY and CATCH are statements only as the last words of their
// line; nesting is limited to three open TRY blocks with one CATCH each.
// The nesting state lives in the context, so a block may open in one source
// and close in another.
#include "scanner/try_catch.h"

#include "driver/report.h"
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
    resetToken(ctx, tokenAt(ctx, index), unparsed, text);
}

int32_t fail(PreprocessorContext& ctx, const char* message) {
    report(ctx, "%s", message);
    return 1;
}

int32_t translateEndTry(PreprocessorContext& ctx, size_t endWord, size_t tryWord) {
    if (ctx.tryDepth == 0) return fail(ctx, "END TRY seen with no corresponding TRY");
    --ctx.tryDepth;
    becomeBlock(ctx, tryWord,
                "QAC_INLINE_START\n} qObjectEndTry(dp,&trybuf) ; }\nQAC_INLINE_END\n" + lineMarker(ctx));
    resetToken(tokenAt(ctx, endWord), null_token);
    return 0;
}

int32_t translateTry(PreprocessorContext& ctx, size_t index) {
    if (tokenAfter(ctx, index, modeSameLine) != npos) return 0;
    ctx.objectRuntimeUsed = true;
    size_t before = tokenBefore(ctx, index, modeSameLine);
    if (before != npos) {
        if (hasWord(ctx, tokenAt(ctx, before), "END")) return translateEndTry(ctx, before, index);
        return 0;
    }
    if (ctx.tryDepth >= maximumTryDepth) {
        report(ctx, "The maximum nested level of %d try/catch is exceeded", maximumTryDepth);
        return 1;
    }
    ctx.catchSeen[ctx.tryDepth] = 0;
    ++ctx.tryDepth;
    becomeBlock(ctx, index,
                "QAC_INLINE_START\n{jmp_buf trybuf ; qObjectTry(dp , &trybuf) ; if (setjmp(trybuf) == 0) {\n"
                "QAC_INLINE_END\n" +
                    lineMarker(ctx));
    return 0;
}

// The checks every CATCH form makes before it is translated.
int32_t claimCatch(PreprocessorContext& ctx) {
    if (ctx.tryDepth == 0) return fail(ctx, "END TRY seen with no corresponding TRY");
    if (ctx.catchSeen[ctx.tryDepth - 1]) {
        return fail(ctx, "Multiple CATCH seen for the same TRY -- Only 1 CATCH per TRY");
    }
    ctx.catchSeen[ctx.tryDepth - 1] = 1;
    return 0;
}

int32_t translateCatch(PreprocessorContext& ctx, size_t index) {
    size_t variableWord = tokenAfter(ctx, index, modeSameLine);
    // CATCH ; alone is a bare CATCH: a ';' names no variable.
    if (variableWord != npos && tokenAt(ctx, variableWord).type == newstatement &&
        tokenAfter(ctx, variableWord, modeSameLine) == npos)
        variableWord = npos;
    if (variableWord == npos) {
        if (claimCatch(ctx) != 0) return 1;
        becomeBlock(ctx, index, "QAC_INLINE_START\n} else {\nQAC_INLINE_END\n" + lineMarker(ctx));
        return 0;
    }
    if (tokenAfter(ctx, variableWord, modeSameLine) != npos) return 0;
    if (claimCatch(ctx) != 0) return 1;
    std::string name = upperCased(ctx.text(tokenAt(ctx, variableWord)));
    becomeBlock(ctx, index,
                "\nQAC_DEFINE_VAR " + name + "\nQAC_INLINE_START\n} else {\nqObjectCatch(dp , _qu_" + name +
                    ") ;\nQAC_INLINE_END\n" + lineMarker(ctx));
    resetToken(tokenAt(ctx, variableWord), null_token);
    return 0;
}

// Where a value that an ELSE ends, and that ends at `afterValue`, ends
// within a brace block: the '}' braces before the ELSE close the block the
// THROW stands in, so the value ends before them (and the blanks ahead of
// them).
size_t endBeforeClosingBraces(PreprocessorContext& ctx, size_t index, size_t afterValue) {
    size_t end = afterValue;
    while (end > index + 1) {
        const Token& last = tokenAt(ctx, end - 1);
        if (last.type != braces || last.value != '}') break;
        --end;
        while (end > index + 1 && isBlankType(tokenAt(ctx, end - 1).type)) --end;
    }
    return end;
}

// THROW expr becomes qObjectThrow( expr): the ')' goes before the end of the
// statement, or at the end of the list (the end of the line being scanned).
// In a THEN clause an ELSE outside the value's brackets ends the value, and
// the ')' goes right after the value, before the blanks ahead of the ELSE
// (or of the brace block's end before it).
int32_t translateThrow(PreprocessorContext& ctx, size_t index) {
    size_t end = index + 1;
    size_t afterValue = end;
    size_t following = 0;
    int64_t depth = 0;
    for (; hasTokenAt(ctx, end); ++end) {
        const Token& token = tokenAt(ctx, end);
        if (token.type == whitespace) continue;
        if (depth <= 0 && isElse(ctx, token)) {
            end = endBeforeClosingBraces(ctx, index, afterValue);
            if (end == index + 1) following = 0;
            break;
        }
        ++following;
        if (token.type == changeline || token.type == endofline || token.type == newstatement) break;
        depth += valueBracketStep(token);
        if (token.type != null_token) afterValue = end + 1;
    }
    ctx.objectRuntimeUsed = true;
    if (following == 0) {
        becomeBlock(ctx, index, "qObjectThrow(\"\")");
        return 0;
    }
    becomeBlock(ctx, index, "qObjectThrow(");
    insertToken(ctx, end, unparsed, ")");
    return 0;
}

}  // namespace

int32_t translateTryCatch(PreprocessorContext& ctx, size_t index) {
    if (index >= tokenCount(ctx) || tokenAt(ctx, index).type != variable) return 0;
    const Token& word = tokenAt(ctx, index);
    if (hasWord(ctx, word, "TRY")) return translateTry(ctx, index);
    if (hasWord(ctx, word, "CATCH")) return translateCatch(ctx, index);
    if (hasWord(ctx, word, "THROW")) return translateThrow(ctx, index);
    return 0;
}

}  // namespace bprep2
