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

bool isElse(const PreprocessorContext& ctx, const Token& token) {
    return token.kind == TokenKind::Keyword && ctx.tokens.isWord(token, "ELSE");
}

int64_t valueBracketStep(const Token& token) {
    if (isBracket(token, '(') || isBracket(token, '[')) return 1;
    if (isBracket(token, ')') || isBracket(token, ']')) return -1;
    return 0;
}

void restartIfObjectsOff(const PreprocessorContext& ctx) {
    if (!ctx.options.objects() && ctx.options.objectRestart()) throw ObjectSyntaxRestart{};
}

size_t rewriteObjectSyntax(PreprocessorContext& ctx, size_t index) {
    if (index >= ctx.tokens.size()) return index;
    const Token& token = ctx.tokens[index];
    switch (token.kind) {
        case TokenKind::MemberOperator:
            return rewriteMemberReference(ctx, index);
        case TokenKind::Colon:
            return rewriteStaticCall(ctx, index);
        case TokenKind::Keyword:
            if (ctx.tokens.isWord(token, "NEW")) return rewriteNewExpression(ctx, index);
            if (ctx.tokens.isWord(token, "METHOD")) return rewriteMethodDeclaration(ctx, index);
            return index;
        default:
            return index;
    }
}

}  // namespace bprep2
