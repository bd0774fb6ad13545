// The item read's three host calls, reached through writable pointers so
// that tests can stand fakes in for the host library. Set at load to the
// library's own functions.
#include "scanner/host_interface.h"

namespace bprep2 {
ItemReadCalls itemReadCalls = {quolt_getdpEX, DbioQuickOpenRead, DbioClose};
}  // namespace bprep2
