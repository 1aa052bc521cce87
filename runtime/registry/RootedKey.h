#pragma once

#include "runtime/registry/WinReg.h"

#include <string>
#include <string_view>

namespace zrv::reg {

// A key path that starts with its root, as people and registry files write
// it: "HKCU\Software\Zorva" or "HKEY_CURRENT_USER\Software\Zorva".
struct RootedKey {
    HKEY root = 0;
    std::string rootName; // the long name: HKEY_CURRENT_USER
    std::string subKey;   // below the root, without leading or trailing backslashes
    std::string FullPath() const { return subKey.empty() ? rootName : rootName + "\\" + subKey; }
};

// False when text does not start with a known root (long or short name, any case).
bool ParseRootedKey(std::string_view text, RootedKey& key);

} // namespace zrv::reg
