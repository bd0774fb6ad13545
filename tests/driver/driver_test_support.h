// Helpers for the driver tests: argument vectors and environment variables
// that are put back when the test ends.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace bprep2_test {

// An argv built from strings; entries may be replaced by raw pointers.
class Args {
   public:
    Args(std::initializer_list<std::string> words) : words_(words) {
        for (std::string& w : words_) pointers_.push_back(w.data());
        pointers_.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words_.size()); }
    char** argv() { return pointers_.data(); }
    void setRaw(size_t index, void* p) { pointers_[index] = static_cast<char*>(p); }

   private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

class ScopedEnv {
   public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (saved_) setenv(name_.c_str(), saved_->c_str(), 1);
        else unsetenv(name_.c_str());
    }

   private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace bprep2_test
