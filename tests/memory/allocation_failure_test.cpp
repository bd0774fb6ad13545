// Runs under memory that runs out: the Nth allocation of a run fails, for
// N = 1, 2, ... until a run needs no more than it is given. Every run must
// either succeed with the whole text, or return a status with an error on
// standard error and hand over no text; and nothing it took may be left
// held when it returns.
//
// This program replaces the allocator for itself alone. In a plain build
// the C library's malloc family is replaced, which operator new uses too,
// so the program text's buffer and the host's item blocks fail as well; in
// a sanitizer build, whose runtime owns malloc, operator new and delete are
// replaced and LeakSanitizer checks the rest when the process ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "bprep2.h"

#if defined(__SANITIZE_ADDRESS__)
#define BPREP2_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BPREP2_SANITIZED 1
#endif
#endif

namespace {

// The allocations of a run: counted, and the one numbered failAt refused.
// Counting is on only while a run is made, so the test's own allocations
// are neither counted nor refused.
struct AllocationCounter {
    std::atomic<bool> armed{false};
    uint64_t made = 0;
    uint64_t failAt = 0;  // 0: none fails
    bool failed = false;
    int64_t live = 0;

    // False when this allocation is to fail.
    bool allow() {
        if (!armed) return true;
        ++made;
        if (made != failAt) return true;
        failed = true;
        return false;
    }
    void gained() {
        if (armed) ++live;
    }
    void lost() {
        if (armed) --live;
    }
};

AllocationCounter counter;

}  // namespace

#ifdef BPREP2_SANITIZED

void* operator new(size_t size) {
    void* p = counter.allow() ? std::malloc(size ? size : 1) : nullptr;
    if (!p) throw std::bad_alloc();
    counter.gained();
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
    if (!p) return;
    counter.lost();
    std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

#else

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);

void* malloc(size_t size) {
    if (!counter.allow()) return nullptr;
    void* p = __libc_malloc(size);
    if (p) counter.gained();
    return p;
}
void* calloc(size_t count, size_t size) {
    if (!counter.allow()) return nullptr;
    void* p = __libc_calloc(count, size);
    if (p) counter.gained();
    return p;
}
void* realloc(void* old, size_t size) {
    if (!counter.allow()) return nullptr;
    void* p = __libc_realloc(old, size);
    if (p && !old) counter.gained();
    if (!p && old && size == 0) counter.lost();
    return p;
}
void free(void* p) {
    if (p) counter.lost();
    __libc_free(p);
}
void* memalign(size_t alignment, size_t size) {
    if (!counter.allow()) return nullptr;
    void* p = __libc_memalign(alignment, size);
    if (p) counter.gained();
    return p;
}
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
}  // extern "C"

#endif

namespace {

namespace fs = std::filesystem;

// What one run gave its caller.
struct Outcome {
    int status = -1;
    bool delivered = false;
    std::string text, err;
};

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class AllocationFailure : public testing::Test {
   protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bprep2-memory-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(dir_);
        write("prog.b",
              "EQUATE LIMIT TO 10\n"
              "#define DEBUG 1\n"
              "INCLUDE common.b\n"
              "$INCLUDE BP SUB\n"
              "#ifdef DEBUG\n"
              "FOR I = 1 TO LIMIT; CRT X(I), FMT(Y, \"R#5\"); NEXT I\n"
              "#endif\n"
              "OBJ = NEW OBJECT(\"Thing\")\n"
              "TRY\n  OBJ->Run(1, 2)\nCATCH E\n  CRT E->Message\nEND TRY\n");
        write("common.b", "DIM X(10)\nCOMMON Y\n");
        write("BP/SUB", "Z = 'item'\r\nCRT Z\n");
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    void write(const std::string& name, const std::string& bytes) {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    // One in-process run of prog.b with allocation `failAt` refused. Its
    // standard error goes to a file, so that catching it takes no memory
    // while the run is counted.
    Outcome run(uint64_t failAt) {
        Outcome r;
        char* text = nullptr;
        uint32_t length = 0, statusSlot = 0;
        std::string prog = "caller", m = "-m", line = "bprep2 -I . prog.b";
        char* argv[] = {prog.data(), m.data(), reinterpret_cast<char*>(&text), reinterpret_cast<char*>(&length),
                        reinterpret_cast<char*>(&statusSlot), line.data(), nullptr};
        const fs::path errFile = dir_ / "stderr.txt";
        std::fflush(stderr);
        int savedErr = dup(2);
        int errFd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(errFd, 2);
        close(errFd);

        counter.made = 0;
        counter.failAt = failAt;
        counter.failed = false;
        counter.live = 0;
        counter.armed = true;
        r.status = bprep2_run(6, argv);
        counter.armed = false;

        std::fflush(stderr);
        dup2(savedErr, 2);
        close(savedErr);
        r.err = contentsOf(errFile);
        r.delivered = text != nullptr;
        if (text) {
            r.text.assign(text, length);
            // The text handed over is the caller's to release; releasing it
            // counts to the run.
            counter.armed = true;
            std::free(text);
            counter.armed = false;
        }
        return r;
    }

    fs::path dir_, previous_;
};

// The most allocations a run of the project is allowed before the test
// takes it for a run that never ends.
constexpr uint64_t mostAllocations = 200000;

TEST_F(AllocationFailure, EveryRunEndsCleanlyWhereverMemoryRunsOut) {
    // A first run sets up what the library keeps for the process (its
    // tables), which is not a run's to release.
    Outcome whole = run(0);
    ASSERT_EQ(whole.status, 0) << whole.err;
    ASSERT_NE(whole.text.find("CRT Z"), std::string::npos);
    Outcome again = run(0);
    ASSERT_EQ(again.text, whole.text);
    EXPECT_EQ(counter.live, 0) << "a whole run leaves nothing held";

    uint64_t failAt = 1;
    int outOfMemory = 0;
    for (; failAt < mostAllocations; ++failAt) {
        Outcome r = run(failAt);
        if (!counter.failed) break;  // the run needed fewer allocations
        EXPECT_EQ(counter.live, 0) << "allocation " << failAt << " refused: blocks left held";
        if (r.status == 0) {
            // A failure the C library copes with (a stream left unbuffered)
            // changes nothing the caller sees.
            EXPECT_EQ(r.text, whole.text) << "allocation " << failAt;
            EXPECT_EQ(r.err, whole.err) << "allocation " << failAt;
        } else {
            EXPECT_FALSE(r.delivered) << "allocation " << failAt;
            EXPECT_NE(r.err.find("bprep2: Error "), std::string::npos) << "allocation " << failAt << ": " << r.err;
        }
        if (r.err.find("Not enough memory") != std::string::npos) {
            ++outOfMemory;
            EXPECT_EQ(r.status, 2) << "allocation " << failAt;
        }
        if (HasFailure()) break;
    }
    EXPECT_LT(failAt, mostAllocations);
    EXPECT_GT(failAt, 100u) << "the project exercises the run";
    EXPECT_GT(outOfMemory, 0);
}

}  // namespace
