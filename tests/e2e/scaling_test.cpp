// Single lines built to make a careless rewrite go over the same tokens again
// and again: each is run at two sizes, eight times apart, and the larger may
// take no more than about eight times as long. Time that grows with the
// square of the line would make the ratio sixty-four.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "bprep2.h"
#include "driver/driver_test_support.h"

namespace {

namespace fs = std::filesystem;

size_t occurrences(const std::string& text, const std::string& needle) {
    size_t n = 0;
    for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + needle.size())) ++n;
    return n;
}

class Scaling : public ::testing::Test {
protected:
    fs::path dir, previous;
    bprep2_test::ScopedEnv options{"BASC_BPREP2", "objects"};

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bprep2-scaling-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        previous = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    // Runs the program in process; returns the best of three times in
    // seconds and leaves the text of the last run in `text`.
    double timedRun(const std::string& program, std::string& text) {
        std::ofstream("prog.b", std::ios::binary) << program;
        double best = 1e9;
        for (int attempt = 0; attempt < 3; ++attempt) {
            char* out = nullptr;
            uint32_t length = 0, status = 0;
            std::string prog = "caller", m = "-m", commandLine = "bprep2 prog.b";
            char* argv[] = {prog.data(), m.data(), reinterpret_cast<char*>(&out), reinterpret_cast<char*>(&length),
                            reinterpret_cast<char*>(&status), commandLine.data(), nullptr};
            auto start = std::chrono::steady_clock::now();
            int result = bprep2_run(6, argv);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            EXPECT_EQ(result, 0);
            text = out ? std::string(out, length) : std::string();
            std::free(out);
        }
        return best;
    }
};

struct Shape {
    const char* name;
    std::function<std::string(size_t)> line;  // the program for n repetitions
    const char* marker;                       // written once per repetition
};

TEST_F(Scaling, PathologicalLinesGrowLinearly) {
    const Shape shapes[] = {
        {"statements with member references", [](size_t n) {
             std::string s;
             for (size_t i = 0; i < n; ++i) s += "X=A->B" + std::to_string(i) + ";";
             return s + "\n";
         }, "qObjectGet1(A,"},
        {"one statement of method calls", [](size_t n) {
             std::string s = "R = 0";
             for (size_t i = 0; i < n; ++i) s += " + O->M(A->P, 1)";
             return s + "\n";
         }, "qObjectMethodN(O,"},
        {"a chain of member reads", [](size_t n) {
             std::string s = "X = A";
             for (size_t i = 0; i < n; ++i) s += "->B";
             return s + "\n";
         }, ",\"B\")"},
        {"a chain after a bracketed object", [](size_t n) {
             std::string s = "X = (A)";
             for (size_t i = 0; i < n; ++i) s += "->B";
             return s + "\n";
         }, ",\"B\")"},
        {"a chain of method calls", [](size_t n) {
             std::string s = "X = A";
             for (size_t i = 0; i < n; ++i) s += "->M(1)";
             return s + "\n";
         }, ",\"M\",1)"},
        {"formatted variables", [](size_t n) {
             std::string s = "X = 0";
             for (size_t i = 0; i < n; ++i) s += " : V('L#2')";
             return s + "\n";
         }, "FMT(V,"},
    };
    const size_t small = 2000, large = 8 * small;
    for (const Shape& shape : shapes) {
        std::string text;
        double quick = timedRun(shape.line(small), text);
        EXPECT_EQ(occurrences(text, shape.marker), small) << shape.name;
        double slow = timedRun(shape.line(large), text);
        EXPECT_EQ(occurrences(text, shape.marker), large) << shape.name;
        // The slack covers a busy machine; a square law would be far past it.
        EXPECT_LT(slow, 24 * quick + 0.02) << shape.name << ": " << quick << " s, then " << slow << " s";
    }
}

}  // namespace
