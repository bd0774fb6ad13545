// Writing a file whole or not at all.
#include "output/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "output/process_id.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace bprep2 {

namespace {

// Names taken by files left behind, or by another run writing the same
// target at the same moment, are passed over; this many are tried.
constexpr int namesToTry = 100;

// True when `name` exists and is something other than a regular file.
bool isOtherThanRegularFile(const std::string& name) {
#ifdef _WIN32
    struct _stat64 status;
    if (_stat64(name.c_str(), &status) != 0) return false;
    return (status.st_mode & _S_IFMT) != _S_IFREG;
#else
    struct stat status;
    if (lstat(name.c_str(), &status) != 0) return false;
    return !S_ISREG(status.st_mode);
#endif
}

bool renameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errno = EACCES;
    return false;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// Closes `file` after checking that every write reached it.
bool closeChecked(std::FILE* file) {
    bool written = std::fflush(file) == 0 && !std::ferror(file);
    int savedError = errno;
    bool closed = std::fclose(file) == 0;
    if (!written) errno = savedError;
    return written && closed;
}

}  // namespace

FileReplacement::FileReplacement(std::string target) : target_(std::move(target)) {}

FileReplacement::~FileReplacement() { discard(); }

bool FileReplacement::open() {
    if (isOtherThanRegularFile(target_)) {
        file_ = std::fopen(target_.c_str(), "wb");
        return file_ != nullptr;
    }
    const std::string prefix = target_ + ".bprep2-" + std::to_string(processId()) + "-";
    for (int n = 0; n < namesToTry; ++n) {
        std::string name = prefix + std::to_string(n) + ".tmp";
        file_ = createNewFile(name);
        if (file_) {
            temporary_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool FileReplacement::commit() {
    if (!file_) return false;
    std::FILE* file = file_;
    file_ = nullptr;
    bool done = closeChecked(file) && (temporary_.empty() || renameOver(temporary_, target_));
    if (done) temporary_.clear();
    else discard();
    return done;
}

void FileReplacement::discard() {
    int savedError = errno;
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
    errno = savedError;
}

std::FILE* createNewFile(const std::string& name) {
#ifdef _WIN32
    int fd = _open(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
#else
    constexpr mode_t readableAndWritable = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
    int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, readableAndWritable);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) ::close(fd);
#endif
    return file;
}

bool replaceFile(const std::string& target, std::string_view contents) {
    FileReplacement replacement(target);
    if (!replacement.open()) return false;
    if (!contents.empty()) std::fwrite(contents.data(), 1, contents.size(), replacement.file());
    return replacement.commit();
}

}  // namespace bprep2
