#include "runtime/registry/AnsiText.h"

#include "runtime/com/AnsiText.h"

namespace zrv::reg {

namespace {

using com::FromCodePage;
using com::ToCodePage;

bool AnsiIsUtf8()
{
    return GetACP() == CP_UTF8;
}

} // namespace

std::string AnsiToUtf8(std::string_view ansi)
{
    return AnsiIsUtf8() ? std::string(ansi) : ToCodePage(CP_UTF8, FromCodePage(CP_ACP, ansi));
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    return AnsiIsUtf8() ? std::string(utf8) : ToCodePage(CP_ACP, FromCodePage(CP_UTF8, utf8));
}

std::string AnsiToUtf16Le(std::string_view ansi)
{
    const std::u16string wide = FromCodePage(CP_ACP, ansi);
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (const char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Utf16LeToAnsi(std::string_view utf16le)
{
    std::u16string wide;
    wide.reserve(utf16le.size() / 2);
    for (size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        wide += static_cast<char16_t>(static_cast<unsigned char>(utf16le[i]) |
                                      (static_cast<unsigned char>(utf16le[i + 1]) << 8));
    }
    return ToCodePage(CP_ACP, wide);
}

} // namespace zrv::reg
