#pragma once

#include <cstdint>

namespace zrv::reg {

// Now as a file time: 100-nanosecond intervals since 1 January 1601 UTC.
uint64_t FileTimeNow();

} // namespace zrv::reg
