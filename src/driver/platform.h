// What differs between the platforms the pre-processor is built for.
#pragma once

namespace bprep2 {

// Joins a directory and a name in paths the program builds itself.
#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

}  // namespace bprep2
