// What differs between the platforms the pre-processor is built for.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// Format checking of the program's own printf-style routines. They format
// with the C99 rules on every platform (MinGW builds ask for them with
// __USE_MINGW_ANSI_STDIO), so %zu and the like are checked as such.
#if defined(__MINGW32__)
#define BPREP2_PRINTF(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#elif defined(__GNUC__)
#define BPREP2_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define BPREP2_PRINTF(fmt, first)
#endif

namespace bprep2 {

// Joins a directory and a name in paths the program builds itself.
#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

// The program text, the diagnostics and the files the program writes carry
// the same bytes on every platform: a line ends with "\n" alone, which the
// compiler reads on either. Windows' C runtime would otherwise turn every
// "\n" into "\r\n" on the way out.
inline void useBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

}  // namespace bprep2
