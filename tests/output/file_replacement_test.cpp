// A file replaced whole or left as it was, and the links and devices that
// are written in place.
#include "output/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace bprep2 {
namespace {

namespace fs = std::filesystem;

class FileReplacementTest : public testing::Test {
   protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("bprep2_replacement_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    static std::string contentsOf(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
    }
    size_t filesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

TEST_F(FileReplacementTest, ReplacesTheTargetAndLeavesNothingElse) {
    write(path("eq.txt"), "old and longer text\n");
    ASSERT_TRUE(replaceFile(path("eq.txt"), "A\n1\n"));
    EXPECT_EQ(contentsOf(path("eq.txt")), "A\n1\n");
    EXPECT_TRUE(replaceFile(path("new.txt"), ""));
    EXPECT_TRUE(fs::exists(path("new.txt")));
    EXPECT_EQ(filesInDir(), 2u);
}

// A file size limit makes the write fail part way, as a full disk does.
TEST_F(FileReplacementTest, AFailedWriteLeavesTheTargetAsItWas) {
    write(path("eq.txt"), "the earlier export\n");
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    errno = 0;
    bool replaced = replaceFile(path("eq.txt"), std::string(100000, 'x'));
    int error = errno;
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(contentsOf(path("eq.txt")), "the earlier export\n");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(FileReplacementTest, ALinkIsWrittenThroughAndKept) {
    write(path("real.txt"), "old\n");
    fs::create_symlink(path("real.txt"), path("link.txt"));
    ASSERT_TRUE(replaceFile(path("link.txt"), "new\n"));
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(contentsOf(path("real.txt")), "new\n");
}

TEST_F(FileReplacementTest, AFullDeviceIsAFailure) {
    errno = 0;
    EXPECT_FALSE(replaceFile("/dev/full", "A\n1\n"));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_FALSE(replaceFile(path("missing/eq.txt"), "A\n1\n"));
    EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace bprep2
