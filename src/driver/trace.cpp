// The trace file.
//
// The trace is written in the working directory under a name anyone can
// predict, so it is created new and never through a link: a planted link
// of that name would otherwise have the run overwrite whatever it points
// at. A file already there is replaced only when it is a regular file of
// the user running the program (left by an earlier run whose process id
// was the same); anything else leaves the run without a trace.
#include "driver/trace.h"

#include <sys/stat.h>

#include <cstdio>

#include "output/file_replacement.h"
#include "output/process_id.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace bprep2 {

namespace {

// A file of `name` the run may remove to make its own.
bool isOwnRegularFile(const std::string& name) {
#ifdef _WIN32
    struct _stat64 status;
    return _stat64(name.c_str(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat status;
    return lstat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid();
#endif
}

std::FILE* createTraceFile(const std::string& name) {
    if (std::FILE* file = createNewFile(name)) return file;
    if (!isOwnRegularFile(name) || std::remove(name.c_str()) != 0) return nullptr;
    return createNewFile(name);
}

}  // namespace

Trace::~Trace() {
    if (file_) std::fclose(file_);
}

bool Trace::close() {
    if (!file_) return false;
    bool written = std::fflush(file_) == 0 && !std::ferror(file_);
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return written && closed;
}

// Calls in one process each have a trace of their own; the program's one
// run keeps the name of the process alone.
void Trace::open(uint64_t inProcessCall) {
    name_ = "bprep2_trace_" + std::to_string(processId());
    if (inProcessCall > 0) {
        name_ += '_';
        name_ += std::to_string(inProcessCall);
    }
    name_ += ".txt";
    file_ = createTraceFile(name_);
    if (file_) std::fputs("\nOriginal Input To bprep2\n-------- ----- -- ----\n", file_);
}

}  // namespace bprep2
