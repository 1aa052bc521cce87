#pragma once

// Reading registry entries back through the Reg* functions.

#include "runtime/registry/WinReg.h"

#include <optional>
#include <string>

namespace zrv::test {

bool KeyExists(HKEY root, const std::string& key);
// The string value (null name: the default value); nothing when the key or
// value is missing or is no string.
std::optional<std::string> ReadString(HKEY root, const std::string& key, const char* name);
// Numbers of subkeys and values of a key; nothing when it is missing.
std::optional<std::pair<DWORD, DWORD>> KeyCounts(HKEY root, const std::string& key);
bool WriteString(HKEY root, const std::string& key, const char* name, const std::string& value);

} // namespace zrv::test
