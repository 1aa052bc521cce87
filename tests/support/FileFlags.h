#pragma once

#include <string>

namespace zrv::test {

// Sets or clears a file's immutable flag; false when the file system or the
// process's privileges refuse it.
bool SetImmutable(const std::string& path, bool on);

} // namespace zrv::test
