#pragma once

// Plain ASCII text needs no code page: every codeset the runtime takes for
// CP_ACP (a locale's codeset, always a superset of ASCII, or UTF-8) holds
// bytes 0-127 as the same characters. Large batches of texts, nearly all
// ASCII, skip the conversion machinery through these.

#include "runtime/com/BString.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>

namespace zrv::com {

namespace detail {

// Written as one reduction so that the compiler can use vector instructions.
template <typename Unit> inline bool AllBelow0x80(const Unit* units, size_t count)
{
    unsigned bits = 0;
    for (size_t i = 0; i < count; ++i)
        bits |= static_cast<unsigned>(static_cast<std::make_unsigned_t<Unit>>(units[i]));
    return bits < 0x80;
}

inline OLECHAR* Widen(const char* from, const char* to, OLECHAR* out)
{
    for (; from != to; ++from)
        *out++ = static_cast<unsigned char>(*from);
    return out;
}

} // namespace detail

inline bool IsAscii(std::string_view bytes)
{
    return detail::AllBelow0x80(bytes.data(), bytes.size());
}

inline bool IsAscii(std::u16string_view text)
{
    return detail::AllBelow0x80(text.data(), text.size());
}

// The bytes as a new string with a CR before every LF that has none, when
// they are ASCII without NUL; a null string otherwise, for the caller to
// convert by code page. Throws std::bad_alloc when it cannot be allocated.
inline BString AsciiToBStringCrLf(std::string_view bytes)
{
    const size_t size = bytes.size();
    if (size > static_cast<size_t>(INT_MAX / 2))
        return {};
    // One pass of byte-wide reductions, which vectorise: high bits, NULs, and
    // lone LFs, counted in blocks small enough for a byte counter.
    const auto* const in = reinterpret_cast<const unsigned char*>(bytes.data());
    unsigned char bits = size > 0 ? in[0] : 0;
    unsigned char nul = size > 0 && in[0] == 0 ? 1 : 0;
    size_t lone = size > 0 && in[0] == '\n' ? 1 : 0;
    for (size_t block = 1; block < size; block += 255) {
        const size_t end = std::min(size, block + 255);
        unsigned char count = 0;
        for (size_t i = block; i < end; ++i) {
            bits |= in[i];
            nul |= static_cast<unsigned char>(in[i] == 0);
            count += static_cast<unsigned char>((in[i] == '\n') & (in[i - 1] != '\r'));
        }
        lone += count;
    }
    if (bits >= 0x80 || nul != 0)
        return {};
    BString result = BString::attach(SysAllocStringLen(nullptr, static_cast<UINT>(size + lone)));
    if (!result.get())
        throw std::bad_alloc();
    OLECHAR* out = result.get();
    if (lone == 0) {
        detail::Widen(bytes.data(), bytes.data() + size, out);
        return result;
    }
    // A CR goes before each lone LF: written always, kept only there.
    *out = in[0];
    if (in[0] == '\n') {
        *out++ = u'\r';
        *out = u'\n';
    }
    ++out;
    for (size_t i = 1; i < size; ++i) {
        *out = u'\r';
        out += static_cast<size_t>((in[i] == '\n') & (in[i - 1] != '\r'));
        *out++ = in[i];
    }
    return result;
}

} // namespace zrv::com
