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

#include "driver/driver_test_support.h"
#include "host/quolt_host.h"

namespace {

uint32_t parse(uint32_t word, const std::string& text) {
    return QUOLTCtoolsParseCompileOptions(&word, text.data(), static_cast<uint32_t>(text.size()), 0);
}

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
    ItemRead r{DbioQuickOpenRead(quolt_getdp(), &handle, file.c_str(), item.c_str(), &buffer, &size), "", false};
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

std::string makeDir() {
    char pattern[] = "/tmp/bprep2_host_XXXXXX";
    std::string dir = mkdtemp(pattern);
    std::filesystem::create_directory(dir + "/BP");
    std::filesystem::create_directory(dir + "/BP/SUBDIR");
    return dir;
}

void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace

TEST(HostOptions, WordsSeparatorsCaseNegationAndUnknownWords) {
    EXPECT_EQ(parse(0x1180, "tokens:stats"), 0x1186u);
    EXPECT_EQ(parse(0, " case,\tNOWARNINGS , vizla "), 0x1050u);
    EXPECT_EQ(parse(0xFFFF, "NoArrow::,,noVIZLA"), 0xFFFFu & ~0x1040u);
    uint32_t word = 0;
    EXPECT_EQ(QUOLTCtoolsParseCompileOptions(&word, "casetrace", 4, 0), 0x10u);  // first 4 bytes only
    EXPECT_EQ(word, 0u);  // the caller's word is never changed

    testing::internal::CaptureStderr();
    EXPECT_EQ(parse(0x80, "Bogus:no:nocasex"), 0x80u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Warning Unknown option word 'Bogus' ignored\n"
              "bprep2: Warning Unknown option word 'no' ignored\n"
              "bprep2: Warning Unknown option word 'nocasex' ignored\n");
}

TEST(HostOptions, DefaultWordAndEnvironment) {
    {
        bprep2_test::ScopedEnv unset("BASC_BPREP2", nullptr);
        EXPECT_EQ(QLibAGetCompilerOptions(quolt_getdp(), "prog.b"), 0x1180u);
    }
    bprep2_test::ScopedEnv env("BASC_BPREP2", "tokens:stats nowarnings");
    EXPECT_EQ(QLibAGetCompilerOptions(quolt_getdp(), "prog.b"), 0x1106u);
}

// Line ends become attribute marks; the caller's buffer takes up to 4096
// bytes, a larger item comes in a block of the library's own.
TEST(HostItems, LineEndsAndBuffers) {
    std::string dir = makeDir();
    write(dir + "/BP/MIXED", std::string("A\r\nB\nC\rD\r\r\n\nE\0\x80", 15));
    write(dir + "/BP/FITS", std::string(4095, 'x') + "\n");
    write(dir + "/BP/LARGE", std::string(4096, 'y') + "\r\n");
    ItemRead mixed = readItem(dir + "/BP", "MIXED"), fits = readItem(dir + "/BP", "FITS"),
             large = readItem(dir + "/BP", "LARGE");
    EXPECT_EQ(mixed.status, 0);
    EXPECT_EQ(mixed.bytes, std::string("A\xFE" "B\xFE" "C\xFE" "D\xFE\xFE\xFE" "E\0\x80", 13));
    EXPECT_EQ(fits.bytes, std::string(4095, 'x') + "\xFE");
    EXPECT_TRUE(fits.inCallerBuffer);
    EXPECT_EQ(large.bytes, std::string(4096, 'y') + "\xFE");
    EXPECT_FALSE(large.inCallerBuffer);
    std::filesystem::remove_all(dir);
}

TEST(HostItems, FailureCodes) {
    std::string dir = makeDir();
    write(dir + "/PLAIN", "x");
    EXPECT_NE(quolt_getdpEX(0, 0, 5, 0), nullptr);
    EXPECT_EQ(readItem(dir + "/NOFILE", "X").status, 11);
    EXPECT_EQ(readItem(dir + "/PLAIN", "X").status, 11);  // not a directory
    EXPECT_EQ(readItem(dir + "/bp", "SUBDIR").status, 11);  // the name is used as given
    EXPECT_EQ(readItem(dir + "/BP", "MISSING").status, 12);
    EXPECT_EQ(readItem(dir + "/BP", "SUBDIR").status, 12);  // not a regular file
    // A name that cannot be looked at is an item that cannot be read.
    std::filesystem::create_symlink(dir + "/BP/LOOP", dir + "/BP/LOOP");
    EXPECT_EQ(readItem(dir + "/BP", "LOOP").status, 13);
    write(dir + "/BP/LOCKED", "secret");
    chmod((dir + "/BP/LOCKED").c_str(), 0);
    std::filesystem::create_directories(dir + "/SHUT");
    write(dir + "/SHUT/X", "secret");
    chmod((dir + "/SHUT").c_str(), 0);
    if (geteuid() != 0) {  // root reads them anyway
        EXPECT_EQ(readItem(dir + "/BP", "LOCKED").status, 13);
        EXPECT_EQ(readItem(dir + "/SHUT", "X").status, 13);
    }
    chmod((dir + "/SHUT").c_str(), 0700);
    std::filesystem::remove_all(dir);
}

TEST(HostMangle, MethodsDestructorsAndTruncation) {
    char buffer[QUOLT_MANGLE_BUFFER_SIZE];
    qobj_mangle(buffer, "CLS", "INIT", 'V');
    EXPECT_STREQ(buffer, "qObj3CLSM4INIT_V");
    qobj_mangle(buffer, "CLS", "~CLS", 'V');
    EXPECT_STREQ(buffer, "qObj3CLSD3CLS_V");
    std::string longName(9000, 'N');
    std::memset(buffer, 'z', sizeof buffer);
    qobj_mangle(buffer, "C", longName.c_str(), 'V');
    EXPECT_EQ(std::strlen(buffer), sizeof buffer - 1);
    EXPECT_EQ(std::string(buffer, 12), "qObj1CM9000N");
}
