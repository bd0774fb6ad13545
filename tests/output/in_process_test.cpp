// The in-process entry: the text lands in the caller's slots, not on stdout.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "bprep2.h"

namespace {

struct Slots {
    char* text = nullptr;
    uint32_t length = 12345;
    uint32_t status = 12345;
};

int runInProcess(Slots& slots, std::string commandLine) {
    std::string prog = "caller", m = "-m";
    char* argv[] = {prog.data(), m.data(), reinterpret_cast<char*>(&slots.text),
                    reinterpret_cast<char*>(&slots.length), reinterpret_cast<char*>(&slots.status),
                    commandLine.data(), nullptr};
    return bprep2_run(6, argv);
}

TEST(InProcess, TextIsHandedToTheCaller) {
    char pattern[] = "/tmp/bprep2-inproc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, source = dir + "/prog.b";
    std::ofstream(source) << "print x\n";

    Slots slots;
    testing::internal::CaptureStdout();
    int status = runInProcess(slots, "bprep2 " + source);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(status, 0);
    const std::string expected = "\n#line 1 \"" + source + "\"\nPRINT X\n";
    ASSERT_NE(slots.text, nullptr);
    EXPECT_EQ(std::string(slots.text), expected);
    EXPECT_EQ(slots.length, expected.size()) << "the length leaves out the terminator";
    EXPECT_EQ(slots.status, 0u);
    free(slots.text);

    // A failed run hands nothing over.
    Slots failed;
    testing::internal::CaptureStderr();
    EXPECT_EQ(runInProcess(failed, "bprep2 " + dir + "/missing.b"), 1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(failed.text, nullptr);
    EXPECT_EQ(failed.status, 12345u);

    std::filesystem::remove_all(dir);
}

}  // namespace
