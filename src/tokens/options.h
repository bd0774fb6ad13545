// The option word: what the option words (BASC_BPREP2, #option lines),
// UVCASE and the restart with objects on ask of a run. The bits are the
// host library's, which reads the words into them.
#pragma once

#include <cstdint>

namespace bprep2 {

constexpr uint32_t optEchoCommand = 0x1;
constexpr uint32_t optStats = 0x2;
constexpr uint32_t optTokenDump = 0x4;
constexpr uint32_t optKeywordDump = 0x8;
constexpr uint32_t optCaseSensitive = 0x10;
constexpr uint32_t optTrace = 0x20;
constexpr uint32_t optObjects = 0x40;
constexpr uint32_t optWarnings = 0x80;
constexpr uint32_t optObjectRestart = 0x100;
constexpr uint32_t optSelf = 0x200;
constexpr uint32_t optStopStatements = 0x400;
constexpr uint32_t optDotMember = 0x800;
constexpr uint32_t optArrowMember = 0x1000;
constexpr uint32_t optUvCase = 0x2000;

struct Options {
    uint32_t word = 0;

    void turnOn(uint32_t bits) { word |= bits; }
    void turnOff(uint32_t bits) { word &= ~bits; }

    bool echoCommand() const { return has(optEchoCommand); }
    bool stats() const { return has(optStats); }
    bool tokenDump() const { return has(optTokenDump); }
    bool keywordDump() const { return has(optKeywordDump); }
    bool caseSensitive() const { return has(optCaseSensitive); }
    bool trace() const { return has(optTrace); }
    bool objects() const { return has(optObjects); }
    bool warnings() const { return has(optWarnings); }
    bool objectRestart() const { return has(optObjectRestart); }
    bool self() const { return has(optSelf); }
    bool stopStatements() const { return has(optStopStatements); }
    bool dotMember() const { return has(optDotMember); }
    bool arrowMember() const { return has(optArrowMember); }
    bool uvCase() const { return has(optUvCase); }

   private:
    bool has(uint32_t bit) const { return (word & bit) != 0; }
};

}  // namespace bprep2
