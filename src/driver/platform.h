// What differs between the platforms the pre-processor is built for.
#pragma once

#include <cstdio>
#include <string>

#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <unistd.h>
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

// A standard descriptor the program was started without is taken by the
// first file the run opens (the trace file, a source), which would then
// receive the program text or the messages. Each closed one of 0-2 is held
// on the null device instead, opened for reading only: writes to it still
// fail as they would on a closed descriptor, so a closed standard output
// still ends the run with "Unable to write the output text".
inline void occupyClosedStandardDescriptors() {
#ifndef _WIN32
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        int held = open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd) {
            dup2(held, fd);
            close(held);
        }
    }
#endif
}

// Reads the rest of standard input as the bytes it holds, on every
// platform; false on a read error.
inline bool readStandardInput(std::string& text) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    constexpr size_t block = size_t{1} << 16;
    char buffer[block];
    for (size_t got; (got = std::fread(buffer, 1, block, stdin)) > 0;) text.append(buffer, got);
    return !std::ferror(stdin);
}

}  // namespace bprep2
