// Writing a file so that it is either whole or as it was: a reader never
// finds it cut off, whatever went wrong while it was written.
//
// The text goes to a new file beside the target (same directory, so the
// rename cannot cross file systems), created exclusively so that it is
// never a file or link someone else made. Once every byte is written and
// the file closed without error, the new file is renamed over the target;
// on any failure it is removed and the target is untouched.
//
// A target that exists and is not a regular file (a device, a pipe, a
// symbolic link) is written in place instead, since renaming over it would
// replace the device or the link rather than write to what it names; its
// writes are checked all the same.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace bprep2 {

class FileReplacement {
   public:
    explicit FileReplacement(std::string target);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    // Removes the new file unless commit() succeeded.
    ~FileReplacement();

    // Opens the file to write; false (errno set) when it cannot be.
    bool open();
    // The open file, for the caller's writes.
    std::FILE* file() const { return file_; }
    // Checks every write, closes the file and puts it in the target's
    // place. False (errno set) when any of that failed; the new file is
    // removed then.
    bool commit();
    const std::string& target() const { return target_; }

   private:
    void discard();

    std::string target_;
    std::string temporary_;  // empty when the target is written in place
    std::FILE* file_ = nullptr;
};

// Writes `contents` as the whole of the file `target` through a
// FileReplacement. False (errno set) when it could not.
bool replaceFile(const std::string& target, std::string_view contents);

// Creates the file `name` for writing, only when nothing of that name
// exists (a symbolic link is never followed); null (errno set) otherwise.
std::FILE* createNewFile(const std::string& name);

}  // namespace bprep2
