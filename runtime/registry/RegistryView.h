#pragma once

#include "runtime/registry/CHive.h"
#include "runtime/registry/KeyHandle.h"

#include <string_view>
#include <vector>

// The registry's operations on open keys, over one hive or the merged view
// of two. Callers hold the registry lock. Results are the registry's codes.
namespace zrv::reg::view {

LONG Open(const KeyHandle& parent, const char* subKey, REGSAM sam, KeyHandle& key);
// Opens the key, creating it (and the keys above it) in the hive that takes
// writes when it does not exist.
LONG Create(const KeyHandle& parent, const char* subKey, std::string_view cls, REGSAM sam,
            KeyHandle& key, bool& created);
// Refuses a root and a key with subkeys (ERROR_ACCESS_DENIED).
LONG DeleteKey(const KeyHandle& key);
LONG DeleteTree(const KeyHandle& key, bool keepSelf);

LONG QueryValue(const KeyHandle& key, std::string_view name, RegValue& value);
LONG SetValue(const KeyHandle& key, std::string_view name, DWORD type, std::string_view data);
LONG DeleteValue(const KeyHandle& key, std::string_view name);
LONG Values(const KeyHandle& key, std::vector<RegValue>& values);
LONG SubKeys(const KeyHandle& key, std::vector<RegKeyEntry>& keys);
// The key's class text and last-write time.
LONG Info(const KeyHandle& key, RegKeyEntry& info);

} // namespace zrv::reg::view
