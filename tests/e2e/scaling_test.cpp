// Single lines built to make a careless rewrite go over the same tokens again
// and again: each is run at two sizes, eight times apart, and the larger may
// take no more than about eight times as long. Time that grows with the
// square of the line would make the ratio sixty-four. The time is the
// processor time of the run, so a machine busy with other work (tests run
// side by side) does not stretch one size and not the other.
#include <malloc.h>

#include <algorithm>
#include <functional>
#include <string>

#include "e2e/in_process_support.h"

namespace {

using namespace bprep2_test;

class Scaling : public ScratchDirectoryTest {
protected:
    // Memory a run frees stays with the process, so that each of the three
    // runs after the first finds the pages it needs already touched, at
    // either size. Left to itself the allocator gives a large run's blocks
    // back to the system, and every large run pays again for fresh pages,
    // which on a virtual machine can cost more than the work itself, while
    // the small runs reuse what is there.
    static void SetUpTestSuite() {
        constexpr int keptBytes = 1 << 30;
        mallopt(M_MMAP_THRESHOLD, keptBytes);
        mallopt(M_TRIM_THRESHOLD, keptBytes);
    }

    // The least processor time of three runs, in seconds; `text` is the last run's text.
    double timedRun(const std::string& program, std::string& text) {
        write("prog.b", program);
        double best = 1e9;
        for (int attempt = 0; attempt < 3; ++attempt) {
            Outcome r = runInProcess("bprep2 prog.b", "objects");
            EXPECT_EQ(r.status, 0);
            best = std::min(best, r.cpuSeconds);
            text = r.text;
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
        {"a chain of method calls with references in their arguments", [](size_t n) {
             std::string s = "X = A";
             for (size_t i = 0; i < n; ++i) s += "->M(B->C)";
             return s + "\n";
         }, "qObjectGet1(B,"},
        {"chained member assignments", [](size_t n) {
             std::string s;
             for (size_t i = 0; i < n; ++i) s += "A->X = ";
             return s + "1\n";
         }, "qObjectSet1(A,"},
        {"chained member assignments before an ELSE", [](size_t n) {
             std::string s = "IF C THEN";
             for (size_t i = 0; i < n; ++i) s += " A->X =";
             return s + " 1 ELSE Y = 2\n";
         }, "qObjectSet1(A,"},
        {"nested member assignments before an ELSE", [](size_t n) {
             std::string s = "IF C THEN";
             for (size_t i = 0; i < n; ++i) s += " A->X = (";
             return s + "1" + std::string(n, ')') + " ELSE Y = 2\n";
         }, "qObjectSet1(A,"},
        {"nested member assignments each ending at its own ELSE", [](size_t n) {
             std::string s = "IF C THEN";
             for (size_t i = 0; i < n; ++i) s += " A->X = (1,";
             s += " 2";
             for (size_t i = 0; i < n; ++i) s += ") ELSE 2";
             return s + "\n";
         }, "qObjectSet1(A,"},
        {"chained member assignments a trailing comma leaves open over many lines", [](size_t n) {
             std::string s;
             for (size_t i = 0; i < n; ++i) s += "A->X = ";
             s += "(1,\n";
             for (size_t i = 0; i < n; ++i) s += "2,\n";
             return s + "3)\n";
         }, "qObjectSet1(A,"},
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
