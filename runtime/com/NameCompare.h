#pragma once

// Member and type names compare as automation compares them: without regard
// to case, for ASCII and Latin-1 letters alike.

#include <string_view>

namespace zrv::com {

constexpr char16_t FoldName(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 0x20);
    return c;
}

constexpr bool SameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldName(a[i]) != FoldName(b[i]))
            return false;
    }
    return true;
}

} // namespace zrv::com
