// BSTR allocation: [uint32_t byte length][UTF-16 units][NUL unit], the BSTR
// pointing at the first unit.

#include "runtime/com/OleAuto.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);
// Room for the prefix and a whole NUL unit, whatever the byte length.
constexpr size_t kOverhead = kPrefix + 2 * sizeof(OLECHAR);

// Allocates a string of byteLen bytes, zeroed past them; null when too long or
// out of memory.
BSTR AllocateBytes(size_t byteLen)
{
    if (byteLen > std::numeric_limits<uint32_t>::max() - kOverhead)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(byteLen + kOverhead));
    if (!block)
        return nullptr;
    const auto length = static_cast<uint32_t>(byteLen);
    std::memcpy(block, &length, kPrefix);
    std::memset(block + kPrefix + byteLen, 0, kOverhead - kPrefix);
    return reinterpret_cast<BSTR>(block + kPrefix);
}

char* BlockOf(BSTR s)
{
    return reinterpret_cast<char*>(s) - kPrefix;
}

size_t UnitCount(const OLECHAR* text)
{
    size_t n = 0;
    while (text[n] != u'\0')
        ++n;
    return n;
}

} // namespace

extern "C" {

ZRVRT_API BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    const size_t units = UnitCount(text);
    if (units > std::numeric_limits<UINT>::max())
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(units));
}

ZRVRT_API BSTR SysAllocStringLen(const OLECHAR* text, UINT len)
{
    const size_t bytes = size_t{len} * sizeof(OLECHAR);
    BSTR s = AllocateBytes(bytes);
    if (!s)
        return nullptr;
    if (text)
        std::memcpy(s, text, bytes);
    else
        std::memset(s, 0, bytes);
    return s;
}

ZRVRT_API BSTR SysAllocStringByteLen(const char* bytes, UINT len)
{
    BSTR s = AllocateBytes(len);
    if (!s)
        return nullptr;
    auto* out = reinterpret_cast<char*>(s);
    if (bytes)
        std::memcpy(out, bytes, len);
    else
        std::memset(out, 0, len);
    return s;
}

ZRVRT_API int SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT len)
{
    if (!target)
        return FALSE;
    BSTR s = SysAllocStringLen(text, len);
    if (!s)
        return FALSE;
    SysFreeString(*target);
    *target = s;
    return TRUE;
}

ZRVRT_API int SysReAllocString(BSTR* target, const OLECHAR* text)
{
    if (!text)
        return SysReAllocStringLen(target, nullptr, 0);
    return SysReAllocStringLen(target, text, static_cast<UINT>(UnitCount(text)));
}

ZRVRT_API void SysFreeString(BSTR text)
{
    if (text)
        std::free(BlockOf(text));
}

ZRVRT_API UINT SysStringByteLen(BSTR text)
{
    if (!text)
        return 0;
    uint32_t length = 0;
    std::memcpy(&length, BlockOf(text), kPrefix);
    return length;
}

ZRVRT_API UINT SysStringLen(BSTR text)
{
    return SysStringByteLen(text) / sizeof(OLECHAR);
}

} // extern "C"
