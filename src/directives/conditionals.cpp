// Conditional compilation: #if, #ifdef, #ifndef, #else, #endif and #end.
//
// One stack of states for the whole run, shared by the main source and
// every member. A state of 1 or more lets lines through; 0 is a false
// condition; -1 marks a block opened inside an inactive one, which no #else
// can make active; -2 and below (only from a -D value) are inactive, and
// an #else turns them into 0, so they stay inactive. Depth never leaves
// 0..10.
#include "directives/directive_steps.h"

namespace bprep2 {

namespace {

constexpr int32_t enclosedState = -1;

int32_t& currentState(DirectiveState& state) { return state.conditionStack[state.conditionDepth]; }

}  // namespace

int32_t openedBlockState(const DirectiveState& state, const EquateTable& equates, std::string_view name,
                         bool negative, bool enclosed) {
    if (enclosed) return enclosedState;
    std::string key(name);
    int32_t opened = 0;
    // A -D or predefined name hides any equate of the same spelling.
    auto defined = state.definitions.find(key);
    if (defined != state.definitions.end()) {
        opened = defined->second;
    } else if (equates.contains(key)) {
        opened = 1;
    }
    if (negative) opened = opened == 0 ? 1 : 0;
    return opened;
}

int32_t switchedState(int32_t state) {
    if (state == enclosedState) return state;
    return state == 0 ? 1 : 0;
}

void openConditional(Scan& scan, DirectiveState& state, SourceReader& reader, bool negative) {
    bool enclosed = !state.linesActive();
    // The depth is checked before the name, so an eleventh level fails even
    // when its name is missing.
    if (state.conditionDepth >= maximumConditionDepth)
        scan.diagnostics.error("The maximum nested level of %d conditionals is exceeded", maximumConditionDepth);
    std::string_view line = reader.lineText;
    size_t pos = skipBlanks(line, static_cast<size_t>(reader.scanPos));
    reader.scanPos = static_cast<int64_t>(pos);
    size_t length = nameLengthAt(scan.options, line, pos);
    if (length == 0) scan.diagnostics.error("Invalid syntax for # pre-processor directives");
    reader.scanPos = static_cast<int64_t>(pos + length);
    int32_t opened = openedBlockState(state, scan.equates, line.substr(pos, length), negative, enclosed);
    state.conditionDepth += 1;
    currentState(state) = opened;
}

void switchConditional(Scan& scan, DirectiveState& state, SourceReader&) {
    if (state.conditionDepth == 0) scan.diagnostics.error("#else seen outside a conditional block");
    currentState(state) = switchedState(currentState(state));
}

void closeConditional(Scan& scan, DirectiveState& state, SourceReader&) {
    if (state.conditionDepth == 0) scan.diagnostics.error("#endif seen outside a conditional block");
    state.conditionDepth -= 1;
}

}  // namespace bprep2
