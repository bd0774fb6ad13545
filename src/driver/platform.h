// What differs between the platforms the pre-processor is built for.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace bprep2 {

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
