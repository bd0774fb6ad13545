// TRY / CATCH / THROW: structured exception handling, translated line by line
// into inline-code blocks for the compiler around the runtime's setjmp-based
// calls. The statement's key word becomes a Verbatim token holding the block;
// a block that precedes source text ends with a #line marker naming the next
// source line, so the compiler's line numbers stay those of the source.
//
// TRY, END TRY and CATCH are statements only as the last words of their
// line; nesting is limited to three open TRY blocks with one CATCH each.
// The nesting state (TryState) is the run's, so a block may open in one
// source and close in another.
#include "scanner/try_catch.h"

#include "objects/object_rewrite.h"

namespace bprep2 {

namespace {

std::string lineMarker(const SourceReader& reader) {
    return "#line " + std::to_string(reader.lineNumber + 1) + " \"" + reader.fileName + "\"";
}

// What the translations of one word work with.
struct TryWord {
    ObjectLine& line;
    TryState& tries;
    const SourceReader& reader;
};

void becomeBlock(ObjectLine& line, size_t index, const std::string& text) {
    line.tokens.reset(line.tokens[index], TokenKind::Verbatim, text);
}

[[noreturn]] void failWithoutTry(const TryWord& w) {
    w.line.diagnostics.error("END TRY seen with no corresponding TRY");
}

void translateEndTry(TryWord& w, size_t endWord, size_t tryWord) {
    if (w.tries.depth == 0) failWithoutTry(w);
    --w.tries.depth;
    becomeBlock(w.line, tryWord,
                "QAC_INLINE_START\n} qObjectEndTry(dp,&trybuf) ; }\nQAC_INLINE_END\n" + lineMarker(w.reader));
    resetToken(w.line.tokens[endWord], TokenKind::Deleted);
}

void translateTry(TryWord& w, size_t index) {
    if (nextSignificantReading(w.line, index, Reach::SameLine) != npos) return;
    w.line.state.runtimeUsed = true;
    size_t before = previousSignificant(w.line.tokens, index, Reach::SameLine);
    if (before != npos) {
        if (w.line.tokens.isWord(w.line.tokens[before], "END")) translateEndTry(w, before, index);
        return;
    }
    if (w.tries.depth >= maximumTryDepth)
        w.line.diagnostics.error("The maximum nested level of %d try/catch is exceeded", maximumTryDepth);
    w.tries.catchSeen[w.tries.depth] = false;
    ++w.tries.depth;
    becomeBlock(w.line, index,
                "QAC_INLINE_START\n{jmp_buf trybuf ; qObjectTry(dp , &trybuf) ; if (setjmp(trybuf) == 0) {\n"
                "QAC_INLINE_END\n" +
                    lineMarker(w.reader));
}

// The checks every CATCH form makes before it is translated.
void claimCatch(TryWord& w) {
    if (w.tries.depth == 0) failWithoutTry(w);
    if (w.tries.catchSeen[w.tries.depth - 1])
        w.line.diagnostics.error("Multiple CATCH seen for the same TRY -- Only 1 CATCH per TRY");
    w.tries.catchSeen[w.tries.depth - 1] = true;
}

void translateCatch(TryWord& w, size_t index) {
    size_t variableWord = nextSignificantReading(w.line, index, Reach::SameLine);
    // CATCH ; alone is a bare CATCH: a ';' names no variable.
    if (variableWord != npos && w.line.tokens[variableWord].kind == TokenKind::Separator &&
        nextSignificantReading(w.line, variableWord, Reach::SameLine) == npos)
        variableWord = npos;
    if (variableWord == npos) {
        claimCatch(w);
        becomeBlock(w.line, index, "QAC_INLINE_START\n} else {\nQAC_INLINE_END\n" + lineMarker(w.reader));
        return;
    }
    if (nextSignificantReading(w.line, variableWord, Reach::SameLine) != npos) return;
    claimCatch(w);
    std::string name = upperCased(w.line.tokens.text(w.line.tokens[variableWord]));
    becomeBlock(w.line, index,
                "\nQAC_DEFINE_VAR " + name + "\nQAC_INLINE_START\n} else {\nqObjectCatch(dp , _qu_" + name +
                    ") ;\nQAC_INLINE_END\n" + lineMarker(w.reader));
    resetToken(w.line.tokens[variableWord], TokenKind::Deleted);
}

// Where a value that an ELSE ends, and that ends at `afterValue`, ends
// within a brace block: the '}' braces before the ELSE close the block the
// THROW stands in, so the value ends before them (and the blanks ahead of
// them).
size_t endBeforeClosingBraces(const TokenList& tokens, size_t index, size_t afterValue) {
    size_t end = afterValue;
    while (end > index + 1) {
        const Token& last = tokens[end - 1];
        if (last.kind != TokenKind::Brace || last.value() != '}') break;
        --end;
        while (end > index + 1 && blanks.has(tokens[end - 1].kind)) --end;
    }
    return end;
}

// THROW expr becomes qObjectThrow( expr): the ')' goes before the end of the
// statement, or at the end of the list (the end of the line being scanned).
// In a THEN clause an ELSE outside the value's brackets ends the value, and
// the ')' goes right after the value, before the blanks ahead of the ELSE
// (or of the brace block's end before it).
void translateThrow(TryWord& w, size_t index) {
    size_t end = index + 1;
    size_t afterValue = end;
    size_t following = 0;
    int64_t depth = 0;
    for (; hasTokenAt(w.line, end); ++end) {
        const Token& token = w.line.tokens[end];
        if (token.kind == TokenKind::Blank) continue;
        if (depth <= 0 && isElse(w.line.tokens, token)) {
            end = endBeforeClosingBraces(w.line.tokens, index, afterValue);
            if (end == index + 1) following = 0;
            break;
        }
        ++following;
        if (statementBoundaries.has(token.kind)) break;
        depth += valueBracketStep(token);
        if (token.kind != TokenKind::Deleted) afterValue = end + 1;
    }
    w.line.state.runtimeUsed = true;
    if (following == 0) {
        becomeBlock(w.line, index, "qObjectThrow(\"\")");
        return;
    }
    becomeBlock(w.line, index, "qObjectThrow(");
    w.line.tokens.insert(end, w.line.tokens.make(TokenKind::Verbatim, ")"));
}

}  // namespace

void translateTryCatch(ObjectLine& line, TryState& tries, const SourceReader& reader, size_t index) {
    if (index >= line.tokens.size() || !isTryCatchWord(line.tokens, line.tokens[index])) return;
    const Token& word = line.tokens[index];
    TryWord w{line, tries, reader};
    if (line.tokens.isWord(word, "TRY")) translateTry(w, index);
    else if (line.tokens.isWord(word, "CATCH")) translateCatch(w, index);
    else if (line.tokens.isWord(word, "THROW")) translateThrow(w, index);
}

}  // namespace bprep2
