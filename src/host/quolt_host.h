/* The host library calls bprep2 uses. This project ships a stand-in with
 * the documented behaviour (database files are directories, items are the
 * files in them); the platform's own library can be linked in its place. */
#ifndef QUOLT_HOST_H
#define QUOLT_HOST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One entry of the options table; the table ends with a null word. */
typedef struct QuoltOptionEntry {
    const char* word;
    const char* description;
    uintptr_t unused;
} QuoltOptionEntry;

enum { QUOLT_ITEM_BUFFER_SIZE = 4096, QUOLT_MANGLE_BUFFER_SIZE = 8192 };

void* quolt_getdp(void);
void* quolt_getdpEX(int a, int b, int c, int d);
uint32_t QLibAGetCompilerOptions(void* handle, const char* inputName);
const QuoltOptionEntry* QUOLTCtoolsGetCompilerOptionsTable(void);
uint32_t QUOLTCtoolsParseCompileOptions(const uint32_t* word, const char* text, uint32_t length,
                                        int flag);
/* 0 success; 11 no such database file; 12 no such item; 13 unreadable.
 * buffer and size: in, the caller's buffer and its size; out, the item's
 * bytes and their count (a malloc block when the item does not fit). */
int DbioQuickOpenRead(void* handle, void** itemHandle, const char* databaseFile,
                      const char* itemName, char** buffer, uint32_t* size);
int DbioClose(void* handle, void* itemHandle, int flag);
void qobj_mangle(char* buffer, const char* className, const char* methodName, int kind);

#ifdef __cplusplus
}
#endif

#endif
