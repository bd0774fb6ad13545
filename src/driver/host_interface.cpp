#include "driver/host_interface.h"

namespace bprep2 {
ItemReadCalls itemReadCalls = {quolt_getdpEX, DbioQuickOpenRead, DbioClose};
}  // namespace bprep2
