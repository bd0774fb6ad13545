// Format checking of the program's own printf-style routines.
#pragma once

// They format with the C99 rules on every platform (MinGW builds ask for
// them with __USE_MINGW_ANSI_STDIO), so %zu and the like are checked as such.
#if defined(__MINGW32__)
#define BPREP2_PRINTF(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#elif defined(__GNUC__)
#define BPREP2_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define BPREP2_PRINTF(fmt, first)
#endif
