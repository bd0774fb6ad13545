// Conditional compilation: #if, #ifdef, #ifndef, #else, #endif and #end.
//
// One stack of states for the whole run, shared by the main source and
// every member. A state of 1 or more lets lines through; 0 is a false
// condition; -1 marks a block opened inside an inactive one, which no #else
// can make active; -2 and below (only from a -D value) are inactive, and
// an #else turns them into 0, so they stay inactive. Depth never leaves
// 0..10.
#include "directives/directive_steps.h"
#include "directives/directives.h"

namespace bprep2 {

namespace {

constexpr int32_t maximumConditionDepth = 10;
constexpr int32_t enclosedState = -1;

int32_t& currentState(PreprocessorContext& ctx) { return ctx.conditionStack[ctx.conditionDepth]; }

}  // namespace

bool linesActive(const PreprocessorContext& ctx) {
    return ctx.conditionStack[ctx.conditionDepth] >= 1;
}

int32_t openedBlockState(const PreprocessorContext& ctx, std::string_view name, bool negative,
                         bool enclosed) {
    if (enclosed) return enclosedState;
    std::string key(name);
    int32_t state = 0;
    // A -D or predefined name hides any equate of the same spelling.
    auto defined = ctx.definitions.find(key);
    if (defined != ctx.definitions.end()) {
        state = defined->second;
    } else if (ctx.equates.count(key) != 0) {
        state = 1;
    }
    if (negative) state = state == 0 ? 1 : 0;
    return state;
}

int32_t switchedState(int32_t state) {
    if (state == enclosedState) return state;
    return state == 0 ? 1 : 0;
}

void openConditional(PreprocessorContext& ctx, SourceReader& reader, bool negative) {
    bool enclosed = !linesActive(ctx);
    // The depth is checked before the name, so an eleventh level fails even
    // when its name is missing.
    if (ctx.conditionDepth >= maximumConditionDepth)
        ctx.diagnostics.error("The maximum nested level of %d conditionals is exceeded", maximumConditionDepth);
    std::string_view line = reader.lineText;
    size_t pos = skipBlanks(line, static_cast<size_t>(reader.scanPos));
    reader.scanPos = static_cast<int64_t>(pos);
    size_t length = nameLengthAt(ctx, line, pos);
    if (length == 0) ctx.diagnostics.error("Invalid syntax for # pre-processor directives");
    reader.scanPos = static_cast<int64_t>(pos + length);
    int32_t state = openedBlockState(ctx, line.substr(pos, length), negative, enclosed);
    ctx.conditionDepth += 1;
    currentState(ctx) = state;
}

void switchConditional(PreprocessorContext& ctx, SourceReader&) {
    if (ctx.conditionDepth == 0) ctx.diagnostics.error("#else seen outside a conditional block");
    currentState(ctx) = switchedState(currentState(ctx));
}

void closeConditional(PreprocessorContext& ctx, SourceReader&) {
    if (ctx.conditionDepth == 0) ctx.diagnostics.error("#endif seen outside a conditional block");
    ctx.conditionDepth -= 1;
}

}  // namespace bprep2
