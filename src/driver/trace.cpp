// The trace file.
#include "driver/trace.h"

#include "output/process_id.h"

namespace bprep2 {

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

void Trace::open() {
    name_ = "bprep2_trace_" + std::to_string(processId()) + ".txt";
    file_ = std::fopen(name_.c_str(), "wb");
    if (file_) std::fputs("\nOriginal Input To bprep2\n-------- ----- -- ----\n", file_);
}

}  // namespace bprep2
