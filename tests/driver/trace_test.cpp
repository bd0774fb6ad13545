// The trace file is created new, never through a link: a name already
// taken is replaced only when it is the user's own regular file.
#include "driver/trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "e2e/in_process_support.h"

namespace bprep2 {
namespace {

namespace fs = std::filesystem;

constexpr const char* heading = "\nOriginal Input To bprep2\n";

class TraceCreation : public bprep2_test::ScratchDirectoryTest {
   protected:
    void SetUp() override {
        bprep2_test::ScratchDirectoryTest::SetUp();
        name_ = "bprep2_trace_" + std::to_string(getpid()) + ".txt";
    }
    static std::string contentsOf(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Opens and closes a trace; whether it was made.
    static bool traceMade() {
        Trace trace;
        trace.open();
        bool made = trace.file() != nullptr;
        if (made) {
            EXPECT_TRUE(trace.close());
        }
        return made;
    }

    std::string name_;
};

TEST_F(TraceCreation, AnOwnRegularFileIsReplaced) {
    ASSERT_TRUE(traceMade());
    write(name_, "left by an earlier process of the same id");
    ASSERT_TRUE(traceMade());
    EXPECT_EQ(contentsOf(name_).rfind(heading, 0), 0u);
}

TEST_F(TraceCreation, APlantedLinkIsNeverFollowed) {
    write("victim", "precious\n");
    fs::create_symlink(dir / "victim", name_);
    EXPECT_FALSE(traceMade());
    EXPECT_EQ(contentsOf("victim"), "precious\n");
    EXPECT_TRUE(fs::is_symlink(name_));

    fs::remove(name_);
    fs::create_symlink(dir / "not-yet-there", name_);
    EXPECT_FALSE(traceMade());
    EXPECT_FALSE(fs::exists("not-yet-there"));
}

TEST_F(TraceCreation, ADirectoryOrAnotherUsersFileIsLeftAlone) {
    fs::create_directory(name_);
    EXPECT_FALSE(traceMade());
    EXPECT_TRUE(fs::is_directory(name_));
    fs::remove(name_);

    write(name_, "someone else's\n");
    if (chown(name_.c_str(), geteuid() + 1, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "this user cannot give a file away";
    EXPECT_FALSE(traceMade());
    EXPECT_EQ(contentsOf(name_), "someone else's\n");
}

}  // namespace
}  // namespace bprep2
