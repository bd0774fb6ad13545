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

bool isElse(const TokenList& tokens, const Token& token) {
    return token.kind == TokenKind::Keyword && tokens.isWord(token, "ELSE");
}

int64_t valueBracketStep(const Token& token) {
    if (isBracket(token, '(') || isBracket(token, '[')) return 1;
    if (isBracket(token, ')') || isBracket(token, ']')) return -1;
    return 0;
}

TextRef storeRuntimeCallName(TokenList& tokens, RuntimeCall call) {
    static constexpr std::array<std::string_view, runtimeCallCount> names{
        "qObjectGet1", "qObjectSet1", "qObjectMethodN", "qObjectNewObject", "qObjectNewArray"};
    return tokens.storeText(names[static_cast<size_t>(call)]);
}

std::string_view memberOperatorText(ObjectState& state, TokenList& tokens, std::string_view spelling, int32_t column) {
    state.operatorColumns.push_back(column);
    TextRef& stored = state.operatorTexts[spelling == "->" ? 0 : 1];
    if (stored.length == 0) stored = tokens.storeText(spelling);
    return tokens.textOf(stored);
}

void restartIfObjectsOff(const ObjectLine& line) {
    if (!line.options.objects() && line.options.objectRestart()) throw ObjectSyntaxRestart{};
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
