// Reading sources: item line ends as the platform's library may deliver
// them, the host calls of an item read, long file lines, the counters and
// trace copy, and sources found nowhere.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/host_interface.h"
#include "scanner/scanner_fixture.h"

namespace bprep2_test {
namespace {

using namespace bprep2;

// Item reads answered from one string, the way the platform's library may
// deliver them (raw line ends, a block of its own for large items).
struct FakeHost {
    static inline std::string item;
    static inline bool noHandle = false;
    static inline int opens = 0;
    static inline int closes = 0;

    static void* getdpEX(int, int, int, int) { return noHandle ? nullptr : &item; }
    static int openRead(void*, void** handle, const char*, const char*, char** buffer, uint32_t* size) {
        ++opens;
        *handle = &item;
        if (item.size() > *size) *buffer = static_cast<char*>(std::malloc(item.size()));
        std::memcpy(*buffer, item.data(), item.size());
        *size = static_cast<uint32_t>(item.size());
        return 0;
    }
    static int close(void*, void* handle, int) {
        closes += handle != nullptr;
        return 0;
    }
};

class ItemTest : public ScannerTest {
protected:
    ItemReadCalls saved = itemReadCalls;
    std::string file = "BP";

    void SetUp() override {
        ScannerTest::SetUp();
        itemReadCalls = {FakeHost::getdpEX, FakeHost::openRead, FakeHost::close};
        FakeHost::noHandle = false;
        FakeHost::opens = FakeHost::closes = 0;
    }
    void TearDown() override {
        itemReadCalls = saved;
        ScannerTest::TearDown();
    }
    std::string item(const std::string& bytes) {
        FakeHost::item = bytes;
        ctx->tokens.clear();
        EXPECT_EQ(compile("ITEM", &file), 0) << errors;
        return tokens(1);
    }
};

TEST_F(ItemTest, ItemLinesEndAtMarksAndRunsOfLineEnds) {
    EXPECT_EQ(item("A\xFE\xFE" "B"), "variable(A) endofline=1 endofline=1 variable(B) endofline=1");
    EXPECT_EQ(item("A\n\n\rB\xFE"), "variable(A) endofline=1 variable(B) endofline=1");
    EXPECT_EQ(item("A\r\n\xFE" "B\xFE\xFE"), "variable(A) endofline=1 variable(B) endofline=1 endofline=1");
    EXPECT_EQ(item(""), "");
    EXPECT_EQ(tokens(), "changeline(ITEM)=1");
    EXPECT_EQ(FakeHost::closes, FakeHost::opens);

    // Larger than the 4096-byte buffer: delivered in a block of the
    // library's own, which is read whole and released.
    std::string big(6000, 'A');
    EXPECT_EQ(item(big + "\xFE" "B"), "variable(" + big + ") endofline=1 variable(B) endofline=1");
}

TEST_F(ItemTest, NoRuntimeHandleFailsEveryAttempt) {
    FakeHost::noHandle = true;
    ctx->hostHandle = nullptr;
    EXPECT_EQ(compile("ITEM", &file), 1);
    EXPECT_EQ(errors,
              "bprep2: Unable to allocate a port or object\nbprep2: Unable to allocate a port or object\n"
              "bprep2: Error Unable to read item 'ITEM' from file 'BP'\n\n");
    EXPECT_EQ(FakeHost::opens, 0);
    EXPECT_TRUE(ctx->tokens.empty());
}

TEST_F(ScannerTest, AFileLineOfAnyLengthIsOneLine) {
    std::string longLine(20000, 'A');
    EXPECT_EQ(scan(longLine + "\r\nB"), 0);
    EXPECT_EQ(tokens(1), "variable(" + longLine + ") endofline=1 variable(B) endofline=1");
    EXPECT_EQ(ctx->linesRead, 2u);
    EXPECT_EQ(ctx->filesOpened, 1u);
}

TEST_F(ScannerTest, EveryLineReadIsCopiedToTheTrace) {
    ctx->traceFile = std::tmpfile();
    EXPECT_EQ(scan("X = 'a\\\nb'\r\n#define Q 1\n"), 0);
    std::rewind(ctx->traceFile);
    char copy[64] = {};
    size_t got = std::fread(copy, 1, sizeof copy - 1, ctx->traceFile);
    EXPECT_EQ(std::string(copy, got), "X = 'a\\\nb'\n#define Q 1\n");
}

TEST_F(ScannerTest, SourcesFoundNowhere) {
    SourceReader outer;
    ctx->reader = &outer;
    EXPECT_EQ(compile("nope.b"), 1);
    EXPECT_EQ(errors, "bprep2: Error Unable to read file 'nope.b'\n\n");
    EXPECT_EQ(ctx->reader, &outer);  // the caller's reader is current again
    std::filesystem::create_directories(dir / "sub");
    ctx->includeLevel = 1;
    EXPECT_EQ(compile("sub"), 1);  // a directory is no source
    EXPECT_EQ(errors, "bprep2: Error Unable to read INCLUDE file 'sub'\n\n");
    EXPECT_TRUE(ctx->tokens.empty());
    EXPECT_EQ(ctx->filesOpened, 0u);
}

}  // namespace
}  // namespace bprep2_test
