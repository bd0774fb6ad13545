// The host library stand-in: database items read from directories.
//
// A database file is a directory and an item a regular file in it. Every
// line end of the file (CR LF, LF or a lone CR) reaches the caller as one
// attribute mark, so an item reads line for line like the file it came from.
// The caller's buffer is used when the item fits; otherwise the item comes in
// a malloc block the caller frees.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "host/quolt_host.h"

namespace {

enum : int { kOk = 0, kNoFile = 11, kNoItem = 12, kUnreadable = 13 };

constexpr char kAttributeMark = static_cast<char>(0xFE);

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// What DbioClose releases: the stand-in holds no open file between calls,
// only this record of the read.
struct QuoltItem {
    uint32_t tag;
};

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// What a database directory holds under an item's name. A name that cannot
// be looked at (a directory the user may not search, a loop of links) is
// an item that cannot be read, not one that is missing.
enum class ItemFile { Regular, Missing, Unreadable };

ItemFile itemFileAt(const std::string& path) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return ItemFile::Missing;
    if (ec) return ItemFile::Unreadable;
    return status.type() == std::filesystem::file_type::regular ? ItemFile::Regular : ItemFile::Missing;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool readWhole(const std::string& path, std::string& bytes) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, n);
    return !std::ferror(file.get());
}

std::string withAttributeMarks(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\r') {
            if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
            out.push_back(kAttributeMark);
        } else if (c == '\n') {
            out.push_back(kAttributeMark);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Copies the item into the caller's buffer when it fits, else into a new
// malloc block. False when the block cannot be had.
bool deliver(const std::string& item, char** buffer, uint32_t* size) {
    if (*buffer && item.size() <= *size) {
        std::memcpy(*buffer, item.data(), item.size());
    } else {
        char* block = static_cast<char*>(std::malloc(item.size() ? item.size() : 1));
        if (!block) return false;
        std::memcpy(block, item.data(), item.size());
        *buffer = block;
    }
    *size = static_cast<uint32_t>(item.size());
    return true;
}

int readItem(void** itemHandle, const char* databaseFile, const char* itemName, char** buffer, uint32_t* size) {
    if (itemHandle) *itemHandle = nullptr;
    if (!databaseFile || !itemName || !buffer || !size) return kNoFile;
    std::string directory = databaseFile;
    if (directory.empty() || !isDirectory(directory)) return kNoFile;
    std::string path = directory + kSeparator + itemName;
    switch (itemFileAt(path)) {
        case ItemFile::Regular: break;
        case ItemFile::Missing: return kNoItem;
        case ItemFile::Unreadable: return kUnreadable;
    }
    std::string raw;
    if (!readWhole(path, raw)) return kUnreadable;
    std::string item = withAttributeMarks(raw);
    if (item.size() > UINT32_MAX) return kUnreadable;
    std::unique_ptr<QuoltItem> handle(itemHandle ? new QuoltItem{0x4954454d} : nullptr);
    if (!deliver(item, buffer, size)) return kUnreadable;
    if (itemHandle) *itemHandle = handle.release();
    return kOk;
}

}  // namespace

extern "C" {

// A C caller cannot be handed an exception: an item that cannot be held in
// memory is one that cannot be read.
int DbioQuickOpenRead(void*, void** itemHandle, const char* databaseFile, const char* itemName,
                      char** buffer, uint32_t* size) {
    try {
        return readItem(itemHandle, databaseFile, itemName, buffer, size);
    } catch (const std::bad_alloc&) {
        return kUnreadable;
    } catch (const std::length_error&) {
        return kUnreadable;
    }
}

int DbioClose(void*, void* itemHandle, int) {
    delete static_cast<QuoltItem*>(itemHandle);
    return 0;
}

}  // extern "C"
