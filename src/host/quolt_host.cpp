#include "host/quolt_host.h"

extern "C" {
void* quolt_getdp(void) { return nullptr; }
void* quolt_getdpEX(int, int, int, int) { return nullptr; }
uint32_t QLibAGetCompilerOptions(void*, const char*) { return 0x1180; }
const QuoltOptionEntry* QUOLTCtoolsGetCompilerOptionsTable(void) {
    static const QuoltOptionEntry end[] = {{nullptr, nullptr, 0}};
    return end;
}
uint32_t QUOLTCtoolsParseCompileOptions(const uint32_t* word, const char*, uint32_t, int) { return *word; }
int DbioQuickOpenRead(void*, void**, const char*, const char*, char**, uint32_t*) { return 11; }
int DbioClose(void*, void*, int) { return 0; }
void qobj_mangle(char* buffer, const char*, const char*, int) { buffer[0] = 0; }
}
