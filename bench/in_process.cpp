// Times the in-process entry point the way a compile tool uses it: one call
// per program, in one process. Reads one command line a line on standard
// input (the words after "-m RESULT LENGTH DELIVERED"), calls bprep2_run for
// each, and prints the median CPU time of a call in milliseconds. The list
// is run a second time and only that pass is timed, so the first touches of
// the process's own pages do not count as calls.
#include "bprep2.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

namespace {

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// One call; returns its exit status and adds its CPU time to `times`.
int timedCall(std::string line, std::vector<double>& times)
{
    char* text = nullptr;
    uint32_t length = 0;
    uint32_t delivered = 1;
    char name[] = "bench";
    char form[] = "-m";
    char* argv[] = {name, form, reinterpret_cast<char*>(&text), reinterpret_cast<char*>(&length),
                    reinterpret_cast<char*>(&delivered), line.data()};
    const double start = threadSeconds();
    const int status = bprep2_run(6, argv);
    times.push_back(threadSeconds() - start);
    std::free(text);
    return status;
}

}  // namespace

int main()
{
    std::vector<std::string> lines;
    for (std::string line; std::getline(std::cin, line);) {
        lines.push_back(line);
    }
    if (lines.empty()) {
        std::fprintf(stderr, "in_process: no command lines\n");
        return 2;
    }
    std::vector<double> warmUp;
    std::vector<double> times;
    int failures = 0;
    for (const std::string& line : lines) {
        timedCall(line, warmUp);
    }
    for (const std::string& line : lines) {
        failures += timedCall(line, times) != 0 ? 1 : 0;
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    std::printf("%.4f %d\n", times[times.size() / 2] * 1000, failures);
    return 0;
}
