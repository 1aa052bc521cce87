#pragma once

// Texts between UTF-16 and the 8-bit code pages, written once for the
// runtime, the component, the registry tools and the editor, over the
// exported WideCharToMultiByte and MultiByteToWideChar. The whole text is
// converted, NULs included; characters a code page lacks become "?", bytes
// that are not valid in it U+FFFD. A code page that cannot be used converts
// as UTF-8, so no text is lost or cut. Throws std::bad_alloc for texts too
// long to count.

#include "runtime/com/AsciiText.h"
#include "runtime/com/CodePage.h"

#include <climits>
#include <new>
#include <string>
#include <string_view>

namespace zrv::com {

// Code pages in which ASCII is itself (see AsciiText.h).
inline bool KeepsAscii(UINT codePage)
{
    return codePage == CP_ACP || codePage == CP_THREAD_ACP || codePage == CP_UTF8;
}

// Converts through the exported call, sizing first; a code page that cannot
// be used converts as UTF-8.
template <typename Out, typename Char, typename Call>
Out RecodeWith(UINT codePage, std::basic_string_view<Char> in, const Call& call)
{
    if (in.empty())
        return {};
    if (in.size() > static_cast<size_t>(INT_MAX))
        throw std::bad_alloc();
    if (KeepsAscii(codePage) && IsAscii(in))
        return Out(in.begin(), in.end());
    const int length = static_cast<int>(in.size());
    const int size = call(codePage, in.data(), length, nullptr, 0);
    if (size <= 0) {
        if (codePage == CP_UTF8)
            throw std::bad_alloc();
        return RecodeWith<Out>(CP_UTF8, in, call);
    }
    Out out(static_cast<size_t>(size), typename Out::value_type{});
    call(codePage, in.data(), length, out.data(), size);
    return out;
}

inline std::string ToCodePage(UINT codePage, std::u16string_view wide)
{
    return RecodeWith<std::string>(
        codePage, wide, [](UINT cp, const char16_t* in, int length, char* out, int size) {
            return WideCharToMultiByte(cp, 0, in, length, out, size, nullptr, nullptr);
        });
}

inline std::u16string FromCodePage(UINT codePage, std::string_view bytes)
{
    return RecodeWith<std::u16string>(
        codePage, bytes, [](UINT cp, const char* in, int length, char16_t* out, int size) {
            return MultiByteToWideChar(cp, 0, in, length, out, size);
        });
}

// The process's ANSI code page (CP_ACP), in which the registry keeps its
// texts and the engine its archives and file names.
inline std::string ToAnsi(std::u16string_view wide)
{
    return ToCodePage(CP_ACP, wide);
}

inline std::u16string FromAnsi(std::string_view bytes)
{
    return FromCodePage(CP_ACP, bytes);
}

} // namespace zrv::com
