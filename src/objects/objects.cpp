// Object syntax: the entry the scanner's after-line pass calls for single
// tokens of the line just scanned, and the helpers the rewrites share.
//
// Each rewrite works in place on the token list and only on the statement the
// token stands in, which is at the tail of the list when it runs: no walk
// leaves the statement (or, for NEW and METHOD, the line), so the work done
// for a line is bounded by that line. A rewrite that touches the object
// runtime sets objectRuntimeUsed so the writer declares the runtime.
#include "objects/objects.h"

#include "objects/object_rewrite.h"

namespace bprep2 {

size_t tokenAfter(PreprocessorContext& ctx, size_t index, int mode) { return significantAfter(ctx, index, mode); }

size_t tokenBefore(const PreprocessorContext& ctx, size_t index, int mode) {
    if (index == npos || index == 0) return npos;
    return previousSignificant(ctx, index - 1, mode);
}

bool isExtract(const Token& token, char bracket) {
    return token.type == extract && token.value == static_cast<unsigned char>(bracket);
}

bool hasWord(const PreprocessorContext& ctx, const Token& token, std::string_view word) {
    return equalsIgnoreCase(ctx.text(token), word) == 0;
}

bool isElse(const PreprocessorContext& ctx, const Token& token) {
    return token.type == system_keyword && hasWord(ctx, token, "ELSE");
}

int64_t valueBracketStep(const Token& token) {
    if (isExtract(token, '(') || isExtract(token, '[')) return 1;
    if (isExtract(token, ')') || isExtract(token, ']')) return -1;
    return 0;
}

Token makeToken(PreprocessorContext& ctx, int32_t type, std::string_view text, int32_t value) {
    Token token;
    resetToken(token, type);
    token.value = value;
    if (!text.empty()) ctx.setText(token, text);
    return token;
}

void restartIfObjectsOff(const PreprocessorContext& ctx) {
    if (!ctx.objects() && ctx.has(optObjectRestart)) throw RestartSignal{};
}

int64_t rewriteObjectSyntax(PreprocessorContext& ctx, size_t index) {
    if (index >= tokenCount(ctx)) return static_cast<int64_t>(index);
    const Token& token = tokenAt(ctx, index);
    switch (token.type) {
        case oref_id:
            return rewriteMemberReference(ctx, index);
        case colon:
            return rewriteStaticCall(ctx, index);
        case system_keyword:
            if (hasWord(ctx, token, "NEW")) return rewriteNewExpression(ctx, index);
            if (hasWord(ctx, token, "METHOD")) return rewriteMethodDeclaration(ctx, index);
            return static_cast<int64_t>(index);
        default:
            return static_cast<int64_t>(index);
    }
}

}  // namespace bprep2
