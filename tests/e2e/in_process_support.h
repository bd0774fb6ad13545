// What the tests that run the pre-processor through its in-process entry
// share: a working directory of their own, and one run with the checks that
// hold for every run.
#pragma once

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "bprep2.h"
#include "driver/driver_test_support.h"

namespace bprep2_test {

namespace fs = std::filesystem;

// What one run gave its caller.
struct Outcome {
    int status = -1;
    bool delivered = false;
    uint32_t statusSlot = 0;
    std::string text, err;
    double seconds = 0;
    // The processor time the calling thread spent in the run: unlike the
    // time on the clock, it does not grow when other work shares the machine.
    double cpuSeconds = 0;
};

inline double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The status slot holds this until a successful run sets it.
constexpr uint32_t untouchedSlot = 12345;

// Runs `commandLine` in process with `options` as the option words (null:
// the default). Every run writes nothing on standard output, hands over
// text exactly when it succeeds, and gives the text's length without the
// terminator.
inline Outcome runInProcess(std::string commandLine, const char* options = nullptr) {
    ScopedEnv env("BASC_BPREP2", options);
    Outcome r;
    char* text = nullptr;
    uint32_t length = 0;
    r.statusSlot = untouchedSlot;
    std::string prog = "caller", m = "-m";
    char* argv[] = {prog.data(), m.data(), reinterpret_cast<char*>(&text), reinterpret_cast<char*>(&length),
                    reinterpret_cast<char*>(&r.statusSlot), commandLine.data(), nullptr};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    auto start = std::chrono::steady_clock::now();
    double cpuStart = threadCpuSeconds();
    r.status = bprep2_run(6, argv);
    r.cpuSeconds = threadCpuSeconds() - cpuStart;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "an in-process run writes no text on stdout";
    r.delivered = text != nullptr;
    if (text) {
        r.text.assign(text, length);
        EXPECT_EQ(text[length], '\0') << "the length leaves out the terminator";
        std::free(text);
    }
    EXPECT_EQ(r.delivered, r.status == 0) << "text is handed over exactly when the run succeeds";
    EXPECT_EQ(r.statusSlot, r.status == 0 ? 0u : untouchedSlot);
    return r;
}

inline size_t occurrences(const std::string& text, const std::string& needle) {
    size_t n = 0;
    for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + needle.size())) ++n;
    return n;
}

inline std::string repeat(std::string_view s, size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

// Each test works in a directory of its own, the working directory of its
// runs; the environment holds none of the program's variables.
class ScratchDirectoryTest : public ::testing::Test {
   protected:
    fs::path dir, previous;
    ScopedEnv options{"BASC_BPREP2", nullptr}, release{"BASCRELEASEDIR", nullptr}, uvcase{"UVCASE", nullptr};

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bprep2-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        previous = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    void write(const std::string& name, std::string_view bytes) {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
};

}  // namespace bprep2_test
