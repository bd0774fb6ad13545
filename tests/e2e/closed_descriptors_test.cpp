// The program started with a standard descriptor closed and the trace on:
// the trace file must not take the descriptor's place, so that neither the
// program text nor the messages end up in it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class ClosedDescriptor : public testing::Test {
   protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bprep2-closed-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }
    std::string contentsOf(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs bprep2 with the trace on and descriptor `closed` closed; the
    // other one of standard output and error goes to a file. Returns the
    // exit status.
    int runWithClosed(int closed, const std::string& source) {
        pid_t child = fork();
        if (child == 0) {
            if (chdir(dir_.c_str()) != 0) _exit(126);
            int kept = closed == STDOUT_FILENO ? STDERR_FILENO : STDOUT_FILENO;
            int file = open("captured.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(file, kept);
            close(file);
            close(closed);
            setenv("BASC_BPREP2", "trace", 1);
            const char* exe = std::getenv("BPREP2_TEST_EXE") ? std::getenv("BPREP2_TEST_EXE") : BPREP2_EXE;
            execl(exe, "bprep2", source.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        traceName_ = "bprep2_trace_" + std::to_string(child) + ".txt";
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string trace() const { return contentsOf(dir_ / traceName_); }
    std::string captured() const { return contentsOf(dir_ / "captured.txt"); }

    fs::path dir_;
    std::string traceName_;
};

TEST_F(ClosedDescriptor, ClosedOutputFailsTheRunAsWithoutTheTrace) {
    write("small.b", "PRINT 1\n");
    EXPECT_EQ(runWithClosed(STDOUT_FILENO, "small.b"), 2);
    EXPECT_EQ(captured().rfind("bprep2: Error Unable to write the output text\n", 0), 0u) << captured();
    EXPECT_EQ(trace().rfind("\nOriginal Input To bprep2\n", 0), 0u) << "the trace starts with its heading";
}

TEST_F(ClosedDescriptor, ClosedErrorKeepsMessagesOutOfTheTrace) {
    write("bad.b", "X = . 5\n");
    EXPECT_EQ(runWithClosed(STDERR_FILENO, "bad.b"), 1);
    EXPECT_EQ(captured(), "");
    EXPECT_EQ(trace().find("bprep2: Error"), std::string::npos) << trace();
}

}  // namespace
