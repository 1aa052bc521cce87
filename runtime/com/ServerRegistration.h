#pragma once

// Writing and removing the registry entries of an in-process server library:
// a table of keys and string values under one root, where the value
// kModulePath stands for the library's full path. Header only, for the
// server libraries on top of the runtime.

#include "runtime/registry/CRegKey.h"

#include <cstring>
#include <span>
#include <string>

namespace zrv::com {

// Stands for the library's path in an entry's value.
inline constexpr char kModulePath[] = "%MODULE%";

// One string value under the root; a null valueName is the default value. A
// null value makes the key only.
struct RegEntry {
    const char* key;
    const char* valueName;
    const char* value;
};

// HRESULT_FROM_WIN32.
constexpr HRESULT HResultFromWin32(LONG error)
{
    return error <= 0 ? error
                      : static_cast<HRESULT>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

// Writes one entry with KEY_WRITE access; ERROR_SUCCESS or the failing code.
inline LONG WriteRegEntry(HKEY root, const RegEntry& entry, const std::string& modulePath)
{
    reg::CRegKey key;
    const LONG error = key.create(root, entry.key, KEY_WRITE);
    if (error != ERROR_SUCCESS || !entry.value)
        return error;
    const std::string value =
        std::strcmp(entry.value, kModulePath) == 0 ? modulePath : std::string(entry.value);
    return RegSetValueExA(key.get(), entry.valueName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

// Deletes each key of `replaced` with everything below it (a missing one is
// fine), then writes the entries in order. Stops at the first failure.
inline HRESULT WriteRegEntries(HKEY root, std::span<const char* const> replaced,
                               std::span<const RegEntry> entries, const std::string& modulePath)
{
    for (const char* key : replaced) {
        const LONG removed = RegDeleteTreeA(root, key);
        if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND)
            return HResultFromWin32(removed);
    }
    for (const RegEntry& entry : entries) {
        const LONG error = WriteRegEntry(root, entry, modulePath);
        if (error != ERROR_SUCCESS)
            return HResultFromWin32(error);
    }
    return S_OK;
}

// Deletes each key with everything below it; failures are ignored.
inline void DeleteRegTrees(HKEY root, std::span<const char* const> keys)
{
    for (const char* key : keys)
        RegDeleteTreeA(root, key);
}

} // namespace zrv::com
