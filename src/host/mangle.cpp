// The host library stand-in: method-name mangling.
//
// Class and method names are length-prefixed, so distinct methods always get
// distinct names; a destructor "~name" gets its own letter. The result is
// NUL-terminated and cut to fit the caller's buffer.
#include <cstring>
#include <string>

#include "host/quolt_host.h"

namespace {

void appendCounted(std::string& out, const char* name) {
    out += std::to_string(std::strlen(name));
    out += name;
}

}  // namespace

extern "C" {

void qobj_mangle(char* buffer, const char* className, const char* methodName, int kind) {
    if (!buffer) return;
    if (!className) className = "";
    if (!methodName) methodName = "";
    std::string name = "qObj";
    appendCounted(name, className);
    if (methodName[0] == '~') {
        name += 'D';
        appendCounted(name, methodName + 1);
    } else {
        name += 'M';
        appendCounted(name, methodName);
    }
    name += '_';
    name += static_cast<char>(kind);
    size_t length = name.size() < QUOLT_MANGLE_BUFFER_SIZE ? name.size() : QUOLT_MANGLE_BUFFER_SIZE - 1;
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
}

}  // extern "C"
