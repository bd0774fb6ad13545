// Object syntax: the entry the scanner's after-line pass calls for single
// tokens of the line just scanned, and the helpers the rewrites share.
//
// Each rewrite works in place on the token list and only on the statement the
// token stands in, which is at the tail of the list when it runs: no walk
// leaves the statement (or, for NEW and METHOD, the line), so the work done
// for a line is bounded by that line. A rewrite that touches the object
// runtime says so (ObjectState::runtimeUsed), so the writer declares it.
#include "objects/objects.h"

#include "objects/object_rewrite.h"

namespace bprep2 {

TextRef storeRuntimeCallName(TokenList& tokens, RuntimeCall call) {
    static constexpr std::array<std::string_view, runtimeCallCount> names{
        "qObjectGet1", "qObjectSet1", "qObjectMethodN", "qObjectNewObject", "qObjectNewArray"};
    return tokens.storeText(names[static_cast<size_t>(call)]);
}

size_t rewriteObjectSyntax(ObjectLine& line, size_t index) {
    if (index >= line.tokens.size()) return index;
    const Token& token = line.tokens[index];
    switch (token.kind) {
        case TokenKind::MemberOperator:
            return rewriteMemberReference(line, index);
        case TokenKind::Colon:
            return rewriteStaticCall(line, index);
        case TokenKind::Keyword:
            if (line.tokens.isWord(token, "NEW")) return rewriteNewExpression(line, index);
            if (line.tokens.isWord(token, "METHOD")) return rewriteMethodDeclaration(line, index);
            return index;
        default:
            return index;
    }
}

}  // namespace bprep2
