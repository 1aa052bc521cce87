// The Reg* functions: argument and buffer rules of the home platform over the
// registry's views. Every call holds the registry lock.

#include "runtime/registry/CKeyTable.h"
#include "runtime/registry/RegistryView.h"
#include "runtime/registry/WinReg.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

using namespace zrv::reg;

namespace {

using Lock = std::lock_guard<std::mutex>;

std::string_view NameOf(LPCSTR name)
{
    return name ? std::string_view(name) : std::string_view();
}

bool IsString(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

FILETIME ToFileTime(uint64_t ticks)
{
    return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// Copies data into a caller's buffer of *size bytes: ERROR_MORE_DATA with
// the size needed when it does not fit; only the size when there is no buffer.
LONG CopyData(const std::string& data, LPBYTE buffer, LPDWORD size)
{
    if (!size)
        return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const DWORD capacity = *size;
    *size = static_cast<DWORD>(data.size());
    if (!buffer)
        return ERROR_SUCCESS;
    if (capacity < data.size())
        return ERROR_MORE_DATA;
    std::memcpy(buffer, data.data(), data.size());
    return ERROR_SUCCESS;
}

// Copies a name into a buffer of *count characters, terminator included;
// on success *count is the name's length.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD count)
{
    if (!buffer || !count)
        return ERROR_INVALID_PARAMETER;
    if (*count < name.size() + 1) {
        *count = static_cast<DWORD>(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *count = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

void SetIf(LPDWORD target, size_t value)
{
    if (target)
        *target = static_cast<DWORD>(value);
}

// Runs body with the open key of handle, under the registry lock.
template <typename Body> LONG WithKey(HKEY handle, REGSAM needed, Body body)
{
    try {
        const Lock lock(CKeyTable::Instance().Lock());
        const KeyHandle* key = CKeyTable::Instance().Find(handle);
        if (!key)
            return ERROR_INVALID_HANDLE;
        if ((key->sam & needed) != needed)
            return ERROR_ACCESS_DENIED;
        return body(*key);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::exception&) {
        return ERROR_BADDB;
    }
}

// Copies the name of the entry at index of the list that fill makes, then
// hands the entry to rest; ERROR_NO_MORE_ITEMS past the list's end.
template <typename Entry, typename Fill, typename Rest>
LONG DeliverAt(DWORD index, Fill fill, LPSTR name, LPDWORD count, Rest rest)
{
    std::vector<Entry> entries;
    if (const LONG result = fill(entries); result != ERROR_SUCCESS)
        return result;
    if (index >= entries.size())
        return ERROR_NO_MORE_ITEMS;
    const Entry& entry = entries[index];
    if (const LONG result = CopyName(entry.name, name, count); result != ERROR_SUCCESS)
        return result;
    return rest(entry);
}

} // namespace

extern "C" {

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = 0;
    return WithKey(hKey, 0, [&](const KeyHandle& parent) {
        KeyHandle key;
        const LONG result = view::Open(parent, lpSubKey, samDesired, key);
        if (result == ERROR_SUCCESS)
            *phkResult = CKeyTable::Instance().Add(std::move(key));
        return result;
    });
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR lpClass, DWORD, REGSAM samDesired,
                     const SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult || !lpSubKey)
        return ERROR_INVALID_PARAMETER;
    *phkResult = 0;
    return WithKey(hKey, 0, [&](const KeyHandle& parent) {
        KeyHandle key;
        bool created = false;
        const LONG result =
            view::Create(parent, lpSubKey, NameOf(lpClass), samDesired, key, created);
        if (result != ERROR_SUCCESS)
            return result;
        *phkResult = CKeyTable::Instance().Add(std::move(key));
        if (lpdwDisposition)
            *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    const Lock lock(CKeyTable::Instance().Lock());
    return CKeyTable::Instance().Remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    return WithKey(hKey, 0, [&](const KeyHandle& parent) {
        KeyHandle key;
        const LONG result = view::Open(parent, lpSubKey, KEY_ALL_ACCESS, key);
        return result == ERROR_SUCCESS ? view::DeleteKey(key) : result;
    });
}

LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey)
{
    return WithKey(hKey, 0, [&](const KeyHandle& parent) {
        const bool keepSelf = !lpSubKey || !*lpSubKey;
        if (keepSelf && (parent.sam & (KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS)) == 0)
            return ERROR_ACCESS_DENIED;
        KeyHandle key;
        const LONG result = view::Open(parent, lpSubKey, KEY_ALL_ACCESS, key);
        return result == ERROR_SUCCESS ? view::DeleteTree(key, keepSelf) : result;
    });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData)
{
    return WithKey(hKey, KEY_QUERY_VALUE, [&](const KeyHandle& key) {
        RegValue value;
        const LONG result = view::QueryValue(key, NameOf(lpValueName), value);
        if (result != ERROR_SUCCESS)
            return result;
        if (lpType)
            *lpType = value.type;
        return CopyData(value.data, lpData, lpcbData);
    });
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData)
{
    if (!lpData && cbData != 0)
        return ERROR_INVALID_PARAMETER;
    if (dwType == REG_DWORD && cbData != sizeof(DWORD))
        return ERROR_INVALID_PARAMETER;
    std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    // Strings are kept with their terminator.
    if (IsString(dwType) && (data.empty() || data.back() != '\0'))
        data += '\0';
    return WithKey(hKey, KEY_SET_VALUE, [&](const KeyHandle& key) {
        return view::SetValue(key, NameOf(lpValueName), dwType, data);
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    return WithKey(hKey, KEY_SET_VALUE, [&](const KeyHandle& key) {
        return view::DeleteValue(key, NameOf(lpValueName));
    });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    return WithKey(hKey, KEY_QUERY_VALUE, [&](const KeyHandle& key) {
        const auto fill = [&](std::vector<RegValue>& values) { return view::Values(key, values); };
        const auto rest = [&](const RegValue& value) {
            if (lpType)
                *lpType = value.type;
            return CopyData(value.data, lpData, lpcbData);
        };
        return DeliverAt<RegValue>(dwIndex, fill, lpValueName, lpcchValueName, rest);
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD,
                   LPSTR lpClass, LPDWORD lpcchClass, FILETIME* lpftLastWriteTime)
{
    return WithKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](const KeyHandle& key) {
        const auto fill = [&](std::vector<RegKeyEntry>& keys) { return view::SubKeys(key, keys); };
        const auto rest = [&](const RegKeyEntry& entry) {
            if (lpftLastWriteTime)
                *lpftLastWriteTime = ToFileTime(entry.written);
            if (!lpClass)
                return ERROR_SUCCESS;
            return lpcchClass ? CopyName(entry.cls, lpClass, lpcchClass) : ERROR_INVALID_PARAMETER;
        };
        return DeliverAt<RegKeyEntry>(dwIndex, fill, lpName, lpcchName, rest);
    });
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime)
{
    return WithKey(hKey, KEY_QUERY_VALUE, [&](const KeyHandle& key) {
        RegKeyEntry info;
        std::vector<RegKeyEntry> keys;
        std::vector<RegValue> values;
        LONG result = view::Info(key, info);
        if (result == ERROR_SUCCESS)
            result = view::SubKeys(key, keys);
        if (result == ERROR_SUCCESS)
            result = view::Values(key, values);
        if (result != ERROR_SUCCESS)
            return result;
        size_t maxName = 0, maxClass = 0, maxValueName = 0, maxData = 0;
        for (const RegKeyEntry& entry : keys) {
            maxName = std::max(maxName, entry.name.size());
            maxClass = std::max(maxClass, entry.cls.size());
        }
        for (const RegValue& value : values) {
            maxValueName = std::max(maxValueName, value.name.size());
            maxData = std::max(maxData, value.data.size());
        }
        SetIf(lpcSubKeys, keys.size());
        SetIf(lpcbMaxSubKeyLen, maxName);
        SetIf(lpcbMaxClassLen, maxClass);
        SetIf(lpcValues, values.size());
        SetIf(lpcbMaxValueNameLen, maxValueName);
        SetIf(lpcbMaxValueLen, maxData);
        // Keys carry no security descriptors here.
        SetIf(lpcbSecurityDescriptor, 0);
        if (lpftLastWriteTime)
            *lpftLastWriteTime = ToFileTime(info.written);
        if (!lpClass)
            return ERROR_SUCCESS;
        return lpcchClass ? CopyName(info.cls, lpClass, lpcchClass) : ERROR_INVALID_PARAMETER;
    });
}

} // extern "C"
