// The trace file of a program started in a hostile setting: with a standard
// descriptor closed (the trace must not take its place, so neither the
// program text nor the messages end up in it) and on a disk that fills up
// (the failure is reported once, and no success line follows).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class TraceFile : public testing::Test {
   protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bprep2-trace-XXXXXX").string();
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

    // Runs bprep2 on `source` with the trace on, in the scratch directory,
    // standard output and error going to out.txt and err.txt; `setUp` then
    // changes the process as the test needs. Returns the exit status.
    int run(const std::string& source, const std::function<void()>& setUp = [] {}) {
        pid_t child = fork();
        if (child == 0) {
            if (chdir(dir_.c_str()) != 0) _exit(126);
            for (auto [fd, name] : {std::pair{STDOUT_FILENO, "out.txt"}, std::pair{STDERR_FILENO, "err.txt"}}) {
                int file = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0600);
                dup2(file, fd);
                close(file);
            }
            setUp();
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
    std::string out() const { return contentsOf(dir_ / "out.txt"); }
    std::string err() const { return contentsOf(dir_ / "err.txt"); }

    fs::path dir_;
    std::string traceName_;
};

TEST_F(TraceFile, ClosedOutputFailsTheRunAsWithoutTheTrace) {
    write("small.b", "PRINT 1\n");
    EXPECT_EQ(run("small.b", [] { close(STDOUT_FILENO); }), 2);
    EXPECT_EQ(err().rfind("bprep2: Error Unable to write the output text\n", 0), 0u) << err();
    EXPECT_EQ(trace().rfind("\nOriginal Input To bprep2\n", 0), 0u) << "the trace starts with its heading";
}

TEST_F(TraceFile, ClosedErrorKeepsMessagesOutOfTheTrace) {
    write("bad.b", "X = . 5\n");
    EXPECT_EQ(run("bad.b", [] { close(STDERR_FILENO); }), 1);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(trace().find("bprep2: Error"), std::string::npos) << trace();
}

// A file size limit stops the trace part way, as a full disk does; standard
// output and error are written to files small enough to fit.
TEST_F(TraceFile, ATraceThatCannotBeWrittenIsReportedOnce) {
    std::string source;
    for (int i = 0; i < 400; ++i) {
        std::string number = std::to_string(i);
        source.append("X").append(number).append(" = ").append(number).append("\n");
    }
    write("prog.b", source);
    int status = run("prog.b", [] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit{32768, 32768};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err(), "bprep2: Error Unable to write the trace file\n");
    EXPECT_EQ(out().rfind("\n#line 1 \"prog.b\"\nX0 = 0\n", 0), 0u);
    EXPECT_EQ(trace().size(), 32768u);
}

}  // namespace
