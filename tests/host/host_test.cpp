// The host stand-in: option words, database items from directories, and
// method-name mangling, as the pre-processor relies on them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/quolt_host.h"

namespace {

uint32_t parse(uint32_t word, const std::string& text) {
    return QUOLTCtoolsParseCompileOptions(&word, text.data(), static_cast<uint32_t>(text.size()), 0);
}

class TempDir {
   public:
    TempDir() {
        char pattern[] = "/tmp/bprep2_host_XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
    }

   private:
    std::string path_;
};

struct ItemRead {
    int status;
    std::string bytes;
    bool inCallerBuffer;
};

ItemRead readItem(const std::string& file, const std::string& item) {
    char local[QUOLT_ITEM_BUFFER_SIZE];
    char* buffer = local;
    uint32_t size = sizeof local;
    void* handle = reinterpret_cast<void*>(1);
    ItemRead r{};
    r.status = DbioQuickOpenRead(quolt_getdp(), &handle, file.c_str(), item.c_str(), &buffer, &size);
    if (r.status == 0) {
        r.bytes.assign(buffer, size);
        r.inCallerBuffer = buffer == local;
        if (buffer != local) std::free(buffer);
    } else {
        EXPECT_EQ(handle, nullptr);
    }
    DbioClose(quolt_getdp(), handle, 0);
    return r;
}

}  // namespace

TEST(HostOptions, WordsSeparatorsCaseAndNegation) {
    EXPECT_EQ(parse(0x1180, "tokens:stats"), 0x1186u);
    EXPECT_EQ(parse(0, " case,\tNOWARNINGS , vizla "), 0x1050u);
    EXPECT_EQ(parse(0x1180, "NoArrow::,,warnings"), 0x0180u);
    EXPECT_EQ(parse(0xFFFF, "noVIZLA"), 0xFFFFu & ~0x1040u);
    EXPECT_EQ(parse(0, "Echo trace self stop dot uvcase keywords objects restart"), 0x2F69u);
    // Only the first `length` bytes count.
    uint32_t word = 0;
    EXPECT_EQ(QUOLTCtoolsParseCompileOptions(&word, "casetrace", 4, 0), 0x10u);
    EXPECT_EQ(word, 0u);  // the caller's word is never changed
}

TEST(HostOptions, UnknownWordsWarnAndChangeNothing) {
    testing::internal::CaptureStderr();
    uint32_t result = parse(0x80, "bogus:no:nocasex,cases");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 0x80u);
    EXPECT_EQ(err,
              "bprep2: Warning Unknown option word 'bogus' ignored\n"
              "bprep2: Warning Unknown option word 'no' ignored\n"
              "bprep2: Warning Unknown option word 'nocasex' ignored\n"
              "bprep2: Warning Unknown option word 'cases' ignored\n");
}

TEST(HostOptions, DefaultWordAndEnvironment) {
    const char* saved = std::getenv("BASC_BPREP2");
    std::string keep = saved ? saved : "";
    unsetenv("BASC_BPREP2");
    EXPECT_EQ(QLibAGetCompilerOptions(quolt_getdp(), "prog.b"), 0x1180u);
    setenv("BASC_BPREP2", "tokens:stats nowarnings", 1);
    EXPECT_EQ(QLibAGetCompilerOptions(quolt_getdp(), "prog.b"), 0x1106u);
    if (saved) setenv("BASC_BPREP2", keep.c_str(), 1);
    else unsetenv("BASC_BPREP2");
}

TEST(HostOptions, TableOrderAndTerminator) {
    const QuoltOptionEntry* t = QUOLTCtoolsGetCompilerOptionsTable();
    const char* words[] = {"echo", "stats", "tokens", "keywords", "case", "trace", "objects", "warnings",
                           "restart", "self", "stop", "dot", "arrow", "uvcase", "vizla"};
    size_t n = 0;
    for (; t[n].word; ++n) {
        ASSERT_LT(n, std::size(words));
        EXPECT_STREQ(t[n].word, words[n]);
        EXPECT_NE(t[n].description, nullptr);
    }
    EXPECT_EQ(n, std::size(words));
    EXPECT_STREQ(t[4].description, "Names and keywords are case sensitive");
}

TEST(HostHandles, NeverNone) {
    EXPECT_NE(quolt_getdp(), nullptr);
    EXPECT_NE(quolt_getdpEX(0, 0, 5, 0), nullptr);
}

TEST(HostItems, LineEndsBecomeAttributeMarks) {
    TempDir dir;
    dir.write("MIXED", std::string("A\r\nB\nC\rD\r\r\n\nE", 13) + std::string("\0\x80", 2));
    ItemRead r = readItem(dir.path(), "MIXED");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.bytes, std::string("A\xFE" "B\xFE" "C\xFE" "D\xFE\xFE\xFE" "E") + std::string("\0\x80", 2));
    EXPECT_TRUE(r.inCallerBuffer);

    dir.write("EMPTY", "");
    r = readItem(dir.path(), "EMPTY");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.bytes, "");
}

TEST(HostItems, CallerBufferUpTo4096BytesThenMalloc) {
    TempDir dir;
    dir.write("FITS", std::string(4095, 'x') + "\n");
    dir.write("LARGE", std::string(4096, 'y') + "\r\n");
    ItemRead fits = readItem(dir.path(), "FITS");
    ASSERT_EQ(fits.status, 0);
    EXPECT_EQ(fits.bytes.size(), 4096u);
    EXPECT_EQ(fits.bytes.back(), '\xFE');
    EXPECT_TRUE(fits.inCallerBuffer);
    ItemRead large = readItem(dir.path(), "LARGE");
    ASSERT_EQ(large.status, 0);
    EXPECT_EQ(large.bytes, std::string(4096, 'y') + "\xFE");
    EXPECT_FALSE(large.inCallerBuffer);
}

TEST(HostItems, FailureCodes) {
    TempDir dir;
    dir.write("PLAIN", "x");
    mkdir((dir.path() + "/BP").c_str(), 0755);
    mkdir((dir.path() + "/BP/SUBDIR").c_str(), 0755);
    EXPECT_EQ(readItem(dir.path() + "/NOFILE", "X").status, 11);
    EXPECT_EQ(readItem(dir.path() + "/PLAIN", "X").status, 11);  // not a directory
    EXPECT_EQ(readItem(dir.path() + "/BP", "MISSING").status, 12);
    EXPECT_EQ(readItem(dir.path() + "/BP", "SUBDIR").status, 12);  // not a regular file
    EXPECT_EQ(readItem(dir.path() + "/BP", "").status, 12);
    dir.write("BP/LOCKED", "secret");
    chmod((dir.path() + "/BP/LOCKED").c_str(), 0);
    if (geteuid() != 0) {  // root reads it anyway
        EXPECT_EQ(readItem(dir.path() + "/BP", "LOCKED").status, 13);
    }
    EXPECT_EQ(DbioClose(quolt_getdp(), nullptr, 0), 0);
}

TEST(HostItems, DatabaseFileNameUsedAsGiven) {
    TempDir dir;
    mkdir((dir.path() + "/DICT BP").c_str(), 0755);
    dir.write("DICT BP/ITEM", "X = 1\n");
    EXPECT_EQ(readItem(dir.path() + "/DICT BP", "ITEM").bytes, "X = 1\xFE");
    EXPECT_EQ(readItem(dir.path() + "/dict bp", "ITEM").status, 11);
}

TEST(HostMangle, MethodsDestructorsAndTruncation) {
    char buffer[QUOLT_MANGLE_BUFFER_SIZE];
    qobj_mangle(buffer, "CLS", "INIT", 'V');
    EXPECT_STREQ(buffer, "qObj3CLSM4INIT_V");
    qobj_mangle(buffer, "CLS", "~CLS", 'V');
    EXPECT_STREQ(buffer, "qObj3CLSD3CLS_V");
    qobj_mangle(buffer, "ACCOUNTS", "GET.BALANCE", 'V');
    EXPECT_STREQ(buffer, "qObj8ACCOUNTSM11GET.BALANCE_V");

    std::string longName(9000, 'N');
    std::memset(buffer, 'z', sizeof buffer);
    qobj_mangle(buffer, "C", longName.c_str(), 'V');
    EXPECT_EQ(std::strlen(buffer), sizeof buffer - 1);
    EXPECT_EQ(std::string(buffer, 12), "qObj1CM9000N");
}
