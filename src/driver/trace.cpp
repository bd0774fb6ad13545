// The trace file.
#include "driver/trace.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace bprep2 {

namespace {

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

}  // namespace

Trace::~Trace() {
    if (file_) std::fclose(file_);
}

void Trace::open() {
    name_ = "bprep2_trace_" + std::to_string(processId()) + ".txt";
    file_ = std::fopen(name_.c_str(), "wb");
    if (file_) std::fputs("\nOriginal Input To bprep2\n-------- ----- -- ----\n", file_);
}

}  // namespace bprep2
