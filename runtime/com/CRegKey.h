#pragma once

// Registry keys and string values of the runtime's own use.

#include "runtime/registry/CRegKey.h"

#include <optional>
#include <string>
#include <vector>

namespace zrv::com {

using reg::CRegKey;

// A string value of the key (null name: the default value); nullopt when
// missing or not a string.
std::optional<std::string> QueryRegString(HKEY key, const char* valueName = nullptr);
LONG SetRegString(HKEY key, const char* valueName, const std::string& value);
std::vector<std::string> RegSubKeyNames(HKEY key);

// The string value of root\path, or nullopt.
std::optional<std::string> ReadRegString(HKEY root, const std::string& path,
                                         const char* valueName = nullptr);
// Creates root\path and sets its value; ERROR_SUCCESS or the failing code.
LONG WriteRegString(HKEY root, const std::string& path, const char* valueName,
                    const std::string& value);

} // namespace zrv::com
