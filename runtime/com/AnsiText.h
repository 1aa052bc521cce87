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

inline std::string ToCodePage(UINT codePage, std::u16string_view wide)
{
    if (wide.empty())
        return {};
    if (wide.size() > static_cast<size_t>(INT_MAX))
        throw std::bad_alloc();
    if (KeepsAscii(codePage) && IsAscii(wide))
        return std::string(wide.begin(), wide.end());
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        if (codePage == CP_UTF8)
            throw std::bad_alloc();
        return ToCodePage(CP_UTF8, wide);
    }
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), length, text.data(), size, nullptr, nullptr);
    return text;
}

inline std::u16string FromCodePage(UINT codePage, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    if (bytes.size() > static_cast<size_t>(INT_MAX))
        throw std::bad_alloc();
    if (KeepsAscii(codePage) && IsAscii(bytes))
        return std::u16string(bytes.begin(), bytes.end());
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        if (codePage == CP_UTF8)
            throw std::bad_alloc();
        return FromCodePage(CP_UTF8, bytes);
    }
    std::u16string wide(static_cast<size_t>(size), u'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size);
    return wide;
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
