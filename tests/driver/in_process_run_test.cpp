// An in-process run with statistics and trace: the statistics take their
// internal form, and the trace copy of the output goes into the trace file
// while the caller's slots are filled exactly once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bprep2.h"
#include "driver/driver_test_support.h"

TEST(InProcessRun, InternalStatisticsAndTraceCopy) {
    bprep2_test::ScopedEnv options("BASC_BPREP2", "stats:trace");
    char pattern[] = "/tmp/bprep2_run_XXXXXX";
    std::string dir = mkdtemp(pattern);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ofstream("prog.b") << "PRINT 1\n";

    char* text = nullptr;
    uint32_t length = 0, status = 9;
    bprep2_test::Args args{"caller", "-m", "", "", "", "bprep2 prog.b"};
    args.setRaw(2, &text);
    args.setRaw(3, &length);
    args.setRaw(4, &status);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int result = bprep2_run(args.argc(), args.argv());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    std::string traceName = "bprep2_trace_" + std::to_string(getpid()) + ".txt";
    std::stringstream trace;
    trace << std::ifstream(traceName).rdbuf();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);

    const std::string expected = "\n#line 1 \"prog.b\"\nPRINT 1\n";
    EXPECT_EQ(result, 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), expected);
    std::free(text);
    EXPECT_EQ(err, "Compiled 5 tokens, 0 equates, 1 files, 1 lines, internal 26 bytes\n"
                   "bprep2: Trace file written to " + traceName + "\n");
    EXPECT_NE(trace.str().find("\nOutput from bprep2\n------ ---- ----\n" + expected +
                               "---------------end-----------\n\n"),
              std::string::npos);
}
