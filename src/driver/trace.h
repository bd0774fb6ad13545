// The trace file: a copy of the input as it is read, the reports and the
// output, named for the process, for people who maintain the pre-processor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace bprep2 {

class Trace {
   public:
    Trace() = default;
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    ~Trace();

    // Creates bprep2_trace_<process id>.txt, or for the in-process call
    // numbered `inProcessCall` (from 1) bprep2_trace_<process id>_<call>.txt,
    // and writes its heading; a file that cannot be created new (or replace
    // one of the user's own regular files) leaves the run without a trace.
    void open(uint64_t inProcessCall = 0);
    // The open file, or null.
    std::FILE* file() const { return file_; }
    // Closes the file; false when any write to it failed.
    bool close();
    const std::string& name() const { return name_; }

   private:
    std::FILE* file_ = nullptr;
    std::string name_;
};

}  // namespace bprep2
