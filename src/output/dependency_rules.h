// The dependency file a build reads to know which sources a program was
// made from: Make rules in the form C pre-processors write with -MD, which
// Make's include, Ninja's depfile and CMake's DEPFILE read unchanged.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace bprep2 {

// A name as Make reads it back in a rule: a blank (with the backslashes
// right before it doubled) and '#' after a backslash, '$' doubled.
std::string quotedForMake(std::string_view name);

// "targets: prerequisite ..." with the prerequisites quoted, lines broken
// before a name that would pass the 72nd column and continued with " \",
// and with `phonyRules` an empty rule for every prerequisite but the first,
// so that a member deleted since does not stop the build. Targets are
// written as given: quote them first where they must be.
std::string dependencyRules(std::span<const std::string> targets, std::span<const std::string> prerequisites,
                            bool phonyRules);

}  // namespace bprep2
