// The host library stand-in: method-name mangling.
//
// Class and method names are length-prefixed, so distinct methods always get
// distinct names; a destructor "~name" gets its own letter. The result is
// NUL-terminated and cut to fit the caller's buffer.
#include <cstdio>
#include <cstring>

#include "host/quolt_host.h"

namespace {

// Writes into the caller's buffer, dropping what does not fit; takes no
// memory of its own, so it cannot fail.
class MangledName {
   public:
    explicit MangledName(char* buffer) : buffer_(buffer) { buffer_[0] = '\0'; }
    void append(const char* text) {
        for (; *text && length_ < mostLength; ++text) buffer_[length_++] = *text;
        buffer_[length_] = '\0';
    }
    void append(char c) {
        const char text[] = {c, '\0'};
        append(text);
    }
    void appendCounted(const char* name) {
        char count[24];
        std::snprintf(count, sizeof count, "%zu", std::strlen(name));
        append(count);
        append(name);
    }

   private:
    static constexpr size_t mostLength = QUOLT_MANGLE_BUFFER_SIZE - 1;
    char* buffer_;
    size_t length_ = 0;
};

}  // namespace

extern "C" {

void qobj_mangle(char* buffer, const char* className, const char* methodName, int kind) {
    if (!buffer) return;
    if (!className) className = "";
    if (!methodName) methodName = "";
    MangledName name(buffer);
    name.append("qObj");
    name.appendCounted(className);
    if (methodName[0] == '~') {
        name.append('D');
        name.appendCounted(methodName + 1);
    } else {
        name.append('M');
        name.appendCounted(methodName);
    }
    name.append('_');
    name.append(static_cast<char>(kind));
}

}  // extern "C"
