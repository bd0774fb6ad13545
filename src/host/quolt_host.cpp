// The host library stand-in: process handles and the compiler option word.
//
// The option word starts from a fixed default and is changed only by option
// words (from BASC_BPREP2 and from #option lines), all parsed by the one
// routine below so that both sources behave alike. The parser never touches
// the caller's word: it returns the new one.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/quolt_host.h"

namespace {

// The stand-in keeps no mutable process state; the handle only has to be a
// stable, non-null address.
struct QuoltProcess {
    uint32_t tag;
};
constexpr QuoltProcess kProcess = {0x51554f4c};

constexpr uint32_t kDefaultWord = 0x1180;  // warnings, restart, arrow

// The third word of each entry holds the bits the option word stands for.
constexpr QuoltOptionEntry kOptions[] = {
    {"echo", "Echo the command line on standard error", 0x1},
    {"stats", "Print the statistics line at the end of the run", 0x2},
    {"tokens", "Dump the token list and the name tables at the end of the run", 0x4},
    {"keywords", "Dump the keyword table at the end of the run", 0x8},
    {"case", "Names and keywords are case sensitive", 0x10},
    {"trace", "Write the trace file bprep2_trace_<pid>.txt", 0x20},
    {"objects", "Recognise the object-oriented extensions", 0x40},
    {"warnings", "Report warnings", 0x80},
    {"restart", "Restart with objects on when object syntax is met", 0x100},
    {"self", "Name the current object SELF instead of THIS", 0x200},
    {"stop", "Treat STOPE and STOPM as statements", 0x400},
    {"dot", "Use . as the object member operator", 0x800},
    {"arrow", "Use -> as the object member operator", 0x1000},
    {"uvcase", "Keep the case of names as written", 0x2000},
    {"vizla", "The object dialect: objects and arrow together", 0x40 | 0x1000},
    {nullptr, nullptr, 0},
};

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ':' || c == ','; }

bool sameLetters(const char* a, size_t length, const char* word) {
    if (std::strlen(word) != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(word[i]))
            return false;
    return true;
}

const QuoltOptionEntry* findOption(const char* word, size_t length) {
    for (const QuoltOptionEntry* e = kOptions; e->word; ++e)
        if (sameLetters(word, length, e->word)) return e;
    return nullptr;
}

void warnUnknownWord(const char* word, size_t length) {
    std::fputs("bprep2: Warning Unknown option word '", stderr);
    std::fwrite(word, 1, length, stderr);
    std::fputs("' ignored\n", stderr);
    std::fflush(stderr);
}

uint32_t applyWord(uint32_t current, const char* word, size_t length) {
    if (const QuoltOptionEntry* e = findOption(word, length))
        return current | static_cast<uint32_t>(e->unused);
    bool negated = length > 2 && std::tolower(static_cast<unsigned char>(word[0])) == 'n' &&
                   std::tolower(static_cast<unsigned char>(word[1])) == 'o';
    if (negated)
        if (const QuoltOptionEntry* e = findOption(word + 2, length - 2))
            return current & ~static_cast<uint32_t>(e->unused);
    warnUnknownWord(word, length);
    return current;
}

}  // namespace

extern "C" {

void* quolt_getdp(void) { return const_cast<QuoltProcess*>(&kProcess); }

void* quolt_getdpEX(int, int, int, int) { return const_cast<QuoltProcess*>(&kProcess); }

uint32_t QLibAGetCompilerOptions(void*, const char*) {
    uint32_t word = kDefaultWord;
    const char* fromEnvironment = std::getenv("BASC_BPREP2");
    if (fromEnvironment)
        word = QUOLTCtoolsParseCompileOptions(&word, fromEnvironment,
                                              static_cast<uint32_t>(std::strlen(fromEnvironment)), 0);
    return word;
}

const QuoltOptionEntry* QUOLTCtoolsGetCompilerOptionsTable(void) { return kOptions; }

uint32_t QUOLTCtoolsParseCompileOptions(const uint32_t* word, const char* text, uint32_t length, int) {
    uint32_t result = word ? *word : 0;
    if (!text) return result;
    size_t pos = 0;
    while (pos < length) {
        while (pos < length && isSeparator(text[pos])) ++pos;
        size_t start = pos;
        while (pos < length && !isSeparator(text[pos])) ++pos;
        if (pos > start) result = applyWord(result, text + start, pos - start);
    }
    return result;
}

}  // extern "C"
