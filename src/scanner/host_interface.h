// The three host calls of the item read, reached through a table of
// function pointers so that tests can point them at fakes.
#pragma once

#include <cstdint>

#include "host/quolt_host.h"

namespace bprep2 {

struct ItemReadCalls {
    void* (*getdpEX)(int, int, int, int);
    int (*openRead)(void*, void**, const char*, const char*, char**, uint32_t*);
    int (*close)(void*, void*, int);
};

// Set at load to the host library's functions.
extern ItemReadCalls itemReadCalls;

}  // namespace bprep2
