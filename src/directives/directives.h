// Directive lines, INCLUDE/INSERT and EQUATE: the handlers of the lines the
// scanner hands on.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "scanner/line_handlers.h"
#include "scanner/scan.h"

namespace bprep2 {

constexpr int32_t maximumConditionDepth = 10;

// The conditional compilation of a run: the names it tests and the stack
// of open blocks, one for the main source and every member.
struct DirectiveState {
    // -D and the predefined names; an equate of a name defines it as well.
    std::map<std::string, int32_t> definitions;
    // A state of 1 or more lets lines through (conditionals.cpp).
    int32_t conditionStack[maximumConditionDepth + 1] = {1};
    int32_t conditionDepth = 0;

    bool linesActive() const { return conditionStack[conditionDepth] >= 1; }
};

class DirectiveHandlers final : public LineHandlers {
   public:
    explicit DirectiveHandlers(DirectiveState& state) : state_(state) {}

    bool directive(Scan& scan, SourceReader& reader) override;
    void equate(Scan& scan, SourceReader& reader) override;
    void include(Scan& scan, SourceReader& reader) override;
    bool linesActive() const override { return state_.linesActive(); }

   private:
    DirectiveState& state_;
};

}  // namespace bprep2
